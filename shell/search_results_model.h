// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "search/message_search.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QPair>

#include <memory>
#include <unordered_map>
#include <vector>

namespace talvio {

// A message's text as one line around its first match, with every match inside that line as
// [begin, length) in UTF-16 units. Line breaks and tabs become spaces; a long text starts a few
// words before the match, after "…".
struct HitLine {
    QString text;
    QList<QPair<int, int>> marks;
};
HitLine hitLine(const SearchHit& hit, int contextBefore = 24);

// The hits of the current query, newest first: the contact's name, the time and the line of text.
// A row's text is worked out when the list first shows it, and a few screenfuls are kept. Every
// text stays plain; the list draws it without markup.
class SearchResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { ContactRole = Qt::UserRole + 1, TimeRole, LineRole, MarksRole, JidRole, OrdinalRole };

    explicit SearchResultsModel(QObject* parent = nullptr);

    // The names shown for the chats, by jid, taken from the contact table of the load.
    void setContactNames(QHash<QString, QString> names) { m_names = std::move(names); }
    void clear();
    void setResults(std::shared_ptr<const SearchResults> results);
    const SearchResults* results() const { return m_results.get(); }
    const SearchHit& hit(int row) const;
    QString contactOf(const std::string& jid) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::shared_ptr<const SearchResults> m_results;
    mutable std::unordered_map<int, SearchHit> m_shown;
    QHash<QString, QString> m_names;
};

// The time of a hit as the chat page shows times: local standard time.
QString hitTime(std::int64_t secondsUtc);

}  // namespace talvio
