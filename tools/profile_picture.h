// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>
#include <string_view>

#include "tools/failure.h"

namespace talvio::fixture {

// The small JPEG a phone caches for each contact ("cache/Profile Pictures/<number>.jpg").
class ProfilePicture {
public:
    static constexpr int kSize = 96;

    // False in a build without Qt, where no pictures can be drawn.
    static bool available();

    // Draws a head-and-shoulders picture whose colours follow from `seed`, so that every
    // contact's picture differs and the same seed always gives the same file.
    static Failure write(const std::filesystem::path& file, std::string_view seed);
};

}  // namespace talvio::fixture
