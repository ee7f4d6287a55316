// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "about_dialog.h"

#include "platform/dialog_units.h"
#include "shell/artwork.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace talvio {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Talvio"));
    setFixedSize(dluSize(202, 62));
    auto* icon = new QLabel(this);
    icon->setGeometry(dluRect(14, 14, 21, 20));
    icon->setPixmap(applicationIcon().pixmap(32, 32));
    auto* text = new QLabel(QStringLiteral("Talvio 3.0"), this);
    text->setGeometry(dluRect(42, 14, 114, 8).adjusted(0, 0, 0, 4));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(dluRect(145, 41, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace talvio
