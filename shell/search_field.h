// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QLineEdit>

namespace talvio {

// The search field: Escape clears it, Enter and Shift+Enter step through the hits, Down moves
// into the results. The window's own handling of these keys never sees them.
class SearchField : public QLineEdit {
    Q_OBJECT
public:
    explicit SearchField(QWidget* parent = nullptr);

signals:
    void nextWanted();
    void previousWanted();
    void resultsWanted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
};

}  // namespace talvio
