// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/wav_writer.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace talvio::media {
namespace {

constexpr std::uint32_t kFormatChunkSize = 18;
// "WAVE" + fmt chunk header and body + data chunk header.
constexpr std::uint32_t kRiffOverhead = 4 + 8 + kFormatChunkSize + 8;

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    out.insert(out.end(), tag, tag + 4);
}

// Opens a new file next to `path` that no one else is using ("x": fails if it exists).
std::FILE* createTemporary(const std::string& path, std::string& tempPath) {
    const auto seed =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + ".part" + std::to_string((seed + attempt) % 1000000);
        if (std::FILE* f = std::fopen(tempPath.c_str(), "wbx")) {
            return f;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return nullptr;
}

}  // namespace

std::vector<std::uint8_t> wavFileHeader(const SoundRecord& sound) {
    const auto dataSize = static_cast<std::uint32_t>(sound.samples.size());
    const std::uint32_t pad = dataSize & 1u;

    std::vector<std::uint8_t> out;
    out.reserve(kRiffOverhead + 8);
    putTag(out, "RIFF");
    // The pad byte belongs to the RIFF chunk's contents but not to the data chunk's size.
    put32(out, kRiffOverhead + dataSize + pad);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, kFormatChunkSize);
    put16(out, static_cast<std::uint16_t>(sound.format));
    put16(out, sound.channels);
    put32(out, sound.sampleRate);
    put32(out, sound.bytesPerSecond());
    put16(out, sound.blockAlign());
    put16(out, sound.bitsPerSample);
    put16(out, 0);
    putTag(out, "data");
    put32(out, dataSize);
    return out;
}

bool writeWavFile(const SoundRecord& sound, const std::string& path) {
    // The size fields are 32 bits wide.
    if (sound.samples.size() > 0xFFFFFFFFull - kRiffOverhead - 1) {
        return false;
    }
    std::string tempPath;
    std::FILE* file = createTemporary(path, tempPath);
    if (!file) {
        return false;
    }

    const std::vector<std::uint8_t> header = wavFileHeader(sound);
    bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size();
    if (ok && !sound.samples.empty()) {
        ok = std::fwrite(sound.samples.data(), 1, sound.samples.size(), file) == sound.samples.size();
    }
    if (ok && (sound.samples.size() & 1u) != 0) {
        ok = std::fputc(0, file) != EOF;
    }
    // fclose flushes; a full disk often shows only here.
    ok = (std::fclose(file) == 0) && ok;

    std::error_code error;
    if (ok) {
        std::filesystem::rename(tempPath, path, error);
        ok = !error;
    }
    if (!ok) {
        std::filesystem::remove(tempPath, error);
    }
    return ok;
}

}  // namespace talvio::media
