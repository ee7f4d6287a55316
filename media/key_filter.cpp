// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/key_filter.h"

#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

namespace talvio::media {

KeyFilter::KeyFilter(QWidget* window, std::initializer_list<int> keys) : QObject(window), m_keys(keys) {
    window->installEventFilter(this);
    for (QWidget* child : window->findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (std::find(m_keys.begin(), m_keys.end(), key) != m_keys.end()) {
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace talvio::media
