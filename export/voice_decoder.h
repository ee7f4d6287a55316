// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>

namespace talvio {

// The Ogg Opus decoder that turns a voice note into the WAV an exported page plays: opusdec
// beside the running program when it is there, otherwise the first one on PATH.
std::string defaultVoiceDecoder();

// Runs `program --quiet --force-wav opus wav` without a shell and waits for it (at most
// timeoutSeconds, then it is stopped). The WAV is written under a temporary name and renamed
// into place, so that a failed or stopped run never leaves a truncated WAV behind. Returns an
// error text, empty on success.
std::string decodeVoiceNote(const std::string& program, const std::string& opusPath,
                            const std::string& wavPath, int timeoutSeconds = 120);

}  // namespace talvio
