-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- databases/msgstore.db as WhatsApp for Android has laid it out since 2022: messages in
-- "message", chats in "chat", every jid once in "jid", and since 2025 "jid_map" from "@lid"
-- identifiers to phone jids. The legacy "messages" table is absent. Real indexes included, so
-- that query plans match phone copies. The tables shared with the legacy layout
-- (android_metadata, props) are not repeated here, so that a database holding both layouts can be
-- built from the two files.

CREATE TABLE jid (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    user TEXT NOT NULL,
    server TEXT NOT NULL,
    agent INTEGER,
    device INTEGER,
    type INTEGER,
    raw_string TEXT
);
CREATE UNIQUE INDEX jid_key_index ON jid (user, server, agent, device);
CREATE UNIQUE INDEX jid_raw_string_index ON jid (raw_string);

CREATE TABLE jid_map (
    lid_row_id INTEGER PRIMARY KEY NOT NULL,
    jid_row_id INTEGER NOT NULL,
    sort_id INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX jid_map_jid_row_id_index ON jid_map (jid_row_id);

CREATE TABLE chat (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    jid_row_id INTEGER UNIQUE,
    hidden INTEGER,
    subject TEXT,
    created_timestamp INTEGER,
    display_message_row_id INTEGER,
    last_message_row_id INTEGER,
    last_read_message_row_id INTEGER,
    last_read_receipt_sent_message_row_id INTEGER,
    last_important_message_row_id INTEGER,
    archived INTEGER,
    sort_timestamp INTEGER,
    mod_tag INTEGER,
    gen REAL,
    spam_detection INTEGER,
    unseen_earliest_message_received_time INTEGER,
    unseen_message_count INTEGER,
    unseen_missed_calls_count INTEGER,
    unseen_row_count INTEGER,
    plaintext_disabled INTEGER,
    vcard_ui_dismissed INTEGER,
    change_number_notified_message_row_id INTEGER,
    show_group_description INTEGER,
    ephemeral_expiration INTEGER,
    last_read_ephemeral_message_row_id INTEGER,
    ephemeral_setting_timestamp INTEGER,
    unseen_important_message_count INTEGER NOT NULL DEFAULT 0,
    ephemeral_disappearing_messages_initiator INTEGER,
    group_type INTEGER NOT NULL DEFAULT 0,
    last_message_reaction_row_id INTEGER,
    last_seen_message_reaction_row_id INTEGER,
    unseen_message_reaction_count INTEGER,
    growth_lock_level INTEGER,
    growth_lock_expiration_ts INTEGER,
    last_read_message_sort_id INTEGER,
    display_message_sort_id INTEGER,
    last_message_sort_id INTEGER,
    last_read_receipt_sent_message_sort_id INTEGER,
    has_new_community_admin_dialog_been_acknowledged INTEGER NOT NULL DEFAULT 0,
    history_sync_progress INTEGER
);

CREATE TABLE message (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    chat_row_id INTEGER NOT NULL,
    from_me INTEGER NOT NULL,
    key_id TEXT NOT NULL,
    sender_jid_row_id INTEGER,
    status INTEGER,
    broadcast INTEGER,
    recipient_count INTEGER,
    participant_hash TEXT,
    origination_flags INTEGER,
    origin INTEGER,
    timestamp INTEGER,
    received_timestamp INTEGER,
    receipt_server_timestamp INTEGER,
    message_type INTEGER,
    text_data TEXT,
    starred INTEGER,
    lookup_tables INTEGER,
    message_add_on_flags INTEGER,
    sort_id INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX message_key_index ON message (chat_row_id, from_me, key_id, sender_jid_row_id);
CREATE INDEX message_chat_id_index ON message (chat_row_id, _id);
CREATE INDEX message_chat_sort_id_index ON message (chat_row_id, sort_id);
CREATE INDEX message_type_chat_index ON message (chat_row_id, message_type);
CREATE INDEX message_sort_id_index ON message (sort_id);
CREATE INDEX message_type_index ON message (message_type);
CREATE INDEX message_starred_index ON message (starred);

CREATE TABLE message_media (
    message_row_id INTEGER PRIMARY KEY,
    chat_row_id INTEGER,
    autotransfer_retry_enabled INTEGER,
    multicast_id TEXT,
    media_job_uuid TEXT,
    transferred INTEGER,
    transcoded INTEGER,
    file_path TEXT,
    file_size INTEGER,
    suspicious_content INTEGER,
    trim_from INTEGER,
    trim_to INTEGER,
    face_x INTEGER,
    face_y INTEGER,
    media_key BLOB,
    media_key_timestamp INTEGER,
    width INTEGER,
    height INTEGER,
    has_streaming_sidecar INTEGER,
    gif_attribution INTEGER,
    thumbnail_height_width_ratio REAL,
    direct_path TEXT,
    first_scan_sidecar BLOB,
    first_scan_length INTEGER,
    message_url TEXT,
    mime_type TEXT,
    file_length INTEGER,
    media_name TEXT,
    file_hash TEXT,
    media_duration INTEGER,
    page_count INTEGER,
    enc_file_hash TEXT,
    partial_media_hash TEXT,
    partial_media_enc_hash TEXT,
    is_animated_sticker INTEGER,
    original_file_hash TEXT,
    mute_video INTEGER DEFAULT 0,
    media_caption TEXT
);
CREATE INDEX message_media_chat_index ON message_media (chat_row_id);

CREATE TABLE message_thumbnail (
    message_row_id INTEGER PRIMARY KEY,
    thumbnail BLOB
);

CREATE TABLE media_hash_thumbnail (
    media_hash TEXT PRIMARY KEY,
    thumbnail BLOB
);

CREATE TABLE message_quoted (
    message_row_id INTEGER PRIMARY KEY,
    chat_row_id INTEGER NOT NULL,
    parent_message_chat_row_id INTEGER NOT NULL,
    from_me INTEGER NOT NULL,
    sender_jid_row_id INTEGER,
    key_id TEXT NOT NULL,
    timestamp INTEGER,
    message_type INTEGER,
    origin INTEGER,
    text_data TEXT,
    payment_transaction_id TEXT,
    lookup_tables INTEGER
);

CREATE TABLE message_system (message_row_id INTEGER PRIMARY KEY, action_type INTEGER NOT NULL);
CREATE TABLE message_revoked (message_row_id INTEGER PRIMARY KEY, revoked_key_id TEXT NOT NULL, admin_jid_row_id INTEGER, revoke_timestamp INTEGER);
CREATE TABLE message_add_on (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    chat_row_id INTEGER NOT NULL,
    from_me INTEGER NOT NULL,
    sender_jid_row_id INTEGER,
    key_id TEXT NOT NULL,
    parent_message_row_id INTEGER NOT NULL,
    timestamp INTEGER,
    status INTEGER,
    message_add_on_type INTEGER
);
CREATE TABLE message_add_on_reaction (message_add_on_row_id INTEGER PRIMARY KEY, reaction TEXT, sender_timestamp INTEGER);
CREATE TABLE call_log (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    jid_row_id INTEGER,
    from_me INTEGER,
    call_id TEXT,
    transaction_id INTEGER,
    timestamp INTEGER,
    video_call INTEGER,
    duration INTEGER,
    call_result INTEGER,
    bytes_transferred INTEGER,
    group_jid_row_id INTEGER NOT NULL DEFAULT 0,
    is_joinable_group_call INTEGER,
    call_creator_device_jid_row_id INTEGER NOT NULL DEFAULT 0,
    call_random_id TEXT,
    call_link_row_id INTEGER NOT NULL DEFAULT 0
);

-- Who an event concerns, what it changed, and the number and disappearing-message settings.
CREATE TABLE message_system_chat_participant (message_row_id INTEGER, user_jid_row_id INTEGER);
CREATE INDEX message_system_chat_participant_index ON message_system_chat_participant (message_row_id);
CREATE TABLE message_system_value_change (message_row_id INTEGER PRIMARY KEY, old_data TEXT);
CREATE TABLE message_system_number_change (message_row_id INTEGER PRIMARY KEY, old_jid_row_id INTEGER, new_jid_row_id INTEGER);
CREATE TABLE message_ephemeral_setting (message_row_id INTEGER PRIMARY KEY, setting_duration INTEGER, setting_reason INTEGER);
CREATE TABLE message_edit_info (message_row_id INTEGER PRIMARY KEY, original_key_id TEXT NOT NULL, edited_timestamp INTEGER NOT NULL, sender_timestamp INTEGER NOT NULL);
CREATE TABLE message_location (
    message_row_id INTEGER PRIMARY KEY,
    chat_row_id INTEGER,
    latitude REAL,
    longitude REAL,
    place_name TEXT,
    place_address TEXT,
    url TEXT,
    live_location_share_duration INTEGER,
    live_location_sequence_number INTEGER,
    live_location_final_latitude REAL,
    live_location_final_longitude REAL,
    live_location_final_timestamp INTEGER,
    map_download_status INTEGER
);
CREATE TABLE message_vcard (_id INTEGER PRIMARY KEY AUTOINCREMENT, message_row_id INTEGER, vcard TEXT);
CREATE INDEX message_vcard_index ON message_vcard (message_row_id);
CREATE TABLE message_poll (message_row_id INTEGER PRIMARY KEY, enc_key BLOB, selectable_options_count INTEGER);
CREATE TABLE message_poll_option (_id INTEGER PRIMARY KEY AUTOINCREMENT, message_row_id INTEGER NOT NULL, option_sha256 TEXT, option_name TEXT, vote_total INTEGER NOT NULL DEFAULT 0);
CREATE INDEX message_poll_option_index ON message_poll_option (message_row_id);
CREATE TABLE message_call_log (message_row_id INTEGER PRIMARY KEY, call_log_row_id INTEGER);
CREATE TABLE message_future (message_row_id INTEGER PRIMARY KEY, version INTEGER, data BLOB);
CREATE TABLE message_view_once_media (message_row_id INTEGER PRIMARY KEY, state INTEGER);
