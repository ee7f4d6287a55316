// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/random.h"

namespace talvio::fixture {

// How many messages each chat of a generated folder gets. Real histories are very uneven:
// one or two chats hold a large share, most hold a few dozen; the viewer's slow paths are the
// big chat's page and the many small statistics queries, so both must be there.
class ScalePlan {
public:
    // The largest chat holds at least this share of all messages ...
    static constexpr double kLargestShare = 0.12;
    // ... and at least this many once the folder has a million messages.
    static constexpr std::int64_t kLargestFloor = 100'000;

    // Messages per chat, largest first, adding up to `messages`. Every chat gets at least one
    // message while there are enough to go round.
    static std::vector<std::int64_t> chatSizes(std::size_t chats, std::int64_t messages, Random& random);
};

}  // namespace talvio::fixture
