// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Stands in for profile_picture.cpp in a build without Qt.
#include "tools/profile_picture.h"

namespace talvio::fixture {

bool ProfilePicture::available() {
    return false;
}

Failure ProfilePicture::write(const std::filesystem::path& file, std::string_view) {
    return "cannot draw " + file.string() + ": built without Qt";
}

}  // namespace talvio::fixture
