// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/voice_paths.h"

#include "sources/file_names.h"

#include <cstdint>

namespace talvio::media {

std::string wavPathForVoice(std::string_view voicePath) {
    std::size_t end = voicePath.size();
    for (int removed = 0; removed < 5; ++removed) {
        if (end == 0) {
            return {};
        }
        --end;
        // Step back over UTF-8 continuation bytes to the start of the character.
        while (end > 0 && (static_cast<unsigned char>(voicePath[end]) & 0xC0) == 0x80) {
            --end;
        }
    }
    if (end == 0) {
        return {};
    }
    return std::string(voicePath.substr(0, end)) + ".wav";
}

std::string cachedWavPath(std::string_view voicePath, const std::string& cacheFolder) {
    // FNV-1a, 64 bits: stable from run to run, so a second click finds the WAV of the first.
    std::uint64_t digest = 14695981039346656037ULL;
    for (unsigned char c : voicePath) {
        digest ^= c;
        digest *= 1099511628211ULL;
    }
    static const char kHex[] = "0123456789abcdef";
    std::string name;
    for (int shift = 60; shift >= 0; shift -= 4)
        name += kHex[(digest >> shift) & 15];
    const std::size_t slash = voicePath.find_last_of('/');
    std::string_view stem = slash == std::string_view::npos ? voicePath : voicePath.substr(slash + 1);
    if (const std::size_t dot = stem.find_last_of('.'); dot != std::string_view::npos)
        stem = stem.substr(0, dot);
    return cacheFolder + "voice/" + name + "-" + safeFileName(stem.substr(0, 60)) + ".wav";
}

std::string exportPathFor(std::string chosenPath) {
    if (chosenPath.find(".wav") == std::string::npos) {
        chosenPath += ".wav";
    }
    return chosenPath;
}

}  // namespace talvio::media
