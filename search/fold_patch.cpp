// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "search/fold_patch.h"

#include <cstdint>

namespace talvio {

namespace {

void appendVarint(std::string& out, std::uint32_t value) {
    while (value >= 0x80) {
        out += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

// Reads a varint at pos; a patch is our own, so a truncated one only ends the reading.
std::uint32_t readVarint(std::string_view in, std::size_t& pos) {
    std::uint32_t value = 0;
    for (int shift = 0; pos < in.size() && shift < 35; shift += 7) {
        const auto byte = static_cast<std::uint8_t>(in[pos++]);
        value |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            break;
    }
    return value;
}

// Walks a patch's changes, handing each with its original bytes.
template <typename Visit>
void forEachChange(std::string_view patch, Visit visit) {
    std::size_t pos = 0;
    std::uint32_t folded = 0;
    std::uint32_t original = 0;
    while (pos < patch.size()) {
        const std::uint32_t gap = readVarint(patch, pos);
        const std::uint32_t foldedSize = readVarint(patch, pos);
        const std::uint32_t originalSize = readVarint(patch, pos);
        folded += gap;
        original += gap;
        const std::string_view bytes = patch.substr(std::min(pos, patch.size()), originalSize);
        pos += originalSize;
        visit(FoldChange{folded, foldedSize, original, originalSize}, bytes);
        folded += foldedSize;
        original += originalSize;
    }
}

}  // namespace

void appendFoldPatch(std::string& out, std::string_view original, const std::vector<FoldChange>& changes) {
    std::uint32_t foldedEnd = 0;
    for (const FoldChange& c : changes) {
        appendVarint(out, c.foldedBegin - foldedEnd);
        appendVarint(out, c.foldedSize);
        appendVarint(out, c.originalSize);
        out.append(original.substr(c.originalBegin, c.originalSize));
        foldedEnd = c.foldedBegin + c.foldedSize;
    }
}

std::string applyFoldPatch(std::string_view folded, std::string_view patch) {
    std::string original;
    original.reserve(folded.size() + patch.size());
    std::size_t copied = 0;
    forEachChange(patch, [&](const FoldChange& c, std::string_view bytes) {
        original.append(folded.substr(std::min<std::size_t>(copied, folded.size()), c.foldedBegin - copied));
        original.append(bytes);
        copied = c.foldedBegin + c.foldedSize;
    });
    if (copied < folded.size())
        original.append(folded.substr(copied));
    return original;
}

std::vector<FoldChange> foldPatchChanges(std::string_view patch) {
    std::vector<FoldChange> changes;
    forEachChange(patch, [&](const FoldChange& c, std::string_view) { changes.push_back(c); });
    return changes;
}

}  // namespace talvio
