-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- Rows of the modern-layout sample folder's databases/wa.db (the table comes from
-- tests/data/android/wa-schema.sql). wa.db is the same in every layout. As on current phones it
-- lists neither group (chat.subject names them) nor Tom, who is only in his chat, and the people
-- appear under their phone jids, never under "@lid" ones.

INSERT INTO wa_contacts (jid, is_whatsapp_user, status, status_timestamp, number, raw_contact_id, display_name,
    phone_type, unseen_msg_count, photo_ts, thumb_ts, photo_id_timestamp, given_name, family_name, wa_name,
    sort_name, is_spam_reported, disappearing_mode_duration, disappearing_mode_timestamp) VALUES
-- The address-book name wins over the chosen one.
('4915112345678@s.whatsapp.net', 1, 'Immer unterwegs 🚲', 1704067200000, '+49 151 12345678', 201, 'Lena Hoffmann',
    2, 0, 0, 1705100000, 1705100000, 'Lena', 'Hoffmann', 'Lena 🌿', 'Lena Hoffmann', 0, 0, 0),
-- Only the chosen name.
('351912345678@s.whatsapp.net', 1, 'Disponível', 1708000000000, NULL, -1, NULL,
    NULL, 0, 0, 1708400000, 1708400000, NULL, NULL, 'Carlos Mendes 🇵🇹', NULL, 0, 0, 0),
('8613912345678@s.whatsapp.net', 1, '在忙', 1709000000000, '+86 139 1234 5678', 202, '李娜',
    2, 0, 0, 1709500000, 1709500000, '娜', '李', 'Li Na', '李娜', 0, 0, 0),
('971551234567@s.whatsapp.net', 1, 'الحمد لله', 1712000000000, '+971 55 123 4567', 203, 'يوسف الحمادي',
    2, 0, 0, 1712600000, 1712600000, 'يوسف', 'الحمادي', 'Yusuf', 'يوسف الحمادي', 0, 0, 0),
-- A book club member with no chat of her own.
('818012345678@s.whatsapp.net', 1, 'よろしくお願いします', 1726000000000, NULL, -1, NULL,
    NULL, 0, 0, 0, 0, NULL, NULL, '愛子', NULL, 0, 0, 0),
-- In the address book and on WhatsApp, but never written to.
('33698765432@s.whatsapp.net', 1, 'Hey there! I am using WhatsApp.', 1700000000000, '+33 6 98 76 54 32', 204,
    'Camille Dubois', 2, 0, 0, 0, 0, 'Camille', 'Dubois', 'Camille', 'Camille Dubois', 0, 0, 0),
-- Mads, whose chat holds media of every kind: files present, moved and missing.
('4520123456@s.whatsapp.net', 1, 'Hygge 🕯️', 1733000000000, '+45 20 12 34 56', 205, 'Mads Nielsen',
    2, 0, 0, 1733220000, 1733220000, 'Mads', 'Nielsen', 'Mads', 'Mads Nielsen', 0, 0, 0);
