// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "sources/database.h"

struct sqlite3;
#include "tools/failure.h"
#include "tools/random.h"
#include "tools/scale_contacts.h"
#include "tools/scale_messages.h"

namespace talvio::fixture {

// The msgstore.db of a generated folder in the layout of 2022 on: the rows ScaleMessages makes,
// stored as "message" rows of chats in "chat" whose jids are in "jid", with the side tables a
// phone fills (media, system events, revoked messages, quotes, reactions, calls). From 2025 on
// some people's chats are kept under an "@lid" jid (kLidChatShare of all chats end up there),
// and the members of lidMembers groups write under theirs; jid_map gives the phone jid of each
// lid it knows.
class ScaleModernMessages {
public:
    static constexpr std::int64_t kLidEra = 1735689600000;  // 2025-01-01 00:00:00 UTC
    static constexpr double kLidChatShare = 0.03;

    // `random` draws what the legacy layout has no place for (lids, file names, reactions), so
    // that the messages themselves are those of the legacy layout for the same seed.
    ScaleModernMessages(const ScaleContacts& contacts, ScaleMessages& messages, Random& random);

    Failure write(const std::filesystem::path& file, std::int64_t messages, Random& messageRandom);

    // Mixed databases: every chat of chat_list gets its jid and chat rows, and the newest
    // kMixedRows rows of "messages" are copied into "message", as WhatsApp wrote them while it
    // moved to the new tables.
    static constexpr int kMixedRows = 12;
    static Failure copyNewestRows(Database& db);

private:
    struct Chat {
        std::int64_t id = 0;
        std::int64_t jidRow = 0;
        std::uint32_t contact = 0;  // index into the contacts, or the status chat
        std::int64_t firstTimestamp = 0;
        std::int64_t lastRowId = 0;
        std::int64_t lastTimestamp = 0;
    };

    Failure prepare(Database& db);
    void chooseLidDays(const std::vector<ScaleMessages::Event>& events);
    Chat& chatOf(std::uint32_t contact, std::int64_t timestamp);
    std::int64_t jidRow(const std::string& raw);
    const std::string& lidOf(const std::string& phoneJid, bool known);
    std::int64_t store(std::uint32_t contact, const MessageRow& row, std::int64_t quotedRowId);
    std::int64_t insertMessage(std::int64_t chat, const MessageRow& row, int type, std::int64_t sender);
    bool storeMedia(std::int64_t id, const Chat& chat, const MessageRow& row);
    bool storeCall(const Chat& chat, const MessageRow& row, std::int64_t sender);
    bool storeReaction(std::int64_t id, const Chat& chat, const MessageRow& row);
    Failure writeChats(Database& db);

    const std::vector<ScaleContact>& m_contacts;
    ScaleMessages& m_messages;
    Random& m_random;
    std::unordered_set<std::string> m_people;  // jids of the persons among the contacts

    std::unordered_map<std::string, std::int64_t> m_jidRows;
    std::int64_t m_lastJidRow = 0;
    std::unordered_map<std::string, std::string> m_lids;  // phone jid -> "@lid" jid
    std::unordered_set<std::string> m_lidNumbers;

    static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
    std::vector<std::int64_t> m_lidFrom;               // per contact: first time kept under the lid
    std::vector<std::int64_t> m_phoneChat, m_lidChat;  // per contact: chat _id, 0 before its first message
    std::vector<Chat> m_chats;                         // by _id - 1
    std::int64_t m_lastMessageId = 0;
    std::int64_t m_lastAddOnId = 0;
    std::int64_t m_mediaSerial = 0;

    Statement m_insertJid, m_insertJidMap, m_insertMessage, m_insertMedia, m_insertSystem, m_insertRevoked,
        m_insertQuoted, m_insertCall, m_insertCallLink, m_insertAddOn, m_insertReaction;
    sqlite3* m_db = nullptr;  // for the row id of the call just stored
};

}  // namespace talvio::fixture
