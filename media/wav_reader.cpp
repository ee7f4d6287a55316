// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/wav_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>

namespace talvio::media {
namespace {

constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagFloat = 3;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
constexpr std::uint32_t kMaxChannels = 8;
constexpr std::uint32_t kMinRate = 1000;
constexpr std::uint32_t kMaxRate = 384000;

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool readAt(std::ifstream& file, std::uint64_t offset, void* into, std::size_t size) {
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(static_cast<char*>(into), static_cast<std::streamsize>(size));
    return file.gcount() == static_cast<std::streamsize>(size);
}

struct Format {
    std::uint16_t tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
};

// Reads the fields the player needs; an extensible record names its real coding in the first
// two bytes of its sub-format GUID.
std::optional<Format> parseFormat(const std::uint8_t* body, std::uint32_t size) {
    if (size < 16) {
        return std::nullopt;
    }
    Format format;
    format.tag = le16(body);
    format.channels = le16(body + 2);
    format.sampleRate = le32(body + 4);
    format.bitsPerSample = le16(body + 14);
    if (format.tag == kTagExtensible) {
        if (size < 40) {
            return std::nullopt;
        }
        format.tag = le16(body + 24);
    }
    return format;
}

// Only what the audio output can be asked to play is accepted.
bool playable(const Format& f) {
    const bool codingOk =
        (f.tag == kTagPcm && (f.bitsPerSample == 8 || f.bitsPerSample == 16 || f.bitsPerSample == 32)) ||
        (f.tag == kTagFloat && f.bitsPerSample == 32);
    return codingOk && f.channels >= 1 && f.channels <= kMaxChannels && f.sampleRate >= kMinRate &&
           f.sampleRate <= kMaxRate;
}

}  // namespace

std::string_view wavErrorText(WavError error) {
    switch (error) {
        case WavError::None:
            return {};
        case WavError::CannotOpen:
            return "The sound file cannot be opened.";
        case WavError::NotWav:
            return "The sound file is not a WAV file.";
        case WavError::NoFormat:
            return "The sound file does not say how its sound is coded.";
        case WavError::UnsupportedFormat:
            return "The sound file is coded in a way that cannot be played.";
        case WavError::NoSound:
            return "The sound file contains no sound.";
        case WavError::TooLarge:
            return "The sound file is too large to be played.";
        case WavError::ReadFailed:
            return "The sound file cannot be read.";
    }
    return {};
}

WavError loadWavFile(const std::string& path, SoundRecord& sound) {
    // A WAV beside a voice note comes from the phone copy, which can hold anything under that
    // name: opening a FIFO would wait for a writer for ever, a device would never end.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return WavError::CannotOpen;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return WavError::CannotOpen;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff end = file.tellg();
    if (end < 0) {
        return WavError::ReadFailed;
    }
    const auto length = static_cast<std::uint64_t>(end);

    std::array<std::uint8_t, 12> riff{};
    if (length < riff.size() || !readAt(file, 0, riff.data(), riff.size())) {
        return WavError::NotWav;
    }
    if (std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
        return WavError::NotWav;
    }

    // The RIFF size field is not trusted (streamed and interrupted files get it wrong); the
    // chunks are walked up to the real end of the file.
    std::optional<Format> format;
    bool formatSeen = false;
    std::optional<std::uint64_t> dataOffset;
    std::uint64_t dataSize = 0;
    std::uint64_t pos = riff.size();
    while (pos + 8 <= length && !(formatSeen && dataOffset)) {
        std::array<std::uint8_t, 8> header{};
        if (!readAt(file, pos, header.data(), header.size())) {
            return WavError::ReadFailed;
        }
        const std::uint32_t size = le32(header.data() + 4);
        const std::uint64_t body = pos + 8;
        const std::uint64_t available = std::min<std::uint64_t>(size, length - body);
        if (!formatSeen && std::memcmp(header.data(), "fmt ", 4) == 0) {
            formatSeen = true;
            std::array<std::uint8_t, 40> record{};
            const auto wanted = static_cast<std::uint32_t>(std::min<std::uint64_t>(available, record.size()));
            if (!readAt(file, body, record.data(), wanted)) {
                return WavError::ReadFailed;
            }
            format = parseFormat(record.data(), wanted);
        } else if (!dataOffset && std::memcmp(header.data(), "data", 4) == 0) {
            dataOffset = body;
            dataSize = available;
        }
        // Chunks of odd size are followed by a pad byte.
        pos = body + size + (size & 1u);
    }

    if (!formatSeen) {
        return WavError::NoFormat;
    }
    if (!format || !playable(*format)) {
        return WavError::UnsupportedFormat;
    }
    if (!dataOffset || dataSize == 0) {
        return WavError::NoSound;
    }
    if (dataSize > kMaxSoundBytes) {
        return WavError::TooLarge;
    }

    std::vector<std::uint8_t> samples(dataSize);
    if (!readAt(file, *dataOffset, samples.data(), samples.size())) {
        return WavError::ReadFailed;
    }

    sound.samples = std::move(samples);
    sound.sampleRate = format->sampleRate;
    sound.bitsPerSample = format->bitsPerSample;
    sound.channels = format->channels;
    sound.format = format->tag == kTagFloat ? SampleFormat::Float : SampleFormat::Integer;
    return WavError::None;
}

}  // namespace talvio::media
