-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- A small msgstore.db for unit tests. Omitted columns are NULL.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, data, timestamp, media_wa_type, media_size,
    media_mime_type, remote_resource) VALUES
('-1', 0, '-1', 6, NULL, 1496000000000, '0', 0, NULL, NULL),
-- Anna: two messages; her newest is 1496226999000.
('491111111111@s.whatsapp.net', 0, 'B1A0000000000001', 0, 'Hallo Anna hier', 1496226000123, '0', 0, NULL, NULL),
('491111111111@s.whatsapp.net', 1, 'B1A0000000000002', 13, 'Hi Anna!', 1496226999000, '0', 0, NULL, NULL),
-- Carla: the four marker kinds, other kinds with no text, markup in a text, a NULL timestamp.
('493333333333@s.whatsapp.net', 0, 'B1A0000000000003', 0, NULL, 1500000001000, '1', 52000, 'image/jpeg', NULL),
('493333333333@s.whatsapp.net', 1, 'B1A0000000000004', 13, NULL, 1500000002000, '2', 8000, 'audio/ogg; codecs=opus', NULL),
('493333333333@s.whatsapp.net', 0, 'B1A0000000000005', 0, NULL, 1500000003000, '3', 900000, 'video/mp4', NULL),
('493333333333@s.whatsapp.net', 1, 'B1A0000000000006', 13, NULL, 1500000004000, '8', 0, NULL, NULL),
('493333333333@s.whatsapp.net', 0, 'B1A0000000000007', 0, NULL, 1500000005000, '9', 120000, 'application/pdf', NULL),
('493333333333@s.whatsapp.net', 0, 'B1A0000000000008', 0, NULL, 1500000006000, '13', 300000, 'video/mp4', NULL),
('493333333333@s.whatsapp.net', 0, 'B1A0000000000009', 0, 'a <b>bold</b> claim & "quotes"', 1500000007000, '0', 0, NULL, NULL),
('493333333333@s.whatsapp.net', 0, 'B1A000000000000A', 0, 'no time', NULL, '0', 0, NULL, NULL),
-- The group: a creation row, a member writing, the owner writing.
('491111111111-1496000000@g.us', 0, 'B1A000000000000B', 6, NULL, 1496000000000, '0', 11, NULL, '491111111111@s.whatsapp.net'),
('491111111111-1496000000@g.us', 0, 'B1A000000000000C', 0, 'Wer kommt mit?', 1496000100000, '0', 0, NULL, '493333333333@s.whatsapp.net'),
('491111111111-1496000000@g.us', 1, 'B1A000000000000D', 13, 'Ich!', 1496000200000, '0', 0, NULL, ''),
-- The jid with a quote has a message.
('4915''2@s.whatsapp.net', 0, 'B1A000000000000E', 0, 'it''s me', 1510000000000, '0', 0, NULL, NULL);
