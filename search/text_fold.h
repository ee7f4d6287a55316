// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace talvio {

// Search compares texts in one form: Unicode case folding with compatibility composition
// (NFKC_Casefold), so "Σ", "σ" and "ς" are one letter and a decomposed accent equals a precomposed
// one. Ill-formed bytes are kept as they are.

// A stretch that folding changed: folded bytes [foldedBegin, +foldedSize) came from original bytes
// [originalBegin, +originalSize). Everything between changes is the same on both sides.
struct FoldChange {
    std::uint32_t foldedBegin;
    std::uint32_t foldedSize;
    std::uint32_t originalBegin;
    std::uint32_t originalSize;
};

// Appends the folded form of utf8 to out; with changes, also what folding changed, in order.
void appendFolded(std::string_view utf8, std::string& out, std::vector<FoldChange>* changes = nullptr);
std::string foldText(std::string_view utf8);

using ByteRanges = std::vector<std::pair<std::size_t, std::size_t>>;

// Maps [begin, end) byte ranges of a folded text back to its original through the changes, widened
// to whole changes where folding joined or split characters (a match of "s" inside the "ss" of "ß"
// marks the "ß"). Ranges must be in increasing order; the result keeps that order.
ByteRanges mapFoldedRanges(const std::vector<FoldChange>& changes, const ByteRanges& folded);
// The same for an original text, folded anew.
ByteRanges mapFoldedRanges(std::string_view original, const ByteRanges& folded);

}  // namespace talvio
