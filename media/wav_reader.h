// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media/sound_record.h"

namespace talvio::media {

enum class WavError {
    None,
    CannotOpen,
    NotWav,
    NoFormat,
    UnsupportedFormat,
    NoSound,
    TooLarge,
    ReadFailed,
};

// A sentence for the user, e.g. "The sound file is not a WAV file."
std::string_view wavErrorText(WavError error);

// Sounds beyond this are refused rather than read into memory (about three hours of
// 48 kHz stereo 16-bit sound; voice notes are minutes long).
inline constexpr std::uint64_t kMaxSoundBytes = std::uint64_t{1} << 31;

// Loads the sound of a WAV file: the format from its "fmt " chunk and the samples from its
// "data" chunk, wherever they lie and whatever other chunks surround them. A data chunk that
// claims more than the file holds (a decoder that was interrupted, or one that streamed the
// header with a placeholder size) yields the samples that are there. On failure `sound` is
// left unchanged.
WavError loadWavFile(const std::string& path, SoundRecord& sound);

}  // namespace talvio::media
