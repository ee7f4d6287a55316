// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "password_row.h"

#include "backup/key_material.h"
#include "platform/dialog_units.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace talvio {

PasswordRow::PasswordRow(QWidget* parent, int top)
    : QWidget(parent),
      m_password(new QLineEdit(this)),
      m_show(new QPushButton(QStringLiteral("Show"), this)),
      m_note(new QLabel(this)) {
    setGeometry(dluRect(0, top, 333, 30));
    const auto place = [top](QWidget* widget, int x, int y, int w, int h) {
        widget->setGeometry(dluRect(x, y, w, h).translated(0, -dluY(top)));
    };
    place(m_note, 14, top, 306, 10);
    m_note->setText(QStringLiteral("This backup is encrypted. Its password is never saved."));
    auto* label = new QLabel(QStringLiteral("Password:"), this);
    place(label, 14, top + 14, 60, 10);
    place(m_password, 76, top + 12, 188, 14);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral("the backup password"));
    place(m_show, 270, top + 12, 50, 14);
    m_show->setCheckable(true);
    connect(m_show, &QPushButton::toggled, this, [this](bool shown) {
        m_password->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
        m_show->setText(shown ? QStringLiteral("Hide") : QStringLiteral("Show"));
    });
}

ios::Secret PasswordRow::password() const {
    QByteArray typed = m_password->text().toUtf8();
    ios::Secret secret(std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())));
    backup::wipe(typed.data(), static_cast<std::size_t>(typed.size()));
    return secret;
}

void PasswordRow::forget() {
    m_password->clear();
    m_show->setChecked(false);
}

}  // namespace talvio
