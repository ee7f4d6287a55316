// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iphone_weixin.h"

#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/iphone_page.h"
#include "sources/iphone_statistics.h"
#include "sources/iphone_texts.h"
#include "sources/program_state.h"
#include "sources/text_convert.h"

#include <cstdlib>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

namespace talvio {
namespace {

// A jid with several pictures comes once per picture; the rows are folded into one per jid (see
// LoadContacts). c counts the join and so is never below the number of rows delivered.
constexpr std::string_view kContactQuery =
    "SELECT DISTINCT ZWACHATSESSION.ZCONTACTJID, ZWACHATSESSION.ZPARTNERNAME, ZWAPROFILEPICTUREITEM.ZPATH, "
    "(select count(1) from ZWACHATSESSION LEFT JOIN ZWAPROFILEPICTUREITEM ON "
    "ZWACHATSESSION.ZCONTACTJID=ZWAPROFILEPICTUREITEM.ZJID) as c, ZWAPROFILEPICTUREITEM.ZREQUESTDATE FROM "
    "ZWACHATSESSION LEFT JOIN ZWAPROFILEPICTUREITEM ON "
    "ZWACHATSESSION.ZCONTACTJID=ZWAPROFILEPICTUREITEM.ZJID;";
// The same for a store whose picture table has no dates: the first picture of a jid stays.
constexpr std::string_view kUndatedContactQuery =
    "SELECT DISTINCT ZWACHATSESSION.ZCONTACTJID, ZWACHATSESSION.ZPARTNERNAME, ZWAPROFILEPICTUREITEM.ZPATH, "
    "(select count(1) from ZWACHATSESSION LEFT JOIN ZWAPROFILEPICTUREITEM ON "
    "ZWACHATSESSION.ZCONTACTJID=ZWAPROFILEPICTUREITEM.ZJID) as c FROM ZWACHATSESSION LEFT JOIN "
    "ZWAPROFILEPICTUREITEM ON ZWACHATSESSION.ZCONTACTJID=ZWAPROFILEPICTUREITEM.ZJID;";

constexpr int kProgressEvery = 50;
constexpr int kProgressAt = 25;

std::string textOrEmpty(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

// A decimal count column; a NULL or damaged one reads as 0, huge ones saturate.
int parseCount(const char* text) {
    if (text == nullptr)
        return 0;
    const long long value = std::strtoll(text, nullptr, 10);
    if (value < 0)
        return 0;
    return value > std::numeric_limits<int>::max() - 1 ? std::numeric_limits<int>::max() - 1
                                                       : static_cast<int>(value);
}

std::string picturePathOf(const Statement& row) {
    const char* path = row.text(2);
    return path != nullptr && *path != '\0' ? Utf8ToAnsi(path) + ".jpg" : std::string();
}

// One row per chat. A contact with several profile pictures used to be listed (and exported) once
// per picture; the row stays where the first came and shows the newest picture.
class ContactRows {
public:
    void add(ContactTable& table, const Statement& row) {
        const std::string jid = textOrEmpty(row.text(0));
        const bool dated = row.columnCount() > 4 && !row.isNull(4);
        const double date = dated ? row.real(4) : 0;
        if (const auto seen = m_rowOfJid.find(jid); seen != m_rowOfJid.end()) {
            Seen& first = seen->second;
            if (dated && (!first.dated || date > first.date)) {
                table.row(first.row).picturePath = picturePathOf(row);
                first.dated = true;
                first.date = date;
            }
            return;
        }
        const int total = parseCount(row.text(3));
        if (!table.exists())
            table.create(total + 1);
        const int count = table.count();
        if (count % kProgressEvery == kProgressAt && total > 0) {
            reportPercent(static_cast<double>(count - 1) / total * 10);
        }
        m_rowOfJid.emplace(jid, Seen{count, dated, date});
        ContactEntry& entry = table.appendRow();
        entry.jid = jid;
        if (const char* name = row.text(1))
            entry.displayName = Utf8ToAnsi(name);
        entry.picturePath = picturePathOf(row);
    }

private:
    struct Seen {
        int row = 0;
        bool dated = false;
        double date = 0;
    };
    std::unordered_map<std::string, Seen> m_rowOfJid;
};

}  // namespace

void CIphoneWeiXin::LoadContacts(ContactTable& table) {
    table.destroy();
    Database database;
    {
        const std::lock_guard lock(m_snapshotLock);
        m_snapshot.discard();
    }
    if (openStore(database) == 0) {
        Statement contacts(database, kContactQuery);
        if (!contacts.ok())
            contacts = Statement(database, kUndatedContactQuery);
        ContactRows rows;
        while (contacts.step())
            rows.add(table, contacts);
        if (table.count() >= 1)
            readStatistics(database, table);
        if (table.count() >= 2) {
            const int count = table.count();
            SortContactsByLastTime(table, [count](int p) {
                if (p % kProgressEvery == kProgressAt)
                    reportPercent(static_cast<double>(p) / count * 20 + 30);
            });
        }
    }
}

// One pass over ZWAMESSAGE gives every row the figures its own aggregate would give: real stores
// have no index on ZFROMJID or ZTOJID, so one aggregate per chat reads the whole table once per
// chat. When the pass cannot be made, each row asks on its own and keeps its initial figures if
// that fails too (the placeholder row keeps its "0").
void CIphoneWeiXin::readStatistics(const Database& database, ContactTable& table) {
    const int count = table.count();
    std::vector<std::string> jids;
    jids.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        jids.push_back(table.row(i).jid);

    std::unordered_map<std::string, ChatStatistics> byJid;
    const bool complete = readAllChatStatistics(database, jids, byJid);
    Statement single;
    if (!complete)
        single = Statement(database, kIphoneStatisticsQuery);
    for (int i = 0; i < count; ++i) {
        ContactEntry& entry = table.row(i);
        ChatStatistics figures;
        bool found = false;
        if (complete) {
            const auto it = byJid.find(entry.jid);
            found = it != byJid.end();
            if (found)
                figures = it->second;
        } else {
            found = readChatStatistics(single, entry.jid, figures);
        }
        if (found) {
            entry.lastMessageTime = std::move(figures.lastMessageTime);
            entry.messageCount = figures.messageCount;
        }
        if (i % kProgressEvery == kProgressAt)
            reportPercent(static_cast<double>(i) / count * 20 + 10);
    }
}

int CIphoneWeiXin::openStore(Database& database) {
    // A backup's store was read into memory with its log applied already.
    if (m_folder.heldMessageDb)
        return openMessageDatabase(m_folder, database);
    // Search reads from a worker thread while the view renders.
    const std::lock_guard lock(m_snapshotLock);
    return m_snapshot.open(m_folder.messageDbPath, database);
}

RenderOutcome CIphoneWeiXin::RenderChat(const ChatRequest& request) {
    startPage(request);
    RenderOutcome outcome;
    Database database;
    if (const int rc = openStore(database); rc != 0) {
        outcome = unreadableFile(rc);
    } else {
        IphoneMessageWriter writer(m_folder, request.media);
        std::string& page = request.page->writable();
        Statement messages(database, kIphoneChatQuery);
        messages.bind(1, request.jid);
        while (messages.step()) {
            writer.append(page, messages);
            request.page->handOverIfLarge();
        }
        if (messages.failed())
            outcome = unreadable(database.lastError());
    }
    endPage(request, outcome);
    return outcome;
}

bool CIphoneWeiXin::ReadMessageTexts(std::string_view chat, const MessageTextSink& sink,
                                     std::string& reason) {
    Database database;
    if (const int rc = openStore(database); rc != 0) {
        reason = unreadableFile(rc).reason;
        return false;
    }
    return readIphoneMessageTexts(database, chat, sink, reason);
}

}  // namespace talvio
