-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- Rows of the sample folder's databases/wa.db (the table comes from
-- tests/data/android/wa-schema.sql). display_name is the name in the phone's address book,
-- wa_name the one the person chose; real tables often have neither. Groups are listed with
-- their subject as display_name. Columns left out are NULL or their default.

INSERT INTO wa_contacts (jid, is_whatsapp_user, status, status_timestamp, number, raw_contact_id, display_name,
    phone_type, unseen_msg_count, photo_ts, thumb_ts, photo_id_timestamp, given_name, family_name, wa_name,
    sort_name, is_spam_reported, disappearing_mode_duration, disappearing_mode_timestamp) VALUES
-- Both names: the address-book name wins.
('4915112345678@s.whatsapp.net', 1, 'Carpe diem ☀️', 1561900000000, '+49 151 12345678', 101, 'Anna Müller',
    2, 0, 0, 1561975200, 1561975200, 'Anna', 'Müller', 'Anna 🌻', 'Anna Müller', 0, 0, 0),
-- Only the chosen name.
('33612345678@s.whatsapp.net', 1, 'Disponible', 1568400000000, NULL, -1, NULL,
    NULL, 0, 0, 1568490000, 1568490000, NULL, NULL, 'Émilie Rousseau', NULL, 0, 0, 0),
('8613812345678@s.whatsapp.net', 1, '忙', 1579400000000, '+86 138 1234 5678', 102, '王伟',
    2, 0, 0, 1579490000, 1579490000, '伟', '王', NULL, '王伟', 0, 0, 0),
-- An empty address-book name counts as none, so the chosen name is used.
('971501234567@s.whatsapp.net', 1, 'الحمد لله', 1618300000000, '+971 50 123 4567', 103, '',
    2, 0, 0, 0, 0, NULL, NULL, 'فاطمة الزهراء', '', 0, 0, 0),
-- A jid with a single quote, and a name with one.
('4915''2@s.whatsapp.net', 1, NULL, NULL, NULL, 104, 'Seán O''Brien',
    2, 0, 0, 1596895200, 1596895200, 'Seán', 'O''Brien', 'Seán', 'Seán O''Brien', 0, 0, 0),
-- A hostile name: it must show as text wherever names appear.
('447700900123@s.whatsapp.net', 1, '"><script>alert(2)</script>', 1664600000000, '+44 7700 900123', 105,
    '<img src=x onerror=alert(1)>', 2, 0, 0, 1664640000, 1664640000, '<img', 'src=x onerror=alert(1)>',
    '</td><b>not bold</b>', '<img src=x onerror=alert(1)>', 0, 0, 0),
-- Neither name: the number stands for it.
('14155550123@s.whatsapp.net', 1, NULL, NULL, NULL, -1, NULL,
    NULL, 0, 0, 0, 0, NULL, NULL, NULL, NULL, 0, 0, 0),
('358401234567@s.whatsapp.net', 1, 'Saunassa 🧖', 1577800000000, '+358 40 1234567', 106, 'Mikko Häkkinen',
    2, 0, 0, 1577833200, 1577833200, 'Mikko', 'Häkkinen', 'Mikko', 'Mikko Häkkinen', 0, 0, 0),
-- In the address book and on WhatsApp, but never written to.
('5511987654321@s.whatsapp.net', 1, 'Hey there! I am using WhatsApp.', 1600000000000, '+55 11 98765-4321', 107,
    'João Silva', 2, 0, 0, 0, 0, 'João', 'Silva', 'João', 'João Silva', 0, 0, 0),
('819012345678@s.whatsapp.net', 1, 'よろしく', 1711700000000, NULL, -1, NULL,
    NULL, 0, 0, 0, 0, NULL, NULL, 'さくら🌸', NULL, 0, 0, 0),
-- In the address book but not on WhatsApp: no messages, no picture.
('4930901820@s.whatsapp.net', 0, NULL, NULL, '+49 30 901820', 108, 'Zahnarztpraxis Dr. Weiß',
    1, 0, 0, 0, 0, NULL, NULL, NULL, 'Zahnarztpraxis Dr. Weiß', 0, 0, 0),
-- The two groups.
('4915112345678-1561975200@g.us', 1, NULL, NULL, NULL, -1, 'Familie Müller 👨‍👩‍👧',
    NULL, 0, 0, 1561975300, 1561975300, NULL, NULL, NULL, 'Familie Müller 👨‍👩‍👧', 0, 0, 0),
('4917612345678-1600000000@g.us', 1, NULL, NULL, NULL, -1, 'Voyage à Pékin 北京 ✈️',
    NULL, 0, 0, 0, 0, NULL, NULL, NULL, 'Voyage à Pékin 北京 ✈️', 0, 0, 0),
-- Sofia, whose chat holds media of every kind: files present, moved and missing.
('46709876543@s.whatsapp.net', 1, 'Hej hej', 1733000000000, '+46 70 987 65 43', 109, 'Sofia Lindqvist',
    2, 0, 0, 1733220000, 1733220000, 'Sofia', 'Lindqvist', 'Sofia', 'Sofia Lindqvist', 0, 0, 0);
