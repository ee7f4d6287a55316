// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/message_inserter.h"

#include <sqlite3.h>

#include <string_view>

namespace talvio::fixture {

namespace {

// Every column but _id, in table order.
constexpr std::string_view kColumns =
    "key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, "
    "media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, "
    "longitude, thumb_image, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, "
    "receipt_device_timestamp, read_device_timestamp, played_device_timestamp, raw_data, recipient_count, "
    "participant_hash, starred, quoted_row_id, mentioned_jids, multicast_id, edit_version, media_enc_hash, "
    "payment_transaction_id, forwarded, preview_type, send_count, lookup_tables, future_message_type";
constexpr int kColumnCount = 41;

std::string insertSql() {
    std::string sql = "INSERT INTO messages (" + std::string(kColumns) + ") VALUES (";
    for (int i = 1; i <= kColumnCount; ++i) {
        sql += i == 1 ? "?" : ", ?";
    }
    return sql + ")";
}

std::string quoteSql() {
    const std::string columns(kColumns);
    return "INSERT INTO messages_quotes (" + columns + ") SELECT " + columns + " FROM messages WHERE _id = ?";
}

void bindOptional(Statement& statement, int index, const std::optional<std::string>& value) {
    if (value) {
        statement.bind(index, std::string_view(*value));
    } else {
        statement.bindNull(index);
    }
}

void bindOptional(Statement& statement, int index, const std::optional<std::int64_t>& value) {
    if (value) {
        statement.bind(index, *value);
    } else {
        statement.bindNull(index);
    }
}

}  // namespace

MessageInserter::MessageInserter(const Database& database)
    : m_database(database), m_insert(database, insertSql()), m_quote(database, quoteSql()) {}

Failure MessageInserter::prepareFailure() const {
    if (m_insert.ok() && m_quote.ok())
        return std::nullopt;
    return "cannot prepare the message insert: " + m_database.lastError();
}

std::int64_t MessageInserter::insert(const MessageRow& row) {
    Statement& s = m_insert;
    s.bind(1, std::string_view(row.keyRemoteJid));
    s.bind(2, row.keyFromMe);
    s.bind(3, std::string_view(row.keyId));
    s.bind(4, row.status);
    s.bind(5, row.needsPush);
    bindOptional(s, 6, row.data);
    s.bind(7, row.timestamp);
    bindOptional(s, 8, row.mediaUrl);
    bindOptional(s, 9, row.mediaMimeType);
    // The column is TEXT in real databases, and the viewer compares it as text.
    s.bind(10, std::string_view(std::to_string(row.mediaWaType)));
    s.bind(11, row.mediaSize);
    bindOptional(s, 12, row.mediaName);
    bindOptional(s, 13, row.mediaCaption);
    bindOptional(s, 14, row.mediaHash);
    s.bind(15, row.mediaDuration);
    s.bind(16, row.origin);
    s.bind(17, row.latitude);
    s.bind(18, row.longitude);
    s.bindNull(19);  // thumb_image: a serialised Java object nobody reads
    bindOptional(s, 20, row.remoteResource);
    s.bind(21, row.receivedTimestamp);
    s.bind(22, row.sendTimestamp);
    s.bind(23, row.receiptServerTimestamp);
    bindOptional(s, 24, row.receiptDeviceTimestamp);
    bindOptional(s, 25, row.readDeviceTimestamp);
    bindOptional(s, 26, row.playedDeviceTimestamp);
    s.bindNull(27);  // raw_data
    s.bind(28, row.recipientCount);
    bindOptional(s, 29, row.participantHash);
    s.bind(30, row.starred);
    s.bind(31, row.quotedRowId);
    bindOptional(s, 32, row.mentionedJids);
    s.bindNull(33);  // multicast_id
    s.bind(34, row.editVersion);
    bindOptional(s, 35, row.mediaEncHash);
    s.bindNull(36);  // payment_transaction_id
    s.bind(37, row.forwarded);
    s.bind(38, row.previewType);
    s.bind(39, row.sendCount);
    s.bind(40, std::int64_t{0});  // lookup_tables
    s.bind(41, std::int64_t{0});  // future_message_type
    s.step();
    const bool done = s.result() == SQLITE_DONE;
    s.reset();
    return done ? sqlite3_last_insert_rowid(m_database.handle()) : 0;
}

std::int64_t MessageInserter::copyToQuotes(std::int64_t messageId) {
    m_quote.bind(1, messageId);
    m_quote.step();
    const bool done = m_quote.result() == SQLITE_DONE && sqlite3_changes(m_database.handle()) == 1;
    m_quote.reset();
    return done ? sqlite3_last_insert_rowid(m_database.handle()) : 0;
}

}  // namespace talvio::fixture
