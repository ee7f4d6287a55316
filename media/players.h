// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QString>

class QWidget;

namespace talvio::media {

// What a click on a voice note does: decodes the note beside itself into a WAV file unless an
// earlier click did, then plays the WAV in a modal player. Returns when the player is closed,
// or at once after a message owned by `owner`.
void PlayVoice(QWidget* owner, const QString& voicePath);

// What a click on a video does: plays the file as it is in a modal video window. Returns when
// the window is closed, or at once after a message owned by `owner`.
void PlayVideo(QWidget* owner, const QString& videoPath);

}  // namespace talvio::media
