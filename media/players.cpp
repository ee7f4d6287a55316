// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/players.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "media/video_player.h"
#include "media/video_texts.h"
#include "media/voice_decode_queue.h"
#include "media/voice_paths.h"
#include "media/voice_player.h"
#include "media/voice_texts.h"
#include "platform/desktop.h"
#include "platform/paths.h"
#include "sources/folder_boundary.h"
#include "sources/program_state.h"

namespace talvio::media {
namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

constexpr int kDecodeSeconds = 60;

// The busy cursor for as long as the program cannot answer.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The page hands over whatever path it holds; only what lies inside the resource folder is played.
bool leavesResourceFolder(const FolderBoundary& resources, const QString& path) {
    return resources.place(path.toStdString()) == FolderBoundary::Place::Outside;
}

}  // namespace

void PlayVoice(QWidget* owner, const QString& voicePath) {
    if (programState().resourceFolder.empty()) {
        platform::desktop().message(owner, text(voice_texts::kNoResourceFolder), QString());
        return;
    }
    const FolderBoundary resources(programState().resourceFolder);
    if (leavesResourceFolder(resources, voicePath)) {
        platform::desktop().message(owner, text(voice_texts::kFileLost), QString());
        return;
    }
    // A WAV that an earlier tool left beside the note is played as it is; otherwise the note is
    // decoded into our cache, never into the phone copy.
    QString wavPath = QString::fromStdString(wavPathForVoice(voicePath.toStdString()));
    if (wavPath.isEmpty() || !resources.holdsFile(wavPath.toStdString())) {
        const std::string& privateFolder = programState().privateMediaFolder;
        wavPath = QString::fromStdString(
            cachedWavPath(voicePath.toStdString(),
                          privateFolder.empty() ? platform::cacheFolder().toStdString() : privateFolder));
        if (!QFileInfo::exists(wavPath)) {
            const BusyCursor busy;
            QDir().mkpath(QFileInfo(wavPath).path());
            // The same decoder as the export's, with a limit: a damaged note must not hang the window.
            decodeVoiceNote(defaultVoiceDecoder(), voicePath.toStdString(), wavPath.toStdString(),
                            kDecodeSeconds);
        }
    }
    if (wavPath.isEmpty() || !QFileInfo::exists(wavPath)) {
        platform::desktop().message(owner, text(voice_texts::kFileLost), QString());
        return;
    }
    CDlgVoicePlayer player(wavPath, owner);
    player.exec();
}

void PlayVideo(QWidget* owner, const QString& videoPath) {
    if (programState().resourceFolder.empty()) {
        platform::desktop().message(owner, text(video_texts::kNoResourceFolder), QString());
        return;
    }
    // Nor is anything but a regular file: a FIFO would hold the player's pipeline for ever.
    const QFileInfo file(videoPath);
    if (leavesResourceFolder(FolderBoundary(programState().resourceFolder), videoPath) ||
        (file.exists() && !file.isFile())) {
        platform::desktop().message(owner, text(voice_texts::kFileLost), QString());
        return;
    }
    CDlgVideoPlayer player(owner);
    player.setVideoPath(videoPath);
    player.exec();
}

}  // namespace talvio::media
