// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "search/text_fold.h"

#include <string>
#include <string_view>
#include <vector>

namespace talvio {

// What folding changed in a text, in a few bytes: with the folded text it gives back the original,
// so the index keeps originals at the cost of their capitals and accents alone. Each change is the
// gap since the last (varint), its folded and original sizes (varints) and the original bytes.
void appendFoldPatch(std::string& out, std::string_view original, const std::vector<FoldChange>& changes);

// The original text from its folded form and its patch.
std::string applyFoldPatch(std::string_view folded, std::string_view patch);

// The changes a patch records, as appendFolded gave them.
std::vector<FoldChange> foldPatchChanges(std::string_view patch);

}  // namespace talvio
