// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/path_box_players.h"

#include "platform/desktop.h"

#include <QPointer>
#include <QWidget>

namespace talvio {

CImpIDispatch::MediaCall pathBoxPlayer(QWidget* owner) {
    return [owner = QPointer<QWidget>(owner)](const std::string& utf8Path) {
        platform::desktop().message(owner, QString::fromStdString(utf8Path), QString(), platform::Buttons::Ok,
                                    platform::Icon::Information);
    };
}

}  // namespace talvio
