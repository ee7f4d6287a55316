// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "tools/failure.h"

namespace talvio::fixture {

// The media kinds an Android phone keeps beside pictures, voice notes and videos (IphonePicture
// and IphoneMedia make those): GIFs, which WhatsApp stores as silent MP4s, audio files and
// documents. Every file comes out the same on every rebuild.
class MediaFiles {
public:
    // A silent H.264 MP4 of a moving test pattern, as WhatsApp turns a GIF into.
    static Failure writeGif(const std::filesystem::path& file, double seconds, int width, int height);
    // A tone of `hertz` for `seconds` as a music or audio file: the extension picks the kind,
    // ".m4a" (AAC), ".mp3" or ".ogg" (Vorbis).
    static Failure writeAudio(const std::filesystem::path& file, double seconds, int hertz);
    // A one-page PDF that shows `title` (characters outside ASCII print as '?').
    static Failure writePdf(const std::filesystem::path& file, std::string_view title);
    static std::string pdfBytes(std::string_view title);
};

}  // namespace talvio::fixture
