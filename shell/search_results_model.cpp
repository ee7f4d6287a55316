// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/search_results_model.h"

#include "sources/message_time.h"

#include <QDateTime>
#include <QPoint>
#include <QTimeZone>

#include <algorithm>
#include <climits>

namespace talvio {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A line break inside a message would break the one line the list gives it.
void flatten(QString& text) {
    for (QChar& c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t') ||
            c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
}

}  // namespace

HitLine hitLine(const SearchHit& hit, int contextBefore) {
    const std::string_view text = hit.text;
    // UTF-16 positions of the byte ranges, converting each stretch once.
    QList<QPair<int, int>> marks;
    QString whole;
    std::size_t done = 0;
    for (const auto& [begin, end] : hit.matches) {
        if (begin < done || end < begin || end > text.size())
            continue;
        whole += fromUtf8(text.substr(done, begin - done));
        const int at = static_cast<int>(whole.size());
        whole += fromUtf8(text.substr(begin, end - begin));
        marks.append({at, static_cast<int>(whole.size()) - at});
        done = end;
    }
    whole += fromUtf8(text.substr(done));
    flatten(whole);

    int start = 0;
    if (!marks.isEmpty() && marks.first().first > contextBefore) {
        start = marks.first().first - contextBefore;
        // From the start of a word where one starts near, and never inside a surrogate pair.
        const auto space = whole.indexOf(QLatin1Char(' '), start);
        if (space >= 0 && space < start + contextBefore / 2)
            start = static_cast<int>(space) + 1;
        if (start > 0 && whole.at(start).isLowSurrogate())
            --start;
    }
    HitLine line;
    const QString ellipsis = start > 0 ? QStringLiteral("\u2026") : QString();
    line.text = ellipsis + whole.mid(start);
    const int shift = static_cast<int>(ellipsis.size()) - start;
    for (const auto& [at, length] : marks)
        line.marks.append({at + shift, length});
    return line;
}

QString hitTime(std::int64_t secondsUtc) {
    const QDateTime local = QDateTime::fromSecsSinceEpoch(
        secondsUtc - std::int64_t{standardTimeZoneBias()} * 60, QTimeZone::utc());
    return local.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
}

SearchResultsModel::SearchResultsModel(QObject* parent) : QAbstractListModel(parent) {}

namespace {
// Rows kept with their texts: many screenfuls, few enough to stay small whatever the hit count.
constexpr std::size_t kShownRows = 2048;
}  // namespace

void SearchResultsModel::clear() {
    if (!m_results)
        return;
    beginResetModel();
    m_results.reset();
    m_shown.clear();
    endResetModel();
}

void SearchResultsModel::setResults(std::shared_ptr<const SearchResults> results) {
    beginResetModel();
    m_results = std::move(results);
    m_shown.clear();
    endResetModel();
}

const SearchHit& SearchResultsModel::hit(int row) const {
    auto found = m_shown.find(row);
    if (found == m_shown.end()) {
        if (m_shown.size() >= kShownRows)
            m_shown.clear();
        found = m_shown.emplace(row, m_results->hit(static_cast<std::size_t>(row))).first;
    }
    return found->second;
}

QString SearchResultsModel::contactOf(const std::string& jid) const {
    const QString key = fromUtf8(jid);
    return m_names.value(key, key);
}

int SearchResultsModel::rowCount(const QModelIndex& parent) const {
    // A list view counts in int: beyond that many hits, the newest are shown.
    if (parent.isValid() || !m_results)
        return 0;
    return static_cast<int>(std::min<std::size_t>(m_results->size(), INT_MAX));
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const SearchHit& h = hit(index.row());
    switch (role) {
        case ContactRole:
            return contactOf(h.jid);
        case TimeRole:
            return hitTime(h.time);
        case Qt::DisplayRole:
        case LineRole:
            return hitLine(h).text;
        case Qt::ToolTipRole: {
            // A tip that looks like markup is taken as markup: the text goes escaped, as rich text.
            QString text = fromUtf8(h.text);
            if (text.size() > 1000)
                text = text.left(1000) + QStringLiteral("\u2026");
            return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() +
                   QStringLiteral("</p>");
        }
        case Qt::AccessibleTextRole:
            return contactOf(h.jid) + QStringLiteral(", ") + hitTime(h.time) + QStringLiteral(": ") +
                   hitLine(h).text;
        case MarksRole: {
            QVariantList marks;
            for (const auto& [at, length] : hitLine(h).marks)
                marks.append(QPoint(at, length));
            return marks;
        }
        case JidRole:
            return fromUtf8(h.jid);
        case OrdinalRole:
            return static_cast<qlonglong>(h.ordinal);
        default:
            return {};
    }
}

}  // namespace talvio
