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

}  // namespace talvio::bench
