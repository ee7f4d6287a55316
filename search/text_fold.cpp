// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "search/text_fold.h"

#include <unicode/bytestream.h>
#include <unicode/edits.h>
#include <unicode/normalizer2.h>

#include <algorithm>

namespace talvio {

namespace {

// ICU keeps the instance for the life of the process; it is thread-safe for normalizing. Null only
// when ICU's data cannot be loaded: texts beyond ASCII are then compared as they are.
const icu::Normalizer2* folding() {
    UErrorCode status = U_ZERO_ERROR;
    static const icu::Normalizer2* instance = icu::Normalizer2::getNFKCCasefoldInstance(status);
    return U_SUCCESS(status) ? instance : nullptr;
}

bool isAscii(std::string_view text) {
    std::uint8_t any = 0;
    for (char c : text)
        any |= static_cast<std::uint8_t>(c);
    return any < 0x80;
}

// ASCII folds byte for byte: capitals become small letters, nothing else changes.
void appendAsciiFolded(std::string_view text, std::string& out, std::vector<FoldChange>* changes) {
    const std::size_t start = out.size();
    out.append(text);
    for (std::size_t i = start; i < out.size(); ++i) {
        const char c = out[i];
        if (c < 'A' || c > 'Z')
            continue;
        out[i] = static_cast<char>(c + ('a' - 'A'));
        if (changes == nullptr)
            continue;
        // One change a letter, so that a match inside a run of capitals marks only its own.
        const auto at = static_cast<std::uint32_t>(i - start);
        changes->push_back({at, 1, at, 1});
    }
}

}  // namespace

void appendFolded(std::string_view utf8, std::string& out, std::vector<FoldChange>* changes) {
    if (changes != nullptr)
        changes->clear();
    if (isAscii(utf8)) {
        appendAsciiFolded(utf8, out, changes);
        return;
    }
    const icu::Normalizer2* normalizer = folding();
    if (normalizer == nullptr) {
        out.append(utf8);
        return;
    }
    const std::size_t start = out.size();
    icu::StringByteSink<std::string> sink(&out, static_cast<int32_t>(utf8.size() + utf8.size() / 4));
    icu::Edits edits;
    UErrorCode status = U_ZERO_ERROR;
    normalizer->normalizeUTF8(0, icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())), sink,
                              changes != nullptr ? &edits : nullptr, status);
    if (U_FAILURE(status)) {
        // Only running out of memory or a text beyond 2 GiB gets here: keep it searchable as it is.
        out.resize(start);
        out.append(utf8);
        if (changes != nullptr)
            changes->clear();
        return;
    }
    if (changes == nullptr)
        return;
    icu::Edits::Iterator it = edits.getFineChangesIterator();
    while (it.next(status)) {
        changes->push_back(
            {static_cast<std::uint32_t>(it.destinationIndex()), static_cast<std::uint32_t>(it.newLength()),
             static_cast<std::uint32_t>(it.sourceIndex()), static_cast<std::uint32_t>(it.oldLength())});
    }
}

std::string foldText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    appendFolded(utf8, out);
    return out;
}

ByteRanges mapFoldedRanges(const std::vector<FoldChange>& changes, const ByteRanges& folded) {
    // The original position of folded byte pos: shifted by the changes before it, or the change's
    // start (for a range's begin) or end (for its end) when it falls inside one.
    auto map = [&](std::size_t pos, bool isEnd) {
        const std::size_t probe = isEnd ? pos - 1 : pos;
        auto it = std::upper_bound(changes.begin(), changes.end(), probe,
                                   [](std::size_t p, const FoldChange& c) { return p < c.foldedBegin; });
        if (it == changes.begin())
            return pos;
        const FoldChange& c = *(it - 1);
        if (probe < c.foldedBegin + c.foldedSize)
            return static_cast<std::size_t>(isEnd ? c.originalBegin + c.originalSize : c.originalBegin);
        return pos - (c.foldedBegin + c.foldedSize) + (c.originalBegin + c.originalSize);
    };
    ByteRanges result;
    result.reserve(folded.size());
    for (const auto& [begin, end] : folded)
        result.emplace_back(map(begin, false), end > begin ? map(end, true) : map(begin, false));
    return result;
}

ByteRanges mapFoldedRanges(std::string_view original, const ByteRanges& folded) {
    std::string out;
    std::vector<FoldChange> changes;
    appendFolded(original, out, &changes);
    return mapFoldedRanges(changes, folded);
}

}  // namespace talvio
