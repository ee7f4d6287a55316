// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QObject>

#include <initializer_list>
#include <vector>

class QWidget;

namespace talvio::media {

// Swallows the given keys anywhere in a window before any control sees them. A focused push
// button in a dialog clicks itself on Enter, and the dialog closes on Escape, so filtering
// only the dialog's own key handler is not enough.
class KeyFilter final : public QObject {
public:
    // Filters `window` and every widget inside it at the time of the call.
    KeyFilter(QWidget* window, std::initializer_list<int> keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<int> m_keys;
};

}  // namespace talvio::media
