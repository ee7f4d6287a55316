// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

namespace talvio {

// The strip over the chat while a search is on: the query, "3 of 41" for the hits in this chat,
// and buttons for the previous and the next hit.
class FindBar : public QFrame {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    // position counts from 1; 0 when no hit of the chat has been gone to yet.
    void showCount(const QString& query, int position, int count, bool complete);
    QString countText() const;

signals:
    void nextWanted();
    void previousWanted();
    void closeWanted();

private:
    QLabel* m_query = nullptr;
    QLabel* m_count = nullptr;
    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
};

}  // namespace talvio
