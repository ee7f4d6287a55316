// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "progress_dialog.h"

#include "shell/dialog_units.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>

namespace talvio {

QString progressStatusText(qint64 elapsedMs, int percent) {
    const auto d = static_cast<quint64>(elapsedMs < 0 ? 0 : elapsedMs) / 100;
    quint64 remaining = 0;
    if (percent > 0) remaining = static_cast<quint64>(static_cast<double>(d) / percent * (100 - percent));
    return QStringLiteral("Elapsed time: %1.%2seconds / About%3.%4seconds remaining")
        .arg(d / 10)
        .arg(d % 10)
        .arg(remaining / 10)
        .arg(remaining % 10);
}

CDlgProgress::CDlgProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint),
      m_bar(new QProgressBar(this)),
      m_status(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Recovering... - Talvio"));
    setFixedSize(dluSize(256, 42));
    m_bar->setGeometry(dluRect(7, 7, 242, 14));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_status->setGeometry(dluRect(45, 27, 204, 8).adjusted(0, 0, 0, 4));
    m_status->clear();
    m_started.start();
    m_elapsedMs = [this] { return m_started.elapsed(); };
}

void CDlgProgress::onProgress() {
    const int percent = programState().progressPercent;
    const QString text = progressStatusText(m_elapsedMs(), percent);
    if (percent > 100) {
        hide();
        done(QDialog::Accepted);
    } else {
        m_bar->setValue(percent < 0 ? 0 : percent);
    }
    m_status->setText(text);
    // The load runs on this thread: let the dialog paint, but take no input meanwhile.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int CDlgProgress::position() const { return m_bar->value(); }

QString CDlgProgress::statusText() const { return m_status->text(); }

void CDlgProgress::keyPressEvent(QKeyEvent* event) {
    // A load cannot be cancelled halfway; Escape must not close the dialog under it.
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}

}  // namespace talvio
