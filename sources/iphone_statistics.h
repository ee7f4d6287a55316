// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/database.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace talvio {

// A chat's figures as the contact list shows them: the newest ZMESSAGEDATE cut before its first
// "." (empty when the chat has no message) and the number of its messages.
struct ChatStatistics {
    std::string lastMessageTime;
    std::int32_t messageCount = 0;
};

// The per-chat aggregate: a message belongs to a chat when the chat's jid is its ZFROMJID or its
// ZTOJID. Real stores have no index on either column, so every call reads the whole table.
inline constexpr std::string_view kIphoneStatisticsQuery =
    "SELECT MAX(ZMESSAGEDATE), COUNT(1) FROM ZWAMESSAGE WHERE ZFROMJID=?1 OR ZTOJID=?1;";

// Runs the per-chat aggregate (prepared from kIphoneStatisticsQuery) for one jid. False when the
// query fails; figures is then untouched.
bool readChatStatistics(Statement& query, std::string_view jid, ChatStatistics& figures);

// The figures of every jid in jids from one pass over ZWAMESSAGE, equal to what the per-chat
// aggregate gives each of them: a message counts once for a chat even when it is both its sender
// and its receiver, MAX follows SQLite's ordering of mixed values, and a jid without messages gets
// an empty time and 0. False when one pass cannot give those figures (the table is missing or
// damaged, or its columns compare in a way other than plain text); the caller then asks per chat.
bool readAllChatStatistics(const Database& db, const std::vector<std::string>& jids,
                           std::unordered_map<std::string, ChatStatistics>& figures);

// The raw time text of a MAX(ZMESSAGEDATE) as the list keeps it: cut before its first ".".
std::string cutAtFirstDot(const char* text);

}  // namespace talvio
