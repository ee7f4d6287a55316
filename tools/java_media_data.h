// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace talvio::fixture {

// The Java-serialized com.whatsapp.MediaData object that older phones keep in
// messages.thumb_image, written from the Java object serialization stream format: the media
// file is a java.io.File whose path (relative to the WhatsApp folder) is a TC_STRING in
// modified UTF-8, next to a few primitive fields and a media key.
class JavaMediaData {
public:
    // The stream's bytes; an empty `path` gives an object whose file is null (never downloaded).
    static std::string serialize(std::string_view path, std::int64_t fileSize, bool transferred);
    // Java's modified UTF-8 with its two-byte length: NUL as C0 80, characters above U+FFFF as
    // two three-byte surrogates. Paths longer than 65535 bytes do not occur and are cut.
    static std::string modifiedUtf(std::string_view utf8);
};

}  // namespace talvio::fixture
