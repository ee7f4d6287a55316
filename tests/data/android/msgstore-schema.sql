-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- databases/msgstore.db as WhatsApp for Android laid it out before the move to the
-- "message"/"chat"/"jid" tables: every column of "messages" in its real order, with its
-- real indexes, so that query plans, NULL handling and file sizes match phone copies.
-- talvio-fixture runs this before a folder's msgstore.sql, which then holds only rows.

CREATE TABLE android_metadata (locale TEXT);
INSERT INTO android_metadata VALUES ('en_US');

CREATE TABLE messages (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    key_remote_jid TEXT NOT NULL,
    key_from_me INTEGER,
    key_id TEXT NOT NULL,
    status INTEGER,
    needs_push INTEGER,
    data TEXT,
    timestamp INTEGER,
    media_url TEXT,
    media_mime_type TEXT,
    media_wa_type TEXT,
    media_size INTEGER,
    media_name TEXT,
    media_caption TEXT,
    media_hash TEXT,
    media_duration INTEGER,
    origin INTEGER,
    latitude REAL,
    longitude REAL,
    thumb_image TEXT,
    remote_resource TEXT,
    received_timestamp INTEGER,
    send_timestamp INTEGER,
    receipt_server_timestamp INTEGER,
    receipt_device_timestamp INTEGER,
    read_device_timestamp INTEGER,
    played_device_timestamp INTEGER,
    raw_data BLOB,
    recipient_count INTEGER,
    participant_hash TEXT,
    starred INTEGER,
    quoted_row_id INTEGER,
    mentioned_jids TEXT,
    multicast_id TEXT,
    edit_version INTEGER,
    media_enc_hash TEXT,
    payment_transaction_id TEXT,
    forwarded INTEGER,
    preview_type INTEGER,
    send_count INTEGER,
    lookup_tables INTEGER,
    future_message_type INTEGER
);
CREATE UNIQUE INDEX messages_key_index ON messages (key_remote_jid, key_from_me, key_id);
CREATE INDEX messages_jid_id_index ON messages (key_remote_jid, _id);
CREATE INDEX media_type_jid_index ON messages (key_remote_jid, media_wa_type);
CREATE INDEX media_type_index ON messages (media_wa_type);
CREATE INDEX media_hash_index ON messages (media_hash);
CREATE INDEX starred_index ON messages (starred);

-- A reply keeps a frozen copy of the message it quotes here; messages.quoted_row_id points
-- at the copy, so the quote survives when the original is deleted.
CREATE TABLE messages_quotes (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    key_remote_jid TEXT NOT NULL,
    key_from_me INTEGER,
    key_id TEXT NOT NULL,
    status INTEGER,
    needs_push INTEGER,
    data TEXT,
    timestamp INTEGER,
    media_url TEXT,
    media_mime_type TEXT,
    media_wa_type TEXT,
    media_size INTEGER,
    media_name TEXT,
    media_caption TEXT,
    media_hash TEXT,
    media_duration INTEGER,
    origin INTEGER,
    latitude REAL,
    longitude REAL,
    thumb_image TEXT,
    remote_resource TEXT,
    received_timestamp INTEGER,
    send_timestamp INTEGER,
    receipt_server_timestamp INTEGER,
    receipt_device_timestamp INTEGER,
    read_device_timestamp INTEGER,
    played_device_timestamp INTEGER,
    raw_data BLOB,
    recipient_count INTEGER,
    participant_hash TEXT,
    starred INTEGER,
    quoted_row_id INTEGER,
    mentioned_jids TEXT,
    multicast_id TEXT,
    edit_version INTEGER,
    media_enc_hash TEXT,
    payment_transaction_id TEXT,
    forwarded INTEGER,
    preview_type INTEGER,
    send_count INTEGER,
    lookup_tables INTEGER,
    future_message_type INTEGER
);

CREATE TABLE chat_list (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    key_remote_jid TEXT UNIQUE,
    message_table_id INTEGER,
    subject TEXT,
    creation INTEGER,
    last_read_message_table_id INTEGER,
    last_read_receipt_sent_message_table_id INTEGER,
    archived INTEGER,
    sort_timestamp INTEGER,
    mod_tag INTEGER,
    gen REAL,
    my_messages INTEGER,
    plaintext_disabled BOOLEAN,
    last_message_table_id INTEGER,
    unseen_message_count INTEGER,
    unseen_missed_calls_count INTEGER,
    unseen_row_count INTEGER,
    vcard_ui_dismissed INTEGER,
    deleted_message_id INTEGER,
    deleted_starred_message_id INTEGER,
    deleted_message_categories TEXT,
    change_number_notified_message_id INTEGER,
    last_important_message_table_id INTEGER,
    show_group_description INTEGER,
    ephemeral_expiration INTEGER
);

CREATE TABLE message_thumbnails (
    thumbnail BLOB,
    timestamp DATETIME,
    key_remote_jid TEXT NOT NULL,
    key_from_me INTEGER,
    key_id TEXT NOT NULL
);
CREATE UNIQUE INDEX message_thumbnails_key_index ON message_thumbnails (key_remote_jid, key_from_me, key_id);

CREATE TABLE receipts (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    key_remote_jid TEXT NOT NULL,
    key_id TEXT NOT NULL,
    remote_resource TEXT,
    receipt_device_timestamp INTEGER,
    read_device_timestamp INTEGER,
    played_device_timestamp INTEGER
);
CREATE INDEX receipts_key_index ON receipts (key_remote_jid, key_id);

CREATE TABLE group_participants (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    gjid TEXT NOT NULL,
    jid TEXT NOT NULL,
    admin INTEGER,
    pending INTEGER,
    sent_sender_key INTEGER
);
CREATE UNIQUE INDEX group_participants_index ON group_participants (gjid, jid);

CREATE TABLE props (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    key TEXT UNIQUE,
    value TEXT
);
