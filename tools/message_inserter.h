// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sources/database.h"
#include "tools/failure.h"

namespace talvio::fixture {

// One row of the legacy "messages" table. The defaults are those of a received text message
// as WhatsApp stored it: text columns of the media part NULL, numeric ones 0, device receipt
// times unknown (NULL).
struct MessageRow {
    std::string keyRemoteJid;
    std::int64_t keyFromMe = 0;
    std::string keyId;
    std::int64_t status = 0;
    std::int64_t needsPush = 0;
    std::optional<std::string> data;
    std::int64_t timestamp = 0;
    std::optional<std::string> mediaUrl;
    std::optional<std::string> mediaMimeType;
    int mediaWaType = 0;
    std::int64_t mediaSize = 0;
    std::optional<std::string> mediaName;
    std::optional<std::string> mediaCaption;
    std::optional<std::string> mediaHash;
    std::int64_t mediaDuration = 0;
    std::int64_t origin = 0;
    double latitude = 0;
    double longitude = 0;
    std::optional<std::string> remoteResource;
    std::int64_t receivedTimestamp = 0;
    std::int64_t sendTimestamp = -1;
    std::int64_t receiptServerTimestamp = -1;
    std::optional<std::int64_t> receiptDeviceTimestamp;
    std::optional<std::int64_t> readDeviceTimestamp;
    std::optional<std::int64_t> playedDeviceTimestamp;
    std::int64_t recipientCount = 0;
    std::optional<std::string> participantHash;
    std::int64_t starred = 0;
    std::int64_t quotedRowId = 0;
    std::optional<std::string> mentionedJids;
    std::int64_t editVersion = 0;
    std::optional<std::string> mediaEncHash;
    std::int64_t forwarded = 0;
    std::int64_t previewType = 0;
    std::int64_t sendCount = 0;
};

// Inserts MessageRows through one prepared statement that names every column.
class MessageInserter {
public:
    explicit MessageInserter(const Database& database);

    Failure prepareFailure() const;

    // Returns the new row's _id, or 0 when the insert failed.
    std::int64_t insert(const MessageRow& row);

    // Copies a stored message into messages_quotes, as WhatsApp does for the message a reply
    // quotes; returns the copy's _id (the value of the reply's quoted_row_id), 0 on failure.
    std::int64_t copyToQuotes(std::int64_t messageId);

private:
    const Database& m_database;
    Statement m_insert;
    Statement m_quote;
};

}  // namespace talvio::fixture
