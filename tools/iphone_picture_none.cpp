// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Stands in for iphone_picture.cpp in a build without Qt.
#include "tools/iphone_picture.h"

namespace talvio::fixture {

bool IphonePicture::available() {
    return false;
}

Failure IphonePicture::write(const std::filesystem::path& file, int, int, std::string_view, const char*) {
    return "cannot draw " + file.string() + ": built without Qt";
}

Failure IphonePicture::encode(std::string&, int, int, std::string_view) {
    return std::string("cannot draw a preview: built without Qt");
}

}  // namespace talvio::fixture
