// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/database.h"

#include <cstdint>
#include <string>
#include <vector>

namespace talvio::bench {

// The modern-layout chats shown under jid: its own and those whose "@lid" jid_map gives as jid.
// Written out here rather than taken from the source, so that a floor never times the code it is
// held against.
inline std::vector<std::int64_t> chatsShownAs(const Database& db, const std::string& jid) {
    Statement chats(db,
                    "SELECT chat._id FROM chat JOIN jid ON jid._id = chat.jid_row_id "
                    "LEFT JOIN jid_map ON jid_map.lid_row_id = jid._id "
                    "LEFT JOIN jid AS phone ON phone._id = jid_map.jid_row_id "
                    "WHERE COALESCE(phone.raw_string, jid.raw_string) = ? ORDER BY chat._id;");
    chats.bind(1, jid);
    std::vector<std::int64_t> ids;
    while (chats.step())
        ids.push_back(chats.int64(0));
    return ids;
}

// The five columns the chat page loop reads (kind, from me, time, text, group member) of the chats'
// rows in page order, as the modern layout's chat query gives them.
inline Statement chatRows(const Database& db, const std::vector<std::int64_t>& chats) {
    std::string in;
    for (std::size_t i = 0; i < chats.size(); ++i)
        in += i == 0 ? "?" : ",?";
    Statement rows(db,
                   "SELECT message.message_type, message.from_me, message.timestamp, message.text_data, "
                   "COALESCE(phone.raw_string, sender.raw_string) FROM message "
                   "LEFT JOIN jid AS sender ON sender._id = message.sender_jid_row_id "
                   "LEFT JOIN jid_map ON jid_map.lid_row_id = sender._id "
                   "LEFT JOIN jid AS phone ON phone._id = jid_map.jid_row_id "
                   "WHERE message.chat_row_id IN (" +
                       in + ") ORDER BY message.timestamp, message._id;");
    for (std::size_t i = 0; i < chats.size(); ++i)
        rows.bind(static_cast<int>(i) + 1, chats[i]);
    return rows;
}

}  // namespace talvio::bench
