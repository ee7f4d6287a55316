// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "export_progress.h"

#include "platform/dialog_units.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace talvio {

CDlgExportProgress::CDlgExportProgress(QWidget* parent, int total)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint),
      m_total(total),
      m_bar(new QProgressBar(this)),
      m_status(new QLabel(this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Exporting Messages - Talvio"));
    // While the export runs, the windows below must take no clicks: a second export, or a new
    // load, started from inside this one would pull the contact table away under it.
    setWindowModality(Qt::ApplicationModal);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(dluSize(256, 62));
    m_bar->setGeometry(dluRect(7, 7, 242, 14));
    m_bar->setRange(0, total > 0 ? total : 1);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_status->setGeometry(dluRect(7, 25, 242, 10));
    // It names the chat being written: a name from the phone folder, never markup.
    m_status->setTextFormat(Qt::PlainText);
    m_cancel->setGeometry(dluRect(199, 40, 50, 15));
    connect(m_cancel, &QPushButton::clicked, this, &CDlgExportProgress::requestCancel);
}

bool CDlgExportProgress::step(int done, const QString& name) {
    m_bar->setValue(done);
    if (!m_cancelled) {
        const QString text = done < m_total
                                 ? QStringLiteral("Chat %1 of %2: %3").arg(done + 1).arg(m_total).arg(name)
                                 : QStringLiteral("Writing the index");
        m_status->setText(m_status->fontMetrics().elidedText(text, Qt::ElideRight, m_status->width()));
    }
    QApplication::processEvents();
    return !m_cancelled;
}

void CDlgExportProgress::pulse() {
    QApplication::processEvents();
}

void CDlgExportProgress::reject() {
    requestCancel();
}

void CDlgExportProgress::closeEvent(QCloseEvent* event) {
    requestCancel();
    event->ignore();
}

void CDlgExportProgress::requestCancel() {
    if (m_cancelled)
        return;
    m_cancelled = true;
    m_cancel->setEnabled(false);
    m_status->setText(QStringLiteral("Cancelling after this chat..."));
}

}  // namespace talvio
