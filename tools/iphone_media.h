// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "tools/failure.h"

namespace talvio::fixture {

// Voice notes and videos as an iPhone keeps them, made with the real encoders: voice notes are
// Ogg Opus (opusenc, from espeak-ng speech or a sox tone), videos are MP4 with H.264 video and
// AAC sound (ffmpeg), which both Chromium and GStreamer play.
class IphoneMedia {
public:
    // A spoken voice note. `serial` fixes the Ogg stream serial number, which opusenc would
    // otherwise draw at random, so that a rebuild gives the same file.
    static Failure writeSpokenVoice(const std::filesystem::path& file, std::string_view text,
                                    std::uint32_t serial);
    // A voice note that is a plain tone of `hertz` for `seconds`; a file ending in ".wav" is
    // left as the WAV it was made from.
    static Failure writeToneVoice(const std::filesystem::path& file, double seconds, int hertz,
                                  std::uint32_t serial);
    // A test-pattern video with a tone, `seconds` long.
    static Failure writeVideo(const std::filesystem::path& file, double seconds, int width, int height,
                              int hertz);
};

}  // namespace talvio::fixture
