// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "progress_dialog.h"

#include "platform/dialog_units.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace talvio {

QString progressStatusText(qint64 elapsedMs, int percent) {
    const auto d = static_cast<quint64>(elapsedMs < 0 ? 0 : elapsedMs) / 100;
    quint64 remaining = 0;
    if (percent > 0)
        remaining = static_cast<quint64>(static_cast<double>(d) / percent * (100 - percent));
    return QStringLiteral("Elapsed time: %1.%2seconds / About%3.%4seconds remaining")
        .arg(d / 10)
        .arg(d % 10)
        .arg(remaining / 10)
        .arg(remaining % 10);
}

CDlgProgress::CDlgProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint),
      m_bar(new QProgressBar(this)),
      m_status(new QLabel(this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Recovering... - Talvio"));
    // A click elsewhere while the load runs would start a second load, or select a contact of a
    // table that is being filled.
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(dluSize(256, 42));
    m_bar->setGeometry(dluRect(7, 7, 242, 14));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_status->setGeometry(dluRect(45, 27, 204, 8).adjusted(0, 0, 0, 4));
    m_status->clear();
    m_cancel->setGeometry(dluRect(7, 24, 34, 13));
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        m_cancel->setEnabled(false);
    });
    m_started.start();
    m_sinceAnswer.start();
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
    answerWindow();
}

bool CDlgProgress::stillWanted() {
    // A query that runs for long asks often: answering every few hundredths keeps the window alive
    // without slowing the query down.
    if (!m_cancelled && m_sinceAnswer.elapsed() >= 40)
        answerWindow();
    return !m_cancelled;
}

void CDlgProgress::answerWindow() {
    QApplication::processEvents();
    m_sinceAnswer.restart();
}

int CDlgProgress::position() const {
    return m_bar->value();
}

QString CDlgProgress::statusText() const {
    return m_status->text();
}

void CDlgProgress::keyPressEvent(QKeyEvent* event) {
    // Escape must not close the dialog under the load; Cancel stops it.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

}  // namespace talvio
