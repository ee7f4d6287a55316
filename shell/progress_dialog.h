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

namespace talvio {

// "Elapsed time: 12.3seconds / About12.3seconds remaining": the remaining time is the elapsed time
// extrapolated linearly from the percentage, in tenths of a second, truncated.
QString progressStatusText(qint64 elapsedMs, int percent);

// The progress dialog of a load: refreshed from ProgressPercent whenever a loader reports.
class CDlgProgress : public QDialog, public ProgressTarget {
    Q_OBJECT
public:
    explicit CDlgProgress(QWidget* parent);

    void onProgress() override;

    int position() const;
    QString statusText() const;
    // Tests replace the clock to get exact status texts.
    void setClock(std::function<qint64()> elapsedMs) { m_elapsedMs = std::move(elapsedMs); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QProgressBar* m_bar;
    QLabel* m_status;
    QElapsedTimer m_started;
    std::function<qint64()> m_elapsedMs;
};

}  // namespace talvio
