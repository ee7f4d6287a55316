// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup_opening.h"

#include "shell/progress_dialog.h"
#include "sources/message_time.h"
#include "sources/program_state.h"

#include <QElapsedTimer>

namespace talvio {
namespace {

// Decryption reports every chunk; answering the windows more often than this only slows it.
constexpr qint64 kAnswerEveryMs = 50;

}  // namespace

StorageOpening openBackupWithProgress(QWidget* owner, const WhatsAppStorage& storage,
                                      const std::string& backupPath, const backup::KeyMaterial& key) {
    CDlgProgress progress(owner);
    progress.setWindowTitle(QStringLiteral("Decrypting backup..."));
    programState().progressPercent = 0;
    progress.show();
    if (owner != nullptr)
        progress.move(owner->geometry().center() - progress.rect().center());
    QElapsedTimer sinceAnswer;
    const BackupProgress report = [&](std::uint64_t done, std::uint64_t total) {
        if (!sinceAnswer.isValid() || sinceAnswer.elapsed() >= kAnswerEveryMs) {
            programState().progressPercent = total == 0 ? 0 : static_cast<int>(done * 100 / total);
            // Paints the bar and takes a click on Cancel.
            progress.onProgress();
            sinceAnswer.start();
        }
        return !progress.cancelled();
    };
    StorageOpening opening = openStoredBackup(storage, backupPath, key, report, standardTimeZoneBias());
    programState().progressPercent = 0;
    progress.hide();
    return opening;
}

}  // namespace talvio
