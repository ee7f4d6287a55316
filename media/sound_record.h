// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <vector>

namespace talvio::media {

// How samples are coded; the values are the WAV format tags.
enum class SampleFormat : std::uint16_t {
    Integer = 1,  // PCM: unsigned at 8 bits, signed above
    Float = 3,    // IEEE 754
};

// The sound held by one player window: the samples exactly as the WAV file stores them.
struct SoundRecord {
    std::vector<std::uint8_t> samples;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t channels = 0;
    SampleFormat format = SampleFormat::Integer;

    std::uint16_t blockAlign() const {
        return static_cast<std::uint16_t>((bitsPerSample + 7) / 8 * channels);
    }
    std::uint32_t bytesPerSecond() const { return blockAlign() * sampleRate; }
};

}  // namespace talvio::media
