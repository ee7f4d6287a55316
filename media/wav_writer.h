// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/sound_record.h"

namespace talvio::media {

// The bytes of a WAV file holding the sound: "RIFF", "WAVE", an 18-byte "fmt " chunk (a full
// format record with a zero extra-size field) and a "data" chunk with the samples unchanged,
// followed by a pad byte when their count is odd. The format fields are the sound's own, so
// the file plays at the speed it was recorded at.
std::vector<std::uint8_t> wavFileHeader(const SoundRecord& sound);

// Writes the sound as a WAV file at `path`, replacing any file there. The file is written
// beside the target under a temporary name and renamed over it only once complete, so a
// failed export never leaves a half-written file nor destroys the one it was to replace.
bool writeWavFile(const SoundRecord& sound, const std::string& path);

}  // namespace talvio::media
