// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "tools/failure.h"

#include <filesystem>

namespace talvio::fixture {

// Turns `percent` of the messages of a modern msgstore.db's largest chat into the kinds the
// modern pages show besides texts and media: replies, reactions, edits, forwards, places,
// contact cards, polls, events, deletions and calls, each with the side tables a phone fills.
// Plain texts are converted, picked by their row id, so the same database gives the same result.
Failure addMessageKinds(const std::filesystem::path& msgstore, int percent);

}  // namespace talvio::fixture
