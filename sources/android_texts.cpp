// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "sources/android_texts.h"

#include "sources/android_modern.h"
#include "sources/page_order.h"

#include <sqlite3.h>

#include <unordered_map>

namespace talvio {
namespace {

// Rows of these chats never show as a chat of the list.
bool listedNowhere(std::string_view jid) {
    return jid == "-1" || jid == "status@broadcast";
}

// Milliseconds, as Android keeps them, to seconds; a value too short for milliseconds is seconds.
std::int64_t secondsOf(std::int64_t stored) {
    return stored >= 1'000'000'000'000LL ? stored / 1000 : stored;
}

bool isMarkerKind(std::string_view kind) {
    return kind == "1" || kind == "2" || kind == "3" || kind == "8";
}

// The media types whose page block shows the caption below the file, once the media folder is known.
bool showsCaption(std::string_view kind) {
    return kind == "1" || kind == "2" || kind == "3" || kind == "9" || kind == "13" || kind == "20";
}

bool fromMeOf(const Statement& row, int column) {
    const char* fromMe = row.text(column);
    return fromMe != nullptr && fromMe[0] != '0';
}

// What the page shows of a message as text: the caption of a media message when media are shown,
// nothing for a marker, otherwise the text.
std::string_view shownText(std::string_view kind, bool withMedia, const Statement& row, int textColumn,
                           std::string_view caption) {
    if (withMedia && showsCaption(kind))
        return caption;
    if (isMarkerKind(kind))
        return {};
    return row.textView(textColumn);
}

bool finish(const Statement& rows, const Database& db, PageOrderCollector& collected,
            const MessageTextSink& sink, std::string& reason) {
    if (rows.failed() || !rows.ok()) {
        reason = db.lastError();
        return false;
    }
    if (!collected.handOut(sink)) {
        reason = "The reading was stopped.";
        return false;
    }
    return true;
}

bool readLegacy(const Database& db, bool withMedia, std::string_view chat, const MessageTextSink& sink,
                std::string& reason) {
    std::string sql = "SELECT key_remote_jid, media_wa_type, key_from_me, timestamp, data, _id";
    sql += withMedia ? ", media_caption" : "";
    // In storage order: reading rows where they lie is much faster than walking an index.
    sql += chat.empty() ? " FROM messages NOT INDEXED;" : " FROM messages WHERE key_remote_jid = ?1;";
    Statement rows(db, sql);
    if (!chat.empty())
        rows.bind(1, chat);
    PageOrderCollector collected;
    while (rows.step()) {
        if (sqlite3_column_type(rows.handle(), 0) != SQLITE_TEXT)
            continue;
        const std::string_view jid = rows.textView(0);
        if (listedNowhere(jid))
            continue;
        const char* kindText = rows.text(1);
        const std::string_view kind = kindText != nullptr ? kindText : "0";
        const std::string_view caption = withMedia ? rows.textView(6) : std::string_view();
        collected.add(collected.chat(jid), SqliteOrderKey::of(rows.handle(), 3), rows.int64(5),
                      secondsOf(rows.int64(3)), fromMeOf(rows, 2),
                      shownText(kind, withMedia, rows, 4, caption));
    }
    return finish(rows, db, collected, sink, reason);
}

bool readModern(const Database& db, bool withMedia, std::string_view chat, const MessageTextSink& sink,
                std::string& reason) {
    std::unordered_map<std::int64_t, std::string> keyOfChat;
    for (auto& [id, key] : modernChatKeys(db)) {
        if (!listedNowhere(key) && (chat.empty() || key == chat))
            keyOfChat.emplace(id, std::move(key));
    }
    std::unordered_map<std::int64_t, std::string> captions;
    if (withMedia) {
        Statement media(db,
                        "SELECT message_row_id, media_caption FROM message_media "
                        "WHERE media_caption IS NOT NULL AND media_caption <> '';");
        while (media.step())
            captions.emplace(media.int64(0), std::string(media.textView(1)));
    }
    Statement rows(db,
                   "SELECT chat_row_id, message_type, from_me, timestamp, text_data, _id "
                   "FROM message NOT INDEXED;");
    PageOrderCollector collected;
    std::int64_t lastChat = 0;
    const std::string* lastKey = nullptr;
    std::uint32_t number = 0;
    while (rows.step()) {
        const std::int64_t chatId = rows.int64(0);
        if (lastKey == nullptr || chatId != lastChat) {
            const auto found = keyOfChat.find(chatId);
            if (found == keyOfChat.end())
                continue;
            lastChat = chatId;
            lastKey = &found->second;
            number = collected.chat(*lastKey);
        }
        const char* kindText = rows.text(1);
        const std::string_view kind = kindText != nullptr ? kindText : "0";
        std::string_view caption;
        if (withMedia && showsCaption(kind)) {
            const auto found = captions.find(rows.int64(5));
            if (found != captions.end())
                caption = found->second;
        }
        collected.add(number, SqliteOrderKey::of(rows.handle(), 3), rows.int64(5), secondsOf(rows.int64(3)),
                      fromMeOf(rows, 2), shownText(kind, withMedia, rows, 4, caption));
    }
    return finish(rows, db, collected, sink, reason);
}

}  // namespace

bool readAndroidMessageTexts(const Database& messageDb, const PhoneFolder& folder, std::string_view chat,
                             const MessageTextSink& sink, std::string& reason) {
    const bool withMedia = !folder.resourceFolder.empty();
    return hasModernMessages(messageDb) ? readModern(messageDb, withMedia, chat, sink, reason)
                                        : readLegacy(messageDb, withMedia, chat, sink, reason);
}

}  // namespace talvio
