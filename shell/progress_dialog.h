// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/program_state.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace talvio {

// "Elapsed time: 12.3seconds / About12.3seconds remaining": the remaining time is the elapsed time
// extrapolated linearly from the percentage, in tenths of a second, truncated.
QString progressStatusText(qint64 elapsedMs, int percent);

// The progress dialog of a load: refreshed from ProgressPercent whenever a loader reports. Its
// Cancel stops the load's queries; the windows below take no input while it is open.
class CDlgProgress : public QDialog, public ProgressTarget {
    Q_OBJECT
public:
    explicit CDlgProgress(QWidget* parent);

    void onProgress() override;
    bool stillWanted() override;
    bool cancelled() const { return m_cancelled; }
    QPushButton* cancelButton() const { return m_cancel; }

    int position() const;
    QString statusText() const;
    // Tests replace the clock to get exact status texts.
    void setClock(std::function<qint64()> elapsedMs) { m_elapsedMs = std::move(elapsedMs); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Lets the dialog paint and take a click on Cancel while the load runs on this thread.
    void answerWindow();

    QProgressBar* m_bar;
    QLabel* m_status;
    QPushButton* m_cancel;
    bool m_cancelled = false;
    QElapsedTimer m_started;
    QElapsedTimer m_sinceAnswer;
    std::function<qint64()> m_elapsedMs;
};

}  // namespace talvio
