// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "android_modern.h"

#include "sources/chat_page.h"
#include "sources/html_escape.h"
#include "sources/message_time.h"
#include "sources/modern_chat_extras.h"
#include "sources/modern_kinds.h"
#include "sources/modern_message_page.h"
#include "sources/program_state.h"
#include "sources/text_convert.h"

#include <sqlite3.h>

#include <string_view>
#include <unordered_map>

namespace talvio {
namespace {

struct Chat {
    std::int64_t id = 0;
    std::string key;  // the jid the chat is shown under
    std::string subject;
};

struct Figures {
    std::int64_t largest = 0;
    bool anyTime = false;
    std::int32_t messageCount = 0;
    std::int32_t unsupported = 0;
};

bool hasRow(const Database& db, std::string_view sql) {
    Statement probe(db, sql);
    return probe.step();
}

bool hasJidMap(const Database& db) {
    Statement probe(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name='jid_map';");
    return probe.step();
}

// Phones before 2022 have no origination_flags, and so no forwarded marks.
bool hasFlags(const Database& db) {
    return Statement(db, "SELECT origination_flags FROM message LIMIT 0;").ok();
}

std::string textOrEmpty(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

// Every chat with the jid it is shown under: an "@lid" jid becomes its phone jid where jid_map
// knows one, so that a person's chats under both identifiers show as one.
std::vector<Chat> readChats(const Database& db) {
    const std::string sql =
        hasJidMap(db) ? "SELECT chat._id, COALESCE(phone.raw_string, jid.raw_string), chat.subject FROM chat "
                        "JOIN jid ON jid._id = chat.jid_row_id "
                        "LEFT JOIN jid_map ON jid_map.lid_row_id = jid._id "
                        "LEFT JOIN jid AS phone ON phone._id = jid_map.jid_row_id ORDER BY chat._id;"
                      : "SELECT chat._id, jid.raw_string, chat.subject FROM chat "
                        "JOIN jid ON jid._id = chat.jid_row_id ORDER BY chat._id;";
    std::vector<Chat> chats;
    Statement rows(db, sql);
    while (rows.step()) {
        if (rows.isNull(1))
            continue;
        chats.push_back({rows.int64(0), std::string(rows.textView(1)), textOrEmpty(rows.text(2))});
    }
    return chats;
}

std::string senderQuery(bool jidMap, std::size_t chats, bool withFlags) {
    std::string in;
    for (std::size_t i = 0; i < chats; ++i)
        in += i == 0 ? "?" : ",?";
    const std::string sender = jidMap ? "COALESCE(phone.raw_string, sender.raw_string)" : "sender.raw_string";
    std::string sql = "SELECT message.message_type, message.from_me, message.timestamp, message.text_data, " +
                      sender + modernExtraColumns(withFlags) +
                      " FROM message LEFT JOIN jid AS sender ON sender._id = message.sender_jid_row_id ";
    if (jidMap) {
        sql +=
            "LEFT JOIN jid_map ON jid_map.lid_row_id = sender._id "
            "LEFT JOIN jid AS phone ON phone._id = jid_map.jid_row_id ";
    }
    return sql + "WHERE message.chat_row_id IN (" + in + ") ORDER BY message.timestamp, message._id;";
}

}  // namespace

bool hasModernMessages(const Database& messageDb) {
    // The system row "-1" that opens most databases is no message of anyone's: a legacy table that
    // holds only it is as good as empty.
    return !hasRow(messageDb, "SELECT 1 FROM messages WHERE key_remote_jid <> '-1' LIMIT 1;") &&
           hasRow(messageDb, "SELECT 1 FROM message LIMIT 1;");
}

std::vector<std::pair<std::int64_t, std::string>> modernChatKeys(const Database& messageDb) {
    std::vector<std::pair<std::int64_t, std::string>> keys;
    for (Chat& chat : readChats(messageDb))
        keys.emplace_back(chat.id, std::move(chat.key));
    return keys;
}

void readModernStatistics(const Database& messageDb, ContactTable& table,
                          std::vector<bool>& namedByContacts) {
    const std::vector<Chat> chats = readChats(messageDb);
    std::unordered_map<std::int64_t, const Chat*> chatById;
    for (const Chat& chat : chats)
        chatById[chat.id] = &chat;

    // One pass over the table in storage order, as for the legacy layout.
    std::unordered_map<std::int64_t, Figures> byChat;
    Statement all(messageDb, "SELECT chat_row_id, timestamp, message_type FROM message NOT INDEXED;");
    while (all.step()) {
        Figures& f = byChat[all.int64(0)];
        ++f.messageCount;
        if (modernKindOf(all.int64(2)) == ModernKind::Unknown)
            ++f.unsupported;
        if (sqlite3_column_type(all.handle(), 1) == SQLITE_NULL)
            continue;
        const std::int64_t t = all.int64(1);
        if (!f.anyTime || t > f.largest)
            f.largest = t;
        f.anyTime = true;
    }

    std::unordered_map<std::string, Figures> byKey;
    std::unordered_map<std::string, std::string> subjectByKey;
    for (const Chat& chat : chats) {
        Figures& total = byKey[chat.key];
        if (!chat.subject.empty())
            subjectByKey.emplace(chat.key, chat.subject);
        const auto found = byChat.find(chat.id);
        if (found == byChat.end())
            continue;
        total.messageCount += found->second.messageCount;
        total.unsupported += found->second.unsupported;
        if (found->second.anyTime && (!total.anyTime || found->second.largest > total.largest)) {
            total.largest = found->second.largest;
            total.anyTime = true;
        }
    }

    // Chats that wa.db does not list join the table after its own rows.
    std::unordered_map<std::string, bool> listed;
    for (const ContactEntry& entry : table.rows())
        listed[entry.jid] = true;
    for (const Chat& chat : chats) {
        // Status posts are no chat; wa.db never lists them either.
        if (listed[chat.key] || chat.key == "status@broadcast")
            continue;
        listed[chat.key] = true;
        if (!table.exists())
            table.create(static_cast<int>(chats.size()) + 1);
        ContactEntry& entry = table.appendRow();
        entry.jid = chat.key;
        entry.displayName = JidToNumber(chat.key);
        entry.picturePath = "cache/Profile Pictures/" + JidToNumber(chat.key) + ".jpg";
    }
    namedByContacts.resize(static_cast<std::size_t>(table.count()), false);

    const int count = table.count();
    for (int i = 0; i < count; ++i) {
        ContactEntry& entry = table.row(i);
        if (!namedByContacts[static_cast<std::size_t>(i)]) {
            const auto subject = subjectByKey.find(entry.jid);
            if (subject != subjectByKey.end())
                entry.displayName = Utf8ToAnsi(subject->second);
        }
        const auto figures = byKey.find(entry.jid);
        if (figures != byKey.end()) {
            entry.messageCount = figures->second.messageCount;
            entry.unsupportedMessages = figures->second.unsupported;
            entry.lastMessageTime =
                figures->second.anyTime ? std::to_string(figures->second.largest) : std::string();
        } else {
            entry.messageCount = 0;
            entry.lastMessageTime.clear();
        }
        if (i % 50 == 25)
            reportPercent(static_cast<double>(i) / count * 20 + 10);
    }
}

RenderOutcome appendModernChat(const Database& messageDb, const std::string& jid, std::string_view shownName,
                               const MessageTimeFormatter& times, ChatPageBuffer& out,
                               AndroidMediaWriter* media) {
    std::vector<std::int64_t> ids;
    for (const Chat& chat : readChats(messageDb)) {
        if (chat.key == jid)
            ids.push_back(chat.id);
    }
    if (ids.empty())
        return {};
    if (media != nullptr)
        media->loadChatFiles(ids);
    const ModernChatExtras extras(messageDb, ids);
    Statement messages(messageDb, senderQuery(hasJidMap(messageDb), ids.size(), hasFlags(messageDb)));
    for (std::size_t i = 0; i < ids.size(); ++i)
        messages.bind(static_cast<int>(i) + 1, ids[i]);
    return appendModernMessages(messages, messageDb, shownName, times, out, media, jid, extras);
}

RenderOutcome appendAndroidMessages(Statement& messages, const Database& messageDb,
                                    std::string_view shownName, const MessageTimeFormatter& times,
                                    ChatPageBuffer& out, AndroidMediaWriter* media, std::string_view jid) {
    AndroidSenderLines senders(shownName, times);
    std::string& page = out.writable();
    while (messages.step()) {
        const char* kind = messages.text(0);
        const char* fromMeText = messages.text(1);
        const bool fromMe = fromMeText != nullptr && fromMeText[0] != '0';
        senders.append(page, fromMe, messages.text(4), messages.text(2));
        if (media == nullptr || !media->append(page, messages, jid, fromMe))
            appendAndroidBody(page, kind != nullptr ? kind : "0", messages.text(3));
        out.handOverIfLarge();
    }
    return messages.failed() ? unreadable(messageDb.lastError()) : RenderOutcome{};
}

AndroidSenderLines::AndroidSenderLines(std::string_view shownName, const MessageTimeFormatter& times)
    : m_name(escapeText(shownName)), m_times(times) {}

void AndroidSenderLines::append(std::string& page, bool fromMe, const char* member, const char* timestamp) {
    std::string_view sender = m_name;
    if (fromMe) {
        sender = "Me";
    } else if (member != nullptr && *member != '\0') {
        // A received group message names the member who wrote it.
        m_sender.clear();
        appendEscapedText(m_sender, JidToNumber(member));
        sender = m_sender;
    }
    m_time.clear();
    m_times.append(m_time, timestamp != nullptr ? timestamp : "0");
    appendSenderLine(page, sender, m_time);
}

void appendAndroidBody(std::string& page, std::string_view kind, const char* text) {
    if (kind == "1") {
        appendBody(page, BodyKind::ImageMarker);
    } else if (kind == "2") {
        appendBody(page, BodyKind::AudioMarker);
    } else if (kind == "3") {
        appendBody(page, BodyKind::VideoMarker);
    } else if (kind == "8") {
        appendBody(page, BodyKind::CallMarker);
    } else {
        appendTextBody(page, text != nullptr ? text : "");
    }
}

}  // namespace talvio
