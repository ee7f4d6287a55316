-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- databases/wa.db of WhatsApp for Android: the address book of WhatsApp users, every column
-- of wa_contacts in its real order and both real indexes. The jid is not unique here: one
-- person saved twice in the phone's address book has two rows.
-- talvio-fixture runs this before a folder's wa.sql, which then holds only rows.

CREATE TABLE android_metadata (locale TEXT);
INSERT INTO android_metadata VALUES ('en_US');

CREATE TABLE wa_contacts (
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    jid TEXT NOT NULL,
    is_whatsapp_user BOOLEAN NOT NULL,
    status TEXT,
    status_timestamp INTEGER,
    number TEXT,
    raw_contact_id INTEGER,
    display_name TEXT,
    phone_type INTEGER,
    phone_label TEXT,
    unseen_msg_count INTEGER,
    photo_ts INTEGER,
    thumb_ts INTEGER,
    photo_id_timestamp INTEGER,
    given_name TEXT,
    family_name TEXT,
    wa_name TEXT,
    sort_name TEXT,
    nickname TEXT,
    company TEXT,
    title TEXT,
    status_autodownload_disabled INTEGER,
    keep_timestamp INTEGER,
    is_spam_reported INTEGER,
    is_sidelist_synced BOOLEAN DEFAULT 0,
    is_business_synced BOOLEAN DEFAULT 0,
    disappearing_mode_duration INTEGER,
    disappearing_mode_timestamp INTEGER
);
CREATE INDEX jid_index ON wa_contacts (jid);
CREATE INDEX is_wa_index ON wa_contacts (is_whatsapp_user);
