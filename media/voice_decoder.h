// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QString>

namespace talvio::media {

// The `opusdec` to run: the one beside the program's executable first, then the one on PATH.
// Empty when there is none.
QString opusdecProgram();

// Decodes the Ogg Opus voice note at `voicePath` into a WAV file at `wavPath` and waits for the
// decoder however long it takes. The decoder writes under a temporary name beside the target,
// renamed into place only when it has finished, so a decoder that dies midway never leaves a
// truncated WAV that a later click would play. Whether the WAV exists afterwards is the only
// outcome; the decoder's exit code says nothing the file does not.
void decodeVoiceNote(const QString& voicePath, const QString& wavPath);

}  // namespace talvio::media
