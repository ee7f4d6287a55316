// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "tools/failure.h"

namespace talvio::fixture {

// A photo-like JPEG for a chat: a landscape of sky, sun and hills whose colours and shapes
// follow from `seed`, so that pictures differ from one another and a seed always gives the
// same file. Android stickers use the same drawing as WebP (`format` "WEBP", which needs Qt's
// image-formats plugins).
class IphonePicture {
public:
    // False in a build without Qt, where no pictures can be drawn.
    static bool available();
    static Failure write(const std::filesystem::path& file, int width, int height, std::string_view seed,
                         const char* format = "JPG");
    // The same picture as the bytes of a JPEG, for previews kept inside databases.
    static Failure encode(std::string& bytes, int width, int height, std::string_view seed);
};

}  // namespace talvio::fixture
