// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/message_texts.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3_stmt;

namespace talvio {

// How a chat query's ORDER BY column places a row: SQLite's order of types (NULL, numbers, text,
// blob), then the value. Texts and blobs compare equal among themselves, left to the tie-break.
struct SqliteOrderKey {
    std::uint8_t type = 0;
    double number = 0;

    static SqliteOrderKey of(sqlite3_stmt* row, int column);
    bool operator<(const SqliteOrderKey& other) const {
        return type != other.type ? type < other.type : number < other.number;
    }
    bool operator==(const SqliteOrderKey& other) const = default;
};

// Gathers every message of a table in one pass, in any order, and hands them to search in the order
// each chat's page shows them, so that each gets its page's ordinal without a query per chat.
// Messages without text still take their place.
class PageOrderCollector {
public:
    // The number of a chat, given once per distinct jid.
    std::uint32_t chat(std::string_view jid);
    // order and tieBreak sort a message within its chat as the chat's query does (rows of equal
    // order keep the order of tieBreak, the row id). copies: rows the chat's query gives the message.
    void add(std::uint32_t chat, SqliteOrderKey order, std::int64_t tieBreak, std::int64_t time, bool fromMe,
             std::string_view text, std::uint32_t copies = 1);
    std::size_t size() const { return m_rows.size(); }
    // Takes the rows of another collector after its own, as though they had been added here.
    void append(PageOrderCollector&& other);
    // False when the sink stopped.
    bool handOut(const MessageTextSink& sink);

private:
    struct Row {
        SqliteOrderKey order;
        std::int64_t tieBreak;
        std::int64_t time;
        std::size_t textBegin;
        std::uint32_t textSize;
        std::uint32_t chat;
        std::uint32_t copies;
        bool fromMe;
    };
    std::vector<Row> m_rows;
    std::string m_texts;
    std::vector<std::string> m_jids;
    std::unordered_map<std::string, std::uint32_t> m_numbers;
    std::string m_lastJid;
    std::uint32_t m_lastNumber = UINT32_MAX;
};

}  // namespace talvio
