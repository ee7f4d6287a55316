// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace talvio {

// Search compares texts in one form: Unicode case folding with compatibility composition
// (NFKC_Casefold), so "Σ", "σ" and "ς" are one letter and a decomposed accent equals a precomposed one.
// Appends the folded form of utf8 to out. Ill-formed bytes are kept as they are.
void appendFolded(std::string_view utf8, std::string& out);
std::string foldText(std::string_view utf8);

// Maps [begin, end) byte ranges of foldText(original) back to byte ranges of original, widened to
// whole characters where folding joined or split them (a match of "s" inside the "ss" of "ß" marks the
// "ß"). Ranges must be in increasing order; the result keeps that order and merges none.
std::vector<std::pair<std::size_t, std::size_t>> mapFoldedRanges(
    std::string_view original, const std::vector<std::pair<std::size_t, std::size_t>>& folded);

}  // namespace talvio
