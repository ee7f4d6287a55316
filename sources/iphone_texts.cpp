// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "sources/iphone_texts.h"

#include "sources/page_order.h"

#include <sqlite3.h>

#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace talvio {
namespace {

// Core Data counts seconds from 2001-01-01.
constexpr std::int64_t kAppleEpochOffset = 978'307'200;

std::int64_t unixSecondsOf(const Statement& row, int column) {
    if (row.isNull(column))
        return 0;
    const double date = row.real(column);
    return std::isfinite(date) && std::abs(date) < 1e15
               ? static_cast<std::int64_t>(std::floor(date)) + kAppleEpochOffset
               : 0;
}

}  // namespace

bool readIphoneMessageTexts(const Database& messageDb, std::string_view chat, const MessageTextSink& sink,
                            std::string& reason) {
    // Only the chats of the list can be opened.
    std::unordered_set<std::string> chats;
    {
        Statement sessions(messageDb, "SELECT DISTINCT ZCONTACTJID FROM ZWACHATSESSION;");
        while (sessions.step()) {
            if (!sessions.isNull(0) && (chat.empty() || sessions.textView(0) == chat))
                chats.emplace(sessions.textView(0));
        }
    }
    std::unordered_map<std::int64_t, std::uint32_t> mediaRows;
    {
        Statement media(messageDb,
                        "SELECT ZMESSAGE, count(1) FROM ZWAMEDIAITEM WHERE ZMESSAGE IS NOT NULL "
                        "GROUP BY ZMESSAGE HAVING count(1) > 1;");
        while (media.step())
            mediaRows.emplace(media.int64(0), static_cast<std::uint32_t>(media.int64(1)));
    }
    Statement rows(messageDb,
                   "SELECT Z_PK, ZISFROMME, ZMESSAGETYPE, ZMESSAGEDATE, ZTEXT, ZFROMJID, ZTOJID "
                   "FROM ZWAMESSAGE NOT INDEXED;");
    PageOrderCollector collected;
    std::string key;
    while (rows.step()) {
        const char* fromMe = rows.text(1);
        if (fromMe == nullptr)
            continue;  // the page shows no block for it
        const char* kindText = rows.text(2);
        const std::string_view kind = kindText != nullptr ? kindText : "0";
        const bool media = kind == "1" || kind == "2" || kind == "3";
        const std::string_view text = media ? std::string_view() : rows.textView(4);
        const std::int64_t id = rows.int64(0);
        const auto copies = mediaRows.find(id);
        const std::uint32_t count = copies != mediaRows.end() ? copies->second : 1;
        const std::int64_t time = unixSecondsOf(rows, 3);
        const SqliteOrderKey order = SqliteOrderKey::of(rows.handle(), 3);
        const std::string_view from = rows.isNull(5) ? std::string_view() : rows.textView(5);
        const std::string_view to = rows.isNull(6) ? std::string_view() : rows.textView(6);
        auto addTo = [&](std::string_view jid) {
            key.assign(jid);
            if (!jid.empty() && chats.contains(key))
                collected.add(collected.chat(jid), order, id, time, std::string_view(fromMe) != "0", text,
                              count);
        };
        addTo(from);
        if (to != from)
            addTo(to);
    }
    if (rows.failed() || !rows.ok()) {
        reason = messageDb.lastError();
        return false;
    }
    if (!collected.handOut(sink)) {
        reason = "The reading was stopped.";
        return false;
    }
    return true;
}

}  // namespace talvio
