// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string>

namespace talvio::fixture {

// "20240317": media file names carry the day (UTC) they arrived.
std::string mediaDayText(std::int64_t milliseconds);
// "202411": voice notes are filed in folders by year and week.
std::string mediaWeekText(std::int64_t milliseconds);

}  // namespace talvio::fixture
