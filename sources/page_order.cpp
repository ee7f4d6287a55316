// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "sources/page_order.h"

#include <sqlite3.h>

#include <algorithm>
#include <limits>

namespace talvio {

SqliteOrderKey SqliteOrderKey::of(sqlite3_stmt* row, int column) {
    switch (sqlite3_column_type(row, column)) {
        case SQLITE_NULL:
            return {0, 0};
        case SQLITE_INTEGER:
            return {1, static_cast<double>(sqlite3_column_int64(row, column))};
        case SQLITE_FLOAT:
            return {1, sqlite3_column_double(row, column)};
        case SQLITE_TEXT:
            return {2, 0};
        default:
            return {3, 0};
    }
}

std::uint32_t PageOrderCollector::chat(std::string_view jid) {
    if (m_lastNumber != UINT32_MAX && jid == m_lastJid)
        return m_lastNumber;
    m_lastJid.assign(jid);
    // Chats interleave row by row: look up before adding, since an emplace makes a node first.
    auto it = m_numbers.find(m_lastJid);
    if (it == m_numbers.end()) {
        it = m_numbers.emplace(m_lastJid, static_cast<std::uint32_t>(m_jids.size())).first;
        m_jids.push_back(m_lastJid);
    }
    m_lastNumber = it->second;
    return m_lastNumber;
}

void PageOrderCollector::add(std::uint32_t chat, SqliteOrderKey order, std::int64_t tieBreak,
                             std::int64_t time, bool fromMe, std::string_view text, std::uint32_t copies) {
    const auto size = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), UINT32_MAX));
    m_rows.push_back({order, tieBreak, time, m_texts.size(), size, chat, copies, fromMe});
    m_texts.append(text.substr(0, size));
}

void PageOrderCollector::append(PageOrderCollector&& other) {
    std::vector<std::uint32_t> number(other.m_jids.size());
    for (std::size_t i = 0; i < other.m_jids.size(); ++i)
        number[i] = chat(other.m_jids[i]);
    const std::size_t textShift = m_texts.size();
    m_texts.append(other.m_texts);
    m_rows.reserve(m_rows.size() + other.m_rows.size());
    for (Row row : other.m_rows) {
        row.chat = number[row.chat];
        row.textBegin += textShift;
        m_rows.push_back(row);
    }
    other = PageOrderCollector();
}

bool PageOrderCollector::handOut(const MessageTextSink& sink) {
    // Rows by chat, keeping the order they came in; most chats then are in page order already.
    std::vector<std::uint32_t> start(m_jids.size() + 1, 0);
    for (const Row& row : m_rows)
        ++start[row.chat + 1];
    for (std::size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    std::vector<std::uint32_t> order(m_rows.size());
    {
        std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
        for (std::uint32_t i = 0; i < m_rows.size(); ++i)
            order[next[m_rows[i].chat]++] = i;
    }
    auto before = [this](std::uint32_t a, std::uint32_t b) {
        const Row& x = m_rows[a];
        const Row& y = m_rows[b];
        if (!(x.order == y.order))
            return x.order < y.order;
        return x.tieBreak < y.tieBreak;
    };
    for (std::size_t c = 0; c < m_jids.size(); ++c) {
        const auto first = order.begin() + start[c];
        const auto last = order.begin() + start[c + 1];
        if (!std::is_sorted(first, last, before))
            std::sort(first, last, before);
        std::int64_t ordinal = 0;
        for (auto it = first; it != last; ++it) {
            const Row& row = m_rows[*it];
            for (std::uint32_t copy = 0; copy < row.copies; ++copy, ++ordinal) {
                if (row.textSize == 0)
                    continue;
                const MessageText message{m_jids[c], ordinal, row.time, row.fromMe,
                                          std::string_view(m_texts).substr(row.textBegin, row.textSize)};
                if (!sink(message))
                    return false;
            }
        }
    }
    return true;
}

}  // namespace talvio
