// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "android_weixin.h"

#include "sources/address_book.h"
#include "sources/android_modern.h"
#include "sources/android_texts.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/message_time.h"
#include "sources/program_state.h"
#include "sources/text_convert.h"
#include "sources/vcard.h"

#include <sqlite3.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <unordered_map>

namespace talvio {
namespace {

constexpr std::string_view kContactsQuery =
    "SELECT jid, display_name, wa_name, (SELECT count(1) FROM wa_contacts) as c FROM wa_contacts;";
constexpr std::string_view kStatisticsQuery =
    "SELECT MAX(timestamp), COUNT(1) FROM messages WHERE key_remote_jid=?;";
// Every message's jid and time in one pass over the table, in storage order: reading the rows
// where they lie is several times faster than walking an index and fetching each row from it.
constexpr std::string_view kAllTimesQuery = "SELECT key_remote_jid, timestamp FROM messages NOT INDEXED;";
// The chats of a legacy database with the group subjects, for folders that list every chat.
constexpr std::string_view kChatListQuery = "SELECT key_remote_jid, subject FROM chat_list ORDER BY _id;";
// Messages of one second keep the order they were stored in (_id): SQLite's sort alone leaves
// their order open, and search names a message by its place on the page.
constexpr std::string_view kMessageQuery =
    "SELECT media_wa_type, key_from_me, timestamp, data, remote_resource, 'r' as f FROM messages "
    "WHERE key_remote_jid=? order by timestamp, _id;";

// The legacy chat query with the media columns after its own.
std::string legacyMediaQuery() {
    return "SELECT media_wa_type, key_from_me, timestamp, data, remote_resource" +
           std::string(androidMediaColumns(true)) +
           " FROM messages WHERE key_remote_jid=? order by timestamp, _id;";
}

// One jid's figures while the pass runs. Times are integers in every real database; a time of
// another type (text, real, blob) has SQLite's own ordering for MAX, so such a jid is asked
// about on its own instead.
struct Statistics {
    std::int64_t largest = 0;
    bool anyTime = false;
    bool otherType = false;
    std::int32_t messageCount = 0;
};

std::string textOrEmpty(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

void reportStatisticsProgress(int i, int count) {
    if (i % 50 == 25)
        reportPercent(static_cast<double>(i) / count * 20 + 10);
}

void fillContactRow(ContactTable& table, const Statement& row) {
    if (!table.exists()) {
        const char* c = row.text(3);
        table.create(std::atoi(c != nullptr ? c : "0") + 1);
    }
    ReportProgress();
    ContactEntry& entry = table.appendRow();
    entry.jid = textOrEmpty(row.text(0));
    const char* displayName = row.text(1);
    const char* waName = row.text(2);
    if (displayName != nullptr && *displayName != '\0') {
        entry.displayName = Utf8ToAnsi(displayName);
    } else if (waName != nullptr && *waName != '\0') {
        entry.displayName = Utf8ToAnsi(waName);
    } else {
        entry.displayName = JidToNumber(entry.jid);
    }
    entry.picturePath = "cache/Profile Pictures/" + JidToNumber(entry.jid) + ".jpg";
}

}  // namespace

void CAndroidWeiXin::LoadContacts(ContactTable& table) {
    table.destroy();
    Database database;
    const bool contactsOpened = openContactDatabase(m_folder, database) == 0;
    if (contactsOpened) {
        Statement contacts(database, kContactsQuery);
        while (contacts.step())
            fillContactRow(table, contacts);
    }
    // Which rows took their name from wa.db; the others may take a group's subject.
    std::vector<bool> named;
    for (const ContactEntry& entry : table.rows())
        named.push_back(entry.displayName != JidToNumber(entry.jid));
    if (!named.empty())
        named[0] = true;

    Database messages;
    const bool messagesOpened = openMessageDatabase(m_folder, messages) == 0;
    if (messagesOpened && hasModernMessages(messages)) {
        readModernStatistics(messages, table, named);
    } else {
        if (messagesOpened && m_folder.listsEveryChat)
            addLegacyChats(table, messages);
        if ((contactsOpened || m_folder.listsEveryChat) && table.count() >= 1)
            readStatistics(table, messagesOpened ? &messages : nullptr);
    }
    if (table.count() >= 2) {
        const int count = table.count();
        SortContactsByLastTime(table, [count](int p) {
            if (p % 50 == 25)
                reportPercent(static_cast<double>(p) / count * 20 + 30);
        });
    }  // Checked when it was chosen; a file gone since names nothing.
    if (!m_folder.addressBookPath.empty() && table.exists())
        nameRowsFromAddressBook(table, loadVCardFile(m_folder.addressBookPath).cards);
}

// Chats that wa.db does not list join the table after its rows, a group by its subject.
void CAndroidWeiXin::addLegacyChats(ContactTable& table, const Database& messages) {
    std::unordered_map<std::string, bool> listed;
    for (const ContactEntry& entry : table.rows())
        listed[entry.jid] = true;
    Statement chats(messages, kChatListQuery);
    while (chats.step()) {
        const std::string jid = textOrEmpty(chats.text(0));
        if (jid.empty() || listed[jid] || jid == "status@broadcast" || jid == "-1")
            continue;
        listed[jid] = true;
        if (!table.exists())
            table.create(1);
        ContactEntry& entry = table.appendRow();
        entry.jid = jid;
        const char* subject = chats.text(1);
        entry.displayName = subject != nullptr && *subject != '\0' ? Utf8ToAnsi(subject) : JidToNumber(jid);
        entry.picturePath = "cache/Profile Pictures/" + JidToNumber(jid) + ".jpg";
    }
}

// One pass over the messages gives every jid its figures; a row's figures are exactly what the
// per-jid aggregate would give. Should the pass fail part-way (a damaged database), each row asks
// on its own, so that every row that can be read still gets its figures.
void CAndroidWeiXin::readStatistics(ContactTable& table, const Database* opened) {
    const int count = table.count();
    if (opened == nullptr) {
        for (int i = 0; i < count; ++i)
            reportStatisticsProgress(i, count);
        return;
    }
    const Database& messages = *opened;
    std::unordered_map<std::string, Statistics> byJid;
    std::string key;
    Statement all(messages, kAllTimesQuery);
    while (all.step()) {
        // Only a text key can equal a jid text.
        if (sqlite3_column_type(all.handle(), 0) != SQLITE_TEXT)
            continue;
        key.assign(all.textView(0));
        Statistics& s = byJid[key];
        ++s.messageCount;
        switch (sqlite3_column_type(all.handle(), 1)) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER: {
                const std::int64_t t = all.int64(1);
                if (!s.anyTime || t > s.largest)
                    s.largest = t;
                s.anyTime = true;
                break;
            }
            default:
                s.otherType = true;
        }
    }
    const bool complete = all.ok() && all.result() == SQLITE_DONE;
    Statement single(messages, kStatisticsQuery);
    for (int i = 0; i < count; ++i) {
        ContactEntry& entry = table.row(i);
        const auto found = complete ? byJid.find(entry.jid) : byJid.end();
        if (complete && found == byJid.end()) {
            entry.lastMessageTime.clear();
            entry.messageCount = 0;
        } else if (complete && !found->second.otherType) {
            entry.lastMessageTime =
                found->second.anyTime ? std::to_string(found->second.largest) : std::string();
            entry.messageCount = found->second.messageCount;
        } else if (single.ok()) {
            single.reset();
            single.bind(1, entry.jid);
            if (single.step()) {
                entry.lastMessageTime = textOrEmpty(single.text(0));
                entry.messageCount = std::atoi(single.text(1));
            }
        }
        reportStatisticsProgress(i, count);
    }
}

AndroidMediaLocator& CAndroidWeiXin::mediaLocator() {
    if (!m_mediaLocator || m_locatorFolder != m_folder.resourceFolder) {
        m_mediaLocator = std::make_unique<AndroidMediaLocator>(m_folder.resourceFolder);
        m_locatorFolder = m_folder.resourceFolder;
    }
    return *m_mediaLocator;
}

RenderOutcome CAndroidWeiXin::RenderChat(const ChatRequest& request) {
    startPage(request);
    RenderOutcome outcome;
    Database database;
    if (const int rc = openMessageDatabase(m_folder, database); rc != 0) {
        outcome = unreadableFile(rc);
    } else {
        const MessageTimeFormatter times(m_folder.kind, m_folder.timeZoneBias);
        const bool modern = hasModernMessages(database);
        // Without a media folder the pages stay as they always were: markers, no media columns.
        std::optional<AndroidMediaWriter> media;
        if (!m_folder.resourceFolder.empty())
            media.emplace(m_folder, mediaLocator(), database, !modern, request.media);
        AndroidMediaWriter* writer = media ? &*media : nullptr;
        if (modern) {
            outcome =
                appendModernChat(database, request.jid, request.shownName, times, *request.page, writer);
        } else {
            Statement messages(database, writer != nullptr ? legacyMediaQuery() : std::string(kMessageQuery));
            messages.bind(1, request.jid);
            outcome = appendAndroidMessages(messages, database, request.shownName, times, *request.page,
                                            writer, request.jid);
        }
    }
    endPage(request, outcome);
    return outcome;
}

bool CAndroidWeiXin::ReadMessageTexts(std::string_view chat, const MessageTextSink& sink,
                                      std::string& reason) {
    Database database;
    if (const int rc = openMessageDatabase(m_folder, database); rc != 0) {
        reason = unreadableFile(rc).reason;
        return false;
    }
    return readAndroidMessageTexts(database, m_folder, chat, sink, reason);
}

}  // namespace talvio
