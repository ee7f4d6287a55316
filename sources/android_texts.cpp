// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "sources/android_texts.h"

#include "sources/android_modern.h"
#include "sources/modern_chat_extras.h"
#include "sources/page_order.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <thread>
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

// The message kind as the page compares it, as text ("1"). Legacy tables keep it as text, modern
// ones as an integer, which is read without making SQLite turn every row's integer into text.
int kindOf(const Statement& row, int column) {
    switch (sqlite3_column_type(row.handle(), column)) {
        case SQLITE_INTEGER:
            return static_cast<int>(std::clamp<std::int64_t>(row.int64(column), -1, 1000));
        case SQLITE_TEXT: {
            const std::string_view text = row.textView(column);
            if (text.empty() || text.size() > 3 || (text.size() > 1 && text[0] == '0'))
                return -1;
            int kind = 0;
            for (const char c : text) {
                if (c < '0' || c > '9')
                    return -1;
                kind = kind * 10 + (c - '0');
            }
            return kind;
        }
        default:
            return 0;  // NULL is shown as kind "0"
    }
}

bool isMarkerKind(int kind) {
    return kind == 1 || kind == 2 || kind == 3 || kind == 8;
}

// The media types whose page block shows the caption below the file, once the media folder is known.
bool showsCaption(int kind) {
    return kind == 1 || kind == 2 || kind == 3 || kind == 9 || kind == 13 || kind == 20;
}

// As the page has it: from me unless the value is missing or its text starts with "0".
bool fromMeOf(const Statement& row, int column) {
    switch (sqlite3_column_type(row.handle(), column)) {
        case SQLITE_NULL:
            return false;
        case SQLITE_INTEGER:
            return row.int64(column) != 0;
        default: {
            const char* fromMe = row.text(column);
            return fromMe != nullptr && fromMe[0] != '0';
        }
    }
}

// What the page shows of a message as text: the caption of a media message when media are shown,
// nothing for a marker, otherwise the text.
std::string_view shownText(int kind, bool withMedia, const Statement& row, int textColumn,
                           std::string_view caption) {
    if (withMedia && showsCaption(kind))
        return caption;
    if (isMarkerKind(kind))
        return {};
    return row.textView(textColumn);
}

bool rowsRead(const Statement& rows, const Database& db, std::string& reason) {
    if (rows.failed() || !rows.ok()) {
        reason = db.lastError();
        return false;
    }
    return true;
}

bool handOut(PageOrderCollector& collected, const MessageTextSink& sink, std::string& reason) {
    if (!collected.handOut(sink)) {
        reason = "The reading was stopped.";
        return false;
    }
    return true;
}

// Below this many rows one pass on one connection is quick enough.
constexpr std::int64_t kSplitRows = 100'000;

// Reads every row of the table, by rowid range, in two halves at once on two connections: the pass
// over the messages is most of the time search needs before its first answer, and it is SQLite's
// decoding of rows, not the disk, that takes it. The halves join in rowid order.
template <typename ReadRange>
bool readAllRows(const PhoneFolder& folder, const Database& db, std::string_view table,
                 const ReadRange& readRange, PageOrderCollector& collected, std::string& reason) {
    std::int64_t low = 0;
    std::int64_t high = -1;
    {
        Statement bounds(db, "SELECT min(rowid), max(rowid) FROM " + std::string(table) + ";");
        if (!bounds.step())
            return rowsRead(bounds, db, reason);
        if (bounds.isNull(0))
            return true;
        low = bounds.int64(0);
        high = bounds.int64(1);
    }
    if (high - low < kSplitRows)
        return readRange(db, low, high, collected, reason);
    const std::int64_t middle = low + (high - low) / 2;
    PageOrderCollector upper;
    std::string upperReason;
    bool upperRead = false;
    std::thread worker([&] {
        Database second;
        if (const int rc = openMessageDatabase(folder, second); rc != 0) {
            upperReason = sqlite3_errstr(rc);
            return;
        }
        upperRead = readRange(second, middle + 1, high, upper, upperReason);
    });
    const bool lowerRead = readRange(db, low, middle, collected, reason);
    worker.join();
    if (!lowerRead)
        return false;
    if (!upperRead) {
        reason = upperReason;
        return false;
    }
    collected.append(std::move(upper));
    return true;
}

class LegacyRows {
public:
    explicit LegacyRows(bool withMedia) : m_withMedia(withMedia) {}

