// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "iosbackup/secret.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace talvio {

// The open dialog's row for an encrypted iPhone backup: the password, hidden unless Show is
// pressed. It is never saved; the box is emptied once the password has done its work.
class PasswordRow : public QWidget {
    Q_OBJECT
public:
    // Laid out in dialog units from `top`, the dialog's own coordinates.
    PasswordRow(QWidget* parent, int top);

    // The typed password as UTF-8; the copies made on the way are wiped.
    ios::Secret password() const;
    void forget();

    QLineEdit* passwordEdit() const { return m_password; }
    QPushButton* showButton() const { return m_show; }
    QLabel* note() const { return m_note; }

private:
    QLineEdit* m_password;
    QPushButton* m_show;
    QLabel* m_note;
};

}  // namespace talvio
