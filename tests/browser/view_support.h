// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "browser/explorer_content.h"
#include "tests/support/wait.h"

#include <QCoreApplication>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>

#include <functional>
#include <ostream>
#include <string>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace talvio::test {

// The value of a script expression in the view's page.
inline QVariant evaluate(QWebEngineView& view, const QString& script) {
    QVariant result;
    bool answered = false;
    view.page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        answered = true;
    });
    waitUntil([&] { return answered; });
    return result;
}

// Shows a page and waits until its first frame is on screen; false if it never came.
inline bool showAndWait(CExplorer_content& view, const std::string& page) {
    int painted = 0;
    const auto connection =
        QObject::connect(&view, &CExplorer_content::chatPagePainted, [&](int serial) { painted = serial; });
    view.showChatPage(std::make_shared<const std::string>(page));
    const int serial = view.currentSerial();
    const bool shown = waitUntil([&] { return painted == serial; });
    QObject::disconnect(connection);
    return shown;
}

}  // namespace talvio::test
