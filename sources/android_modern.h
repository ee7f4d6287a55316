// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/android_media_page.h"
#include "sources/chat_software.h"
#include "sources/contact_table.h"
#include "sources/database.h"
#include "sources/message_time.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace talvio {

// Android backups made since 2022 keep messages in "message", chats in "chat" and jids in "jid";
// many of 2020-2022 hold both layouts with the data still in "messages". The modern tables are
// read when "messages" is missing or empty and "message" has rows.
bool hasModernMessages(const Database& messageDb);

// Gives every row of the table its figures from the modern tables, and adds a row for every chat
// that wa.db does not list. namedByContacts[i] tells whether row i took its name from wa.db;
// rows that did not take a group's subject when it has one. "@lid" jids appear as the phone jid
// that jid_map gives them.
void readModernStatistics(const Database& messageDb, ContactTable& table, std::vector<bool>& namedByContacts);

// Every chat's row id with the jid its messages are shown under (see readModernStatistics).
std::vector<std::pair<std::int64_t, std::string>> modernChatKeys(const Database& messageDb);

// Appends the body of one Android message: a marker for pictures, voice, video and calls
// (message kinds 1, 2, 3 and 8, compared as text), the escaped text for every other kind.
void appendAndroidBody(std::string& page, std::string_view kind, const char* text);

// Writes the sender lines of one chat's messages: "Me" for the owner's, the member who wrote a
// received group message, otherwise the chat's name; and the message's time.
class AndroidSenderLines {
public:
    AndroidSenderLines(std::string_view shownName, const MessageTimeFormatter& times);
    void append(std::string& page, bool fromMe, const char* member, const char* timestamp);

private:
    std::string m_name;  // escaped
    const MessageTimeFormatter& m_times;
    std::string m_sender;  // buffers reused from line to line
    std::string m_time;
};

// Appends the message blocks of the chats shown under jid to the page, oldest first.
// With media, the query also selects the media columns and media messages show their files.
RenderOutcome appendModernChat(const Database& messageDb, const std::string& jid, std::string_view shownName,
                               const MessageTimeFormatter& times, ChatPageBuffer& out,
                               AndroidMediaWriter* media = nullptr);

// Appends a block for each row of a chat query of either layout, whose columns are the message's
// kind, whether it is from me, its time, its text and the member who sent a received group
// message. Unreadable when the rows end in an error. With media, the rows carry the media columns
// (androidMediaColumns) too, and jid is the chat's.
RenderOutcome appendAndroidMessages(Statement& messages, const Database& messageDb,
                                    std::string_view shownName, const MessageTimeFormatter& times,
                                    ChatPageBuffer& out, AndroidMediaWriter* media = nullptr,
                                    std::string_view jid = {});

}  // namespace talvio
