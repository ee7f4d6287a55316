// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace talvio::test {

// Runs the event loop until done() holds or the time is up; whether it holds. The one wait of the
// window tests. It keeps the loop running throughout: QTest::qWaitFor sleeps between its passes,
// which stalls a scrolling page and a playing video long enough to miss what is being waited for.
inline bool waitUntil(const std::function<bool()>& done, int milliseconds = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

}  // namespace talvio::test
