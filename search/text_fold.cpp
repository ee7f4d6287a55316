// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "search/text_fold.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

namespace talvio {

namespace {

const icu::Normalizer2& folding() {
    UErrorCode status = U_ZERO_ERROR;
    // ICU keeps the instance for the life of the process; it is thread-safe for normalizing.
    static const icu::Normalizer2* instance = icu::Normalizer2::getNFKCCasefoldInstance(status);
    return *instance;
}

bool isAscii(std::string_view text) {
    std::uint8_t any = 0;
    for (char c : text) {
        any |= static_cast<std::uint8_t>(c);
    }
    return any < 0x80;
}

void appendAsciiFolded(std::string_view text, std::string& out) {
    const std::size_t start = out.size();
    out.append(text);
    for (std::size_t i = start; i < out.size(); ++i) {
        const char c = out[i];
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + ('a' - 'A'));
        }
    }
}

void appendIcuFolded(std::string_view text, std::string& out) {
    icu::StringByteSink<std::string> sink(&out, static_cast<int32_t>(text.size() + text.size() / 4));
    UErrorCode status = U_ZERO_ERROR;
    folding().normalizeUTF8(0, icu::StringPiece(text.data(), static_cast<int32_t>(text.size())), sink,
                            nullptr, status);
    if (U_FAILURE(status)) {
        // Only an out-of-memory or a text beyond 2 GiB gets here: keep it searchable as it is.
        out.append(text);
    }
}

}  // namespace

void appendFolded(std::string_view utf8, std::string& out) {
    if (isAscii(utf8)) {
        appendAsciiFolded(utf8, out);
    } else {
        appendIcuFolded(utf8, out);
    }
}

std::string foldText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    appendFolded(utf8, out);
    return out;
}

std::vector<std::pair<std::size_t, std::size_t>> mapFoldedRanges(
    std::string_view original, const std::vector<std::pair<std::size_t, std::size_t>>& folded) {
    if (isAscii(original)) {
        return folded;  // ASCII folds byte for byte
    }
    // Cut the original where the folding starts afresh, fold each piece alone (the pieces' folds
    // join to the whole text's fold) and note where each piece starts on both sides.
    struct Piece {
        std::size_t foldedBegin;
        std::size_t originalBegin;
    };
    std::vector<Piece> pieces;
    std::string out;
    const icu::Normalizer2& norm = folding();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(original.data());
    const auto length = static_cast<std::int32_t>(original.size());
    std::int32_t i = 0;
    std::size_t pieceStart = 0;
    while (i < length) {
        const std::int32_t at = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (at > 0 && (c < 0 || norm.hasBoundaryBefore(c))) {
            pieces.push_back({out.size(), pieceStart});
            appendIcuFolded(original.substr(pieceStart, static_cast<std::size_t>(at) - pieceStart), out);
            pieceStart = static_cast<std::size_t>(at);
        }
        if (c < 0) {
            // An ill-formed sequence stands alone, so that its replacement character maps to it.
            pieces.push_back({out.size(), pieceStart});
            appendIcuFolded(original.substr(pieceStart, static_cast<std::size_t>(i) - pieceStart), out);
            pieceStart = static_cast<std::size_t>(i);
        }
    }
    if (pieceStart < original.size()) {
        pieces.push_back({out.size(), pieceStart});
        appendIcuFolded(original.substr(pieceStart), out);
    }
    const std::size_t foldedSize = out.size();

    // The piece holding folded byte pos: the last piece starting at or before it.
    auto pieceOf = [&](std::size_t pos) {
        auto it = std::upper_bound(pieces.begin(), pieces.end(), pos,
                                   [](std::size_t p, const Piece& piece) { return p < piece.foldedBegin; });
        return static_cast<std::size_t>(it - pieces.begin()) - 1;
    };
    auto originalEnd = [&](std::size_t piece) {
        return piece + 1 < pieces.size() ? pieces[piece + 1].originalBegin : original.size();
    };
    std::vector<std::pair<std::size_t, std::size_t>> result;
    result.reserve(folded.size());
    for (const auto& [begin, end] : folded) {
        if (pieces.empty() || begin >= end || end > foldedSize) {
            result.emplace_back(original.size(), original.size());
            continue;
        }
        result.emplace_back(pieces[pieceOf(begin)].originalBegin, originalEnd(pieceOf(end - 1)));
    }
    return result;
}

}  // namespace talvio
