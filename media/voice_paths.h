// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>

namespace talvio::media {

// Where `opusdec` leaves the WAV of a voice note, and where the player looks for it: the voice
// path without its last five characters, followed by ".wav" ("a/b.opus" -> "a/b.wav"). The five
// characters go whatever the extension, so "v/note.ogg" becomes "v/not.wav". Characters are counted in
// UTF-8, so a multi-byte character is never cut in half. A path of five characters or fewer has
// no WAV path: the result is empty.
std::string wavPathForVoice(std::string_view voicePath);

// Where a voice note is decoded to: a file of our own in cacheFolder ("…/voice/"), never beside
// the note, so that the phone copy stays as it was. The name carries a digest of the note's whole
// path, so that two notes of the same name never share a WAV.
std::string cachedWavPath(std::string_view voicePath, const std::string& cacheFolder);

// The export target for the name chosen in the save dialog: ".wav" is appended unless the
// name already contains ".wav" anywhere (case-sensitive), even before another extension.
std::string exportPathFor(std::string chosenPath);

}  // namespace talvio::media
