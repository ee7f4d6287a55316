// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iphone_backup_unlock.h"

#include "shell/progress_dialog.h"
#include "sources/message_time.h"
#include "sources/program_state.h"

#include <QCoreApplication>
#include <QFuture>
#include <QThread>
#include <QtConcurrent>

#include <atomic>
#include <memory>

namespace talvio {
namespace {

// How often the windows are answered while the worker runs.
constexpr unsigned long kAnswerEveryMs = 30;

// Shared with the worker, which may outlive the dialog after a Cancel.
struct UnlockState {
    std::atomic<int> percent{0};
    std::atomic<bool> cancelled{false};
};

}  // namespace

IphoneBackupOpening openIphoneBackupWithProgress(QWidget* owner, const std::string& folder,
                                                 ios::Secret password) {
    CDlgProgress progress(owner);
    progress.setWindowTitle(QStringLiteral("Opening iPhone backup..."));
    programState().progressPercent = 0;
    progress.show();
    if (owner != nullptr)
        progress.move(owner->geometry().center() - progress.rect().center());

    auto state = std::make_shared<UnlockState>();
    const int bias = standardTimeZoneBias();
    auto secret = std::make_shared<ios::Secret>(std::move(password));
    QFuture<IphoneBackupOpening> work = QtConcurrent::run([state, secret, folder, bias] {
        const IphoneBackupProgress report = [state](double done) {
            state->percent = static_cast<int>(done * 100);
            return !state->cancelled;
        };
        return openIphoneBackup(folder, std::move(*secret), report, bias);
    });
    while (!work.isFinished()) {
        programState().progressPercent = state->percent;
        // Paints the bar and takes a click on Cancel.
        progress.onProgress();
        if (progress.cancelled()) {
            state->cancelled = true;
            break;
        }
        QThread::msleep(kAnswerEveryMs);
    }
    programState().progressPercent = 0;
    progress.hide();
    if (state->cancelled) {
        IphoneBackupOpening cancelled;
        cancelled.error = {ios::BackupProblem::Cancelled, "Opening the backup was cancelled."};
        return cancelled;
    }
    return work.result();
}

}  // namespace talvio
