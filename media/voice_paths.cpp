// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/voice_paths.h"

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

std::vector<std::string> opusdecArguments(const std::string& voicePath, const std::string& wavPath) {
    return {voicePath, wavPath};
}

std::string exportPathFor(std::string chosenPath) {
    if (chosenPath.find(".wav") == std::string::npos) {
        chosenPath += ".wav";
    }
    return chosenPath;
}

}  // namespace talvio::media
