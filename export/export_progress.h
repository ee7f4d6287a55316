// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

namespace talvio {

// The progress of an export, with a Cancel button. The export runs on this thread: the dialog
// lets events through between chats, and a cancel takes effect before the next chat, so that
// every page written is complete with its media.
class CDlgExportProgress : public QDialog {
    Q_OBJECT
public:
    CDlgExportProgress(QWidget* parent, int total);

    // Before chat done + 1 of total (named name) starts: shows it, handles pending events, and
    // answers whether to go on.
    bool step(int done, const QString& name);
    // Within a chat, between media conversions: handles pending events only.
    void pulse();

    QProgressBar* bar() const { return m_bar; }
    QLabel* status() const { return m_status; }
    QPushButton* cancelButton() const { return m_cancel; }

    // Escape and the close box ask for a cancel; the dialog stays until the chat is done.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void requestCancel();

    int m_total;
    bool m_cancelled = false;
    QProgressBar* m_bar;
    QLabel* m_status;
    QPushButton* m_cancel;
};

}  // namespace talvio