    // The rows of one chat (chat not empty) or of a rowid range.
    bool read(const Database& db, std::string_view chat, std::int64_t low, std::int64_t high,
              PageOrderCollector& collected, std::string& reason) const {
        std::string sql = "SELECT key_remote_jid, media_wa_type, key_from_me, timestamp, data, _id";
        sql += m_withMedia ? ", media_caption" : "";
        // In storage order: reading rows where they lie is much faster than walking an index.
        sql += chat.empty() ? " FROM messages NOT INDEXED WHERE rowid BETWEEN ?1 AND ?2;"
                            : " FROM messages WHERE key_remote_jid = ?1;";
        Statement rows(db, sql);
        if (chat.empty()) {
            rows.bind(1, low);
            rows.bind(2, high);
        } else {
            rows.bind(1, chat);
        }
        while (rows.step()) {
            if (sqlite3_column_type(rows.handle(), 0) != SQLITE_TEXT)
                continue;
            const std::string_view jid = rows.textView(0);
            if (listedNowhere(jid))
                continue;
            const int kind = kindOf(rows, 1);
            const std::string_view caption = m_withMedia ? rows.textView(6) : std::string_view();
            collected.add(collected.chat(jid), SqliteOrderKey::of(rows.handle(), 3), rows.int64(5),
                          secondsOf(rows.int64(3)), fromMeOf(rows, 2),
                          shownText(kind, m_withMedia, rows, 4, caption));
        }
        return rowsRead(rows, db, reason);
    }

private:
    bool m_withMedia;
};

class ModernRows {
public:
    ModernRows(const Database& db, bool withMedia, std::string_view chat) : m_withMedia(withMedia) {
        for (auto& [id, key] : modernChatKeys(db)) {
            if (!listedNowhere(key) && (chat.empty() || key == chat))
                m_keyOfChat.emplace(id, std::move(key));
        }
        if (withMedia) {
            Statement media(db,
                            "SELECT message_row_id, media_caption FROM message_media "
                            "WHERE media_caption IS NOT NULL AND media_caption <> '';");
            while (media.step())
                m_captions.emplace(media.int64(0), std::string(media.textView(1)));
        }
        // Replies, places, contact cards and polls are found by the words the page shows of them.
        std::vector<std::int64_t> chats;
        for (const auto& [id, key] : m_keyOfChat)
            chats.push_back(id);
        std::sort(chats.begin(), chats.end());
        m_extras = std::make_unique<ModernChatExtras>(db, chats);
    }

    bool read(const Database& db, std::int64_t low, std::int64_t high, PageOrderCollector& collected,
              std::string& reason) const {
        Statement rows(db,
                       "SELECT chat_row_id, message_type, from_me, timestamp, text_data, _id "
                       "FROM message NOT INDEXED WHERE rowid BETWEEN ?1 AND ?2;");
        rows.bind(1, low);
        rows.bind(2, high);
        std::int64_t lastChat = 0;
        const std::string* lastKey = nullptr;
        std::uint32_t number = 0;
        std::string withExtras;
        while (rows.step()) {
            const std::int64_t chatId = rows.int64(0);
            if (lastKey == nullptr || chatId != lastChat) {
                const auto found = m_keyOfChat.find(chatId);
                if (found == m_keyOfChat.end())
                    continue;
                lastChat = chatId;
                lastKey = &found->second;
                number = collected.chat(*lastKey);
            }
            const int kind = kindOf(rows, 1);
            std::string_view caption;
            if (m_withMedia && showsCaption(kind)) {
                const auto found = m_captions.find(rows.int64(5));
                if (found != m_captions.end())
                    caption = found->second;
            }
            std::string_view text = shownText(kind, m_withMedia, rows, 4, caption);
            const std::int64_t row = rows.int64(5);
            if (m_extras->find(row) != nullptr) {
                withExtras.assign(text);
                m_extras->appendSearchText(withExtras, row);
                text = withExtras;
            }
            collected.add(number, SqliteOrderKey::of(rows.handle(), 3), row, secondsOf(rows.int64(3)),
                          fromMeOf(rows, 2), text);
        }
        return rowsRead(rows, db, reason);
    }

private:
    bool m_withMedia;
    std::unique_ptr<ModernChatExtras> m_extras;
    std::unordered_map<std::int64_t, std::string> m_keyOfChat;
    std::unordered_map<std::int64_t, std::string> m_captions;
};

}  // namespace

bool readAndroidMessageTexts(const Database& messageDb, const PhoneFolder& folder, std::string_view chat,
                             const MessageTextSink& sink, std::string& reason) {
    const bool withMedia = !folder.resourceFolder.empty();
    PageOrderCollector collected;
    bool read = false;
    if (hasModernMessages(messageDb)) {
        const ModernRows rows(messageDb, withMedia, chat);
        read = readAllRows(
            folder, messageDb, "message",
            [&](const Database& db, std::int64_t low, std::int64_t high, PageOrderCollector& out,
                std::string& why) { return rows.read(db, low, high, out, why); },
            collected, reason);
    } else {
        const LegacyRows rows(withMedia);
        if (!chat.empty()) {
            read = rows.read(messageDb, chat, 0, 0, collected, reason);
        } else {
            read = readAllRows(
                folder, messageDb, "messages",
                [&](const Database& db, std::int64_t low, std::int64_t high, PageOrderCollector& out,
                    std::string& why) { return rows.read(db, {}, low, high, out, why); },
                collected, reason);
        }
    }
    return read && handOut(collected, sink, reason);
}

}  // namespace talvio
