-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- Rows of the modern-layout sample folder's databases/msgstore.db (the tables come from
-- tests/data/android/msgstore-modern-schema.sql): a phone of 2024-2025 with no "messages"
-- table. Chats are rows of "chat" pointing at "jid"; message_type uses the same codes as the
-- legacy media_wa_type; text_data holds texts only, media details are in message_media, group
-- events in message_system, deleted messages in message_revoked, calls in call_log.
-- The messages are stored chat by chat, as a phone restoring a backup writes them, so _id order
-- is not time order across chats. Columns left out are NULL or their default. Timestamps are
-- milliseconds since 1970 (UTC).

-- Every jid once. Li Na also writes under an "@lid" jid since 2025, and jid_map tells whose it
-- is; one hiking group member is known only by an "@lid" jid that jid_map resolves, one book
-- club member by one it does not.
INSERT INTO jid (_id, user, server, agent, device, type, raw_string) VALUES
(1, '4915112345678', 's.whatsapp.net', 0, 0, 0, '4915112345678@s.whatsapp.net'),
(2, '351912345678', 's.whatsapp.net', 0, 0, 0, '351912345678@s.whatsapp.net'),
(3, '8613912345678', 's.whatsapp.net', 0, 0, 0, '8613912345678@s.whatsapp.net'),
(4, '123456789012345', 'lid', 0, 0, 0, '123456789012345@lid'),
(5, '971551234567', 's.whatsapp.net', 0, 0, 0, '971551234567@s.whatsapp.net'),
(6, '447911123456', 's.whatsapp.net', 0, 0, 0, '447911123456@s.whatsapp.net'),
(7, '120363041234567890', 'g.us', 0, 0, 1, '120363041234567890@g.us'),
(8, '987654321098765', 'lid', 0, 0, 0, '987654321098765@lid'),
(9, '4917098765432', 's.whatsapp.net', 0, 0, 0, '4917098765432@s.whatsapp.net'),
(10, '120363051234567891', 'g.us', 0, 0, 1, '120363051234567891@g.us'),
(11, '818012345678', 's.whatsapp.net', 0, 0, 0, '818012345678@s.whatsapp.net'),
(12, 'status', 'broadcast', 0, 0, 11, 'status@broadcast'),
(13, '555444333222111', 'lid', 0, 0, 0, '555444333222111@lid');

INSERT INTO jid_map (lid_row_id, jid_row_id, sort_id) VALUES (4, 3, 0), (8, 9, 0);

-- One chat per jid that has messages. Groups carry their name in subject; neither group is in
-- wa.db, so the subject is the only name they have. last_message_row_id and sort_timestamp are
-- filled in at the end.
INSERT INTO chat (_id, jid_row_id, hidden, subject, created_timestamp, archived, plaintext_disabled,
    group_type) VALUES
(10, 1, 0, NULL, 1705133640000, 0, 1, 0),
(11, 2, 0, NULL, 1708454400000, 0, 1, 0),
(12, 3, 0, NULL, 1709518200000, 0, 1, 0),
(13, 5, 0, NULL, 1712647800000, 0, 1, 0),
(14, 6, 0, NULL, 1715961900000, 0, 1, 0),
(15, 7, 0, 'Wandergruppe Alpen 🏔️', 1748772000000, 0, 1, 0),
(16, 10, 0, '<b>Book club</b> 📚 & friends', 1739552400000, 0, 1, 0),
(17, 4, 0, NULL, 1738123320000, 0, 1, 0),
(18, 12, 0, NULL, 1744440300000, 0, 1, 0);

-- Phones start the table with a system row that belongs to no chat.
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id) VALUES
(1, -1, 0, '-1', 0, 6, 1705132800000, 1705132800000, -1, 7, NULL, 0, 1);

-- Lena Hoffmann (address-book name): German, a photo with a caption, a voice note, a
-- multi-line text, an outgoing and a missed call, a video, a reply quoting an earlier message.
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id) VALUES
(2, 10, 0, '30877432D1026706', 0, 0, 1705133640000, 1705133641400, -1, 0, 'Guten Morgen! Hast du die Fotos vom Wochenende noch?', 0, 2),
(3, 10, 1, '3EB005DA846A32C3BB81', 0, 13, 1705134090000, 1705134090000, 1705134090900, 0, 'Ja, schicke ich dir gleich 😊', 0, 3),
(4, 10, 1, '3EB09B62179273C8EB5B', 0, 13, 1705134185000, 1705134185000, 1705134185900, 1, NULL, 0, 4),
(5, 10, 0, 'B682575EC87A171A', 0, 0, 1705134647000, 1705134648400, -1, 2, NULL, 0, 5),
(6, 10, 0, 'C826A6FCE48478DC', 0, 0, 1705134730000, 1705134731400, -1, 0, 'Danke!
Das Licht war wirklich unglaublich.
Nächstes Mal komme ich mit.', 0, 6),
(7, 10, 1, '3EB021345D2CCE8038A3', 0, 13, 1705777320000, 1705777320000, 1705777320900, 8, NULL, 0, 7),
(8, 10, 0, '9D5E0853964B50AF', 0, 0, 1705841113000, 1705841114400, -1, 10, NULL, 0, 8),
(9, 10, 0, '03B971722F244F58', 0, 0, 1705841222000, 1705841223400, -1, 3, NULL, 0, 9),
(10, 10, 0, 'D669CBEE3772A077', 0, 0, 1705841320000, 1705841321400, -1, 0, 'Genau das meinte ich 😂', 0, 10),
(11, 10, 0, '021721A278F64F7F', 0, 0, 1748589000000, 1748589001400, -1, 0, 'Kommst du am Sonntag zum Brunch? 🥐', 1, 11);

-- Carlos Mendes (only his chosen name in wa.db): Portuguese, a document, a deleted message,
-- and a text he reacted to.
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id) VALUES
(12, 11, 0, 'D633DBDDE131CA37', 0, 0, 1708454400000, 1708454401400, -1, 0, 'Olá! Já chegaste a Lisboa?', 0, 12),
(13, 11, 1, '3EB0D58E72E310275DFF', 0, 13, 1708455151000, 1708455151000, 1708455151900, 0, 'Cheguei agora, o voo atrasou 40 minutos.', 0, 13),
(14, 11, 0, '6C15C0C8E9DF4696', 0, 0, 1708455912000, 1708455913400, -1, 9, NULL, 0, 14),
(15, 11, 0, '11A11F5125227C37', 0, 0, 1708455960000, 1708455961400, -1, 15, NULL, 0, 15),
(16, 11, 1, '3EB086A78C49EA20E326', 0, 13, 1708456209000, 1708456209000, 1708456209900, 0, 'Obrigado! Até amanhã 👋', 0, 16);

-- Li Na (李娜) under her phone jid, 2024: Chinese and a sticker.
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id) VALUES
(17, 12, 0, '84B27B95E9093483', 0, 0, 1709518200000, 1709518201400, -1, 0, '你好！下个月的会议定在上海，可以吗？', 0, 17),
(18, 12, 1, '3EB06A68F812D810A485', 0, 13, 1709519504000, 1709519504000, 1709519504900, 0, '可以，我订好酒店就告诉你。', 0, 18),
(19, 12, 0, 'ED03241B4D419B1B', 0, 0, 1709519582000, 1709519583400, -1, 20, NULL, 0, 19);

-- Yusuf Al-Hammadi (Arabic address-book name): a video and a video call.
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id) VALUES
(20, 13, 0, '673BD4755D05AD78', 0, 0, 1712647800000, 1712647801400, -1, 0, 'مرحبا! هل وصلت الشحنة؟', 0, 20),
(21, 13, 1, '3EB0F76EB97706CA828B', 0, 13, 1712648479000, 1712648479000, 1712648479900, 0, 'نعم، وصلت اليوم. شكرا جزيلا 🙏', 0, 21),
(22, 13, 0, 'CA0385813DBAD3C6', 0, 0, 1712649775000, 1712649776400, -1, 3, NULL, 0, 22),
(23, 13, 1, '3EB06BD2AA399DAC946D', 0, 13, 1712761200000, 1712761200000, 1712761200900, 8, NULL, 0, 23);

-- Tom, in no address book: only this chat knows him, so his number names him.
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id) VALUES
(24, 14, 0, 'C59C0996DAEEE6F5', 0, 0, 1715961900000, 1715961901400, -1, 0, 'Hi, this is Tom from the flat viewing — is Saturday 11am still OK?', 0, 24),
(25, 14, 1, '3EB079764017F2ED6CFC', 0, 13, 1715962827000, 1715962827000, 1715962827900, 0, 'Yes, see you there.', 0, 25),
(26, 14, 0, '7403D75E173E4EAE', 0, 0, 1716030849000, 1716030850400, -1, 1, NULL, 0, 26);

-- "Wandergruppe Alpen", created by the owner: group events, members writing, one of them
-- known only by an "@lid" jid (8) that jid_map gives the phone jid 4917098765432 for.
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id) VALUES
(27, 15, 1, '3EB0E878F78E2978AA24', 0, 6, 1748772000000, 1748772000000, 1748772000900, 7, NULL, 0, 27),
(28, 15, 1, '3EB062DDAED16DC0CF0B', 0, 6, 1748772001000, 1748772001000, 1748772001900, 7, NULL, 0, 28),
(29, 15, 0, '9CD7F78DF0CAC5E4', 1, 0, 1748772252000, 1748772253400, -1, 0, 'Wer ist am Samstag dabei? 🥾', 0, 29),
(30, 15, 0, '0C02D4E518CA6EAA', 8, 0, 1748772400000, 1748772401400, -1, 0, 'Ich! Bringe die Thermoskanne mit ☕', 0, 30),
(31, 15, 0, 'C8D82F01B7210760', 2, 0, 1748772543000, 1748772544400, -1, 0, 'Conta comigo! 🇵🇹', 0, 31),
(32, 15, 1, '3EB036E8B5359309CC62', 0, 13, 1748772900000, 1748772900000, 1748772900900, 0, 'Treffpunkt 7:30 am Bahnhof.', 0, 32),
(33, 15, 0, '73931BDB2A0DF3DB', 8, 0, 1749279138000, 1749279139400, -1, 2, NULL, 0, 33),
(34, 15, 0, 'E4D58FED8A728E7E', 1, 0, 1749303465000, 1749303466400, -1, 1, NULL, 0, 34),
(35, 15, 0, 'CA0FA5F6B8A88062', 2, 0, 1749303600000, 1749303601400, -1, 15, NULL, 0, 35),
(36, 15, 0, '7DF7FFE0297C79BF', 8, 6, 1757149200000, 1757149201400, -1, 7, NULL, 0, 36);

-- "<b>Book club</b>", created by Yusuf: members in four scripts, Li Na under her lid, a
-- member whose lid nobody resolved (13), the owner's text with markup, a group call.
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id) VALUES
(37, 16, 0, 'BDABE898736A3566', 5, 6, 1739552400000, 1739552401400, -1, 7, NULL, 0, 37),
(38, 16, 0, 'F893697B59048119', 5, 6, 1739552402000, 1739552403400, -1, 7, NULL, 0, 38),
(39, 16, 0, '4F309FFEA518F32C', 5, 0, 1739552610000, 1739552611400, -1, 0, 'أهلا بالجميع في نادي الكتاب 📚', 0, 39),
(40, 16, 0, 'F21449273D7CEE9D', 4, 0, 1739553051000, 1739553052400, -1, 0, '我正在读《三体》，强烈推荐！', 0, 40),
(41, 16, 0, '9136682575250DEF', 11, 0, 1739553126000, 1739553127400, -1, 0, '『ノルウェイの森』を読み終わりました。', 0, 41),
(42, 16, 0, '91799E2786D37484', 13, 0, 1739553644000, 1739553645400, -1, 0, 'Hola a todos 👋 ¿qué libro toca este mes?', 0, 42),
(43, 16, 1, '3EB09E3E9C8FE21DA802', 0, 13, 1739553900000, 1739553900000, 1739553900900, 0, '<b>Next meeting</b>: 14 March, 19:00 — bring snacks & "ideas"', 0, 43),
(44, 16, 0, '70815FE85DF2FBDA', 5, 0, 1740853810000, 1740853811400, -1, 3, NULL, 0, 44),
(45, 16, 0, 'A35ADF9C1E2A8A3C', 5, 0, 1740855600000, 1740855601400, -1, 8, NULL, 0, 45);

-- Li Na under her "@lid" jid, 2025: the viewer shows it with her phone-jid chat.
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id) VALUES
(46, 17, 0, '0ED16BFE16849EF3', 0, 6, 1738123320000, 1738123321400, -1, 7, NULL, 0, 46),
(47, 17, 0, '07590D273E34F98D', 0, 0, 1738123395000, 1738123396400, -1, 0, '新年快乐！🧧 我换了新手机。', 0, 47),
(48, 17, 1, '3EB04C6428DA8099F4EF', 0, 13, 1738124400000, 1738124400000, 1738124400900, 0, '新年快乐！收到 😊', 0, 48);

-- A status post of Lena's.
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id) VALUES
(49, 18, 0, 'BACEA67C7D1AFCC4', 1, 0, 1744440300000, 1744440301400, -1, 1, NULL, 0, 49);

-- Where the media files are, relative to the WhatsApp media folder; the captions are here too.
INSERT INTO message_media (message_row_id, chat_row_id, transferred, file_path, file_size, mime_type, media_name,
    media_duration, width, height, media_caption, file_length) VALUES
(4, 10, 1, 'Media/WhatsApp Images/Sent/IMG-20240113-WA0002.jpg', 1834221, 'image/jpeg', NULL, 0, 1600, 1200, 'Gipfelkreuz am Herzogstand ⛰️', 1834221),
(5, 10, 1, 'Media/WhatsApp Voice Notes/202402/PTT-20240113-WA0003.opus', 41872, 'audio/ogg; codecs=opus', NULL, 14, 0, 0, NULL, 41872),
(9, 10, 1, 'Media/WhatsApp Video/VID-20240121-WA0004.mp4', 6120534, 'video/mp4', NULL, 27, 1280, 720, 'Schlittenfahrt 🛷', 6120534),
(14, 11, 1, 'Media/WhatsApp Documents/Roteiro Sintra – Março.pdf', 482113, 'application/pdf', 'Roteiro Sintra – Março.pdf', 0, 0, 0, NULL, 482113),
(19, 12, 1, 'Media/WhatsApp Stickers/STK-20240304-WA0005.webp', 24170, 'image/webp', NULL, 0, 512, 512, NULL, 24170),
(22, 13, 1, 'Media/WhatsApp Video/VID-20240409-WA0006.mp4', 9981220, 'video/mp4', NULL, 41, 720, 1280, NULL, 9981220),
(26, 14, 1, 'Media/WhatsApp Images/IMG-20240518-WA0007.jpg', 2210394, 'image/jpeg', NULL, 0, 1200, 1600, 'Kitchen after the renovation', 2210394),
(33, 15, 1, 'Media/WhatsApp Voice Notes/202523/PTT-20250607-WA0008.opus', 30211, 'audio/ogg; codecs=opus', NULL, 9, 0, 0, NULL, 30211),
(34, 15, 1, 'Media/WhatsApp Images/IMG-20250607-WA0009.jpg', 3022871, 'image/jpeg', NULL, 0, 2048, 1536, NULL, 3022871),
(44, 16, 1, 'Media/WhatsApp Video/VID-20250301-WA0010.mp4', 4410228, 'video/mp4', NULL, 19, 848, 480, 'مقابلة مع الكاتب', 4410228),
(49, 18, 1, 'Media/WhatsApp Images/IMG-20250412-WA0011.jpg', 987113, 'image/jpeg', NULL, 0, 1080, 1920, 'Frühling 🌷', 987113);

-- Group events: 11 created, 12 added, 5 left; 18 a security code changed.
INSERT INTO message_system (message_row_id, action_type) VALUES
(27, 11),
(28, 12),
(36, 5),
(37, 11),
(38, 12),
(46, 18);

-- Deleted by their senders: the row stays, with the key of what it replaced.
INSERT INTO message_revoked (message_row_id, revoked_key_id, admin_jid_row_id, revoke_timestamp) VALUES
(15, '11A11F5125227C37', NULL, 1708456001000),
(35, 'CA0FA5F6B8A88062', NULL, 1749303622000);

-- The calls behind the call rows: answered ones with a duration, the missed one without.
INSERT INTO call_log (jid_row_id, from_me, call_id, transaction_id, timestamp, video_call, duration, call_result,
    bytes_transferred, group_jid_row_id) VALUES
(1, 1, '3EB021345D2CCE8038A3', 100000, 1705777320000, 0, 312, 5, 6552000, 0),
(1, 0, '9D5E0853964B50AF', 100001, 1705841113000, 1, 0, 2, 0, 0),
(5, 1, '3EB06BD2AA399DAC946D', 100002, 1712761200000, 1, 1265, 5, 26565000, 0),
(5, 0, 'A35ADF9C1E2A8A3C', 100003, 1740855600000, 0, 1840, 5, 38640000, 10);
INSERT INTO message_call_log (message_row_id, call_log_row_id) VALUES (7, 1), (8, 2), (23, 3), (45, 4);

-- Lena's reply keeps its own copy of the message it quotes.
INSERT INTO message_quoted (message_row_id, chat_row_id, parent_message_chat_row_id, from_me, sender_jid_row_id,
    key_id, timestamp, message_type, text_data) VALUES
(10, 10, 10, 1, 0, '3EB005DA846A32C3BB81', 1705134090000, 0, 'Ja, schicke ich dir gleich 😊');

-- Reactions: Carlos to the owner's text, the owner to Yusuf's welcome.
INSERT INTO message_add_on (_id, chat_row_id, from_me, sender_jid_row_id, key_id, parent_message_row_id, timestamp,
    status, message_add_on_type) VALUES
(1, 11, 0, 0, 'F14A3E3E04D42F8A', 16, 1708456269000, 0, 56),
(2, 16, 1, 0, '3EB0AF127972D33E5901', 39, 1739552730000, 13, 56);
INSERT INTO message_add_on_reaction (message_add_on_row_id, reaction, sender_timestamp) VALUES
(1, '❤️', 1708456269000),
(2, '👍', 1739552730000);

-- Mads Nielsen: media of every kind. Most files are in the sample's WhatsApp/Media folder
-- (media.txt); two were moved to another folder since, three are gone (previews by message,
-- by file hash, none), one was never downloaded; a file name is hostile and one path climbs
-- out of the media folder.
INSERT INTO jid (_id, user, server, agent, device, type, raw_string) VALUES
(14, '4520123456', 's.whatsapp.net', 0, 0, 0, '4520123456@s.whatsapp.net');
INSERT INTO chat (_id, jid_row_id, hidden, subject, created_timestamp, archived, plaintext_disabled,
    group_type) VALUES
(19, 14, 0, NULL, 1733220000000, 0, 1, 0);
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id) VALUES
(50, 19, 0, 'C0FFEE0000000001', 0, 0, 1733220000000, 1733220001400, -1, 0, 'Hej! Billeder fra julemarkedet 🎄', 0, 50),
(51, 19, 0, 'C0FFEE0000000002', 0, 0, 1733220089000, 1733220090400, -1, 1, NULL, 0, 51),
(52, 19, 0, 'C0FFEE0000000003', 0, 0, 1733220178000, 1733220179400, -1, 2, NULL, 0, 52),
(53, 19, 1, '3EB0C0FFEE0000000004', 0, 13, 1733220267000, 1733220267000, 1733220267900, 3, NULL, 0, 53),
(54, 19, 0, 'C0FFEE0000000005', 0, 0, 1733220356000, 1733220357400, -1, 13, NULL, 0, 54),
(55, 19, 0, 'C0FFEE0000000006', 0, 0, 1733220445000, 1733220446400, -1, 20, NULL, 0, 55),
(56, 19, 0, 'C0FFEE0000000007', 0, 0, 1733220534000, 1733220535400, -1, 2, NULL, 0, 56),
(57, 19, 1, '3EB0C0FFEE0000000008', 0, 13, 1733220623000, 1733220623000, 1733220623900, 2, NULL, 0, 57),
(58, 19, 1, '3EB0C0FFEE0000000009', 0, 13, 1733220712000, 1733220712000, 1733220712900, 9, NULL, 0, 58),
(59, 19, 0, 'C0FFEE000000000A', 0, 0, 1733220801000, 1733220802400, -1, 1, NULL, 0, 59),
(60, 19, 0, 'C0FFEE000000000B', 0, 0, 1733220890000, 1733220891400, -1, 2, NULL, 0, 60),
(61, 19, 0, 'C0FFEE000000000C', 0, 0, 1733220979000, 1733220980400, -1, 1, NULL, 0, 61),
(62, 19, 0, 'C0FFEE000000000D', 0, 0, 1733221068000, 1733221069400, -1, 3, NULL, 0, 62),
(63, 19, 0, 'C0FFEE000000000E', 0, 0, 1733221157000, 1733221158400, -1, 9, NULL, 0, 63),
(64, 19, 0, 'C0FFEE000000000F', 0, 0, 1733221246000, 1733221247400, -1, 1, NULL, 0, 64),
(65, 19, 0, 'C0FFEE0000000010', 0, 0, 1733221335000, 1733221336400, -1, 9, NULL, 0, 65),
(66, 19, 0, 'C0FFEE0000000011', 0, 0, 1733221424000, 1733221425400, -1, 1, NULL, 0, 66),
(67, 19, 1, '3EB0C0FFEE0000000012', 0, 13, 1733221513000, 1733221513000, 1733221513900, 0, 'Tak! Glædelig jul 🎅', 0, 67);
INSERT INTO message_media (message_row_id, chat_row_id, transferred, file_path, file_size, mime_type, media_name,
    media_duration, width, height, media_caption, file_length, file_hash) VALUES
(51, 19, 1, 'Media/WhatsApp Images/IMG-20241203-WA0012.jpg', 41210, 'image/jpeg', NULL, 0, 480, 360, 'Tivoli om aftenen ✨', 41210, 'MadsFileHash01AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(52, 19, 1, 'Media/WhatsApp Voice Notes/202449/PTT-20241203-WA0013.opus', 8800, 'audio/ogg; codecs=opus', NULL, 4, 0, 0, NULL, 8800, 'MadsFileHash02AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(53, 19, 1, 'Media/WhatsApp Video/Sent/VID-20241203-WA0014.mp4', 90112, 'video/mp4', NULL, 3, 320, 240, 'Skøjtebanen ⛸️', 90112, 'MadsFileHash03AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(54, 19, 1, 'Media/WhatsApp Animated Gifs/VID-20241203-WA0015.mp4', 22001, 'video/mp4', NULL, 2, 240, 180, NULL, 22001, 'MadsFileHash04AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(55, 19, 1, 'Media/WhatsApp Stickers/STK-20241203-WA0016.webp', 12011, 'image/webp', NULL, 0, 256, 256, NULL, 12011, 'MadsFileHash05AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(56, 19, 1, 'Media/WhatsApp Audio/AUD-20241203-WA0017.m4a', 17800, 'audio/mp4', 'AUD-20241203-WA0017.m4a', 2, 0, 0, NULL, 17800, 'MadsFileHash06AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(57, 19, 1, 'Media/WhatsApp Audio/Sent/AUD-20241204-WA0018.ogg', 14200, 'audio/ogg', 'Julesang.ogg', 2, 0, 0, NULL, 14200, 'MadsFileHash07AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(58, 19, 1, 'Media/WhatsApp Documents/Sent/Årsrapport 2024.pdf', 705, 'application/pdf', 'Årsrapport 2024.pdf', 0, 0, 0, NULL, 705, 'MadsFileHash08AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(59, 19, 1, 'Media/WhatsApp Images/IMG-20241205-WA0019.jpg', 35100, 'image/jpeg', NULL, 0, 400, 300, 'Flyttet billede', 35100, 'MadsFileHash09AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(60, 19, 1, 'Media/WhatsApp Voice Notes/202449/PTT-20241205-WA0020.opus', 7300, 'audio/ogg; codecs=opus', NULL, 3, 0, 0, NULL, 7300, 'MadsFileHash10AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(61, 19, 1, 'Media/WhatsApp Images/IMG-20241206-WA0021.jpg', 52340, 'image/jpeg', NULL, 0, 480, 360, 'Slettet billede', 52340, 'MadsFileHash11AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(62, 19, 1, 'Media/WhatsApp Video/VID-20241206-WA0022.mp4', 61200, 'video/mp4', NULL, 4, 320, 240, NULL, 61200, 'MadsFileHash12AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(63, 19, 1, 'Media/WhatsApp Documents/Kvittering.pdf', 900, 'application/pdf', 'Kvittering.pdf', 0, 0, 0, NULL, 900, 'MadsFileHash13AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(64, 19, 0, NULL, 48211, 'image/jpeg', NULL, 0, 480, 360, NULL, 48211, 'MadsFileHash14AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(65, 19, 1, 'Media/WhatsApp Documents/Faktura "Maj" <2024> & Co''s – Grüße 北京.pdf', 810, 'application/pdf', 'Faktura "Maj" <2024> & Co''s – Grüße 北京.pdf', 0, 0, 0, NULL, 810, 'MadsFileHash15AAAAAAAAAAAAAAAAAAAAAAAAAAAAA='),
(66, 19, 1, 'Media/WhatsApp Images/../../../escaped.jpg', 3000, 'image/jpeg', NULL, 0, 64, 64, '../ i stien', 3000, 'MadsFileHash16AAAAAAAAAAAAAAAAAAAAAAAAAAAAA=');
INSERT INTO message_thumbnail (message_row_id, thumbnail) VALUES
(51, preview_jpeg('tivoli', 96, 72)),
(53, preview_jpeg('skojtebanen', 96, 72)),
(59, preview_jpeg('moved-picture', 96, 72)),
(61, preview_jpeg('deleted-picture', 96, 72));
INSERT INTO media_hash_thumbnail (media_hash, thumbnail)
SELECT file_hash, preview_jpeg(file_hash, 96, 72) FROM message_media WHERE message_row_id IN (62, 64);

-- "Familie & Freunde": a group of 2025 holding a message of every kind current phones write:
-- events with their side tables (members, old subject, number change, disappearing setting),
-- a message still waiting for its keys, a reply, reactions, an edit, a forward, deletions by
-- sender and by admin, view-once media, a place, a live location, a contact card, a poll,
-- calls tied by message_call_log, a kind no version of this program knows, a message from a
-- newer WhatsApp.
INSERT INTO jid (_id, user, server, agent, device, type, raw_string) VALUES
(15, '120363061234567892', 'g.us', 0, 0, 1, '120363061234567892@g.us'),
(16, '351961234567', 's.whatsapp.net', 0, 0, 0, '351961234567@s.whatsapp.net');
INSERT INTO chat (_id, jid_row_id, hidden, subject, created_timestamp, archived, plaintext_disabled,
    group_type) VALUES
(20, 15, 0, 'Familie & Freunde 🏡', 1759300000000, 0, 1, 0);
INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, received_timestamp,
    receipt_server_timestamp, message_type, text_data, starred, sort_id, origination_flags) VALUES
(68, 20, 1, '3EB0A1B2C3D4E5F60001', 0, 6, 1759300000000, 1759300000000, -1, 7, 'Familie Hoffmann 🏡', 0, 68, 0),
(69, 20, 1, '3EB0A1B2C3D4E5F60002', 0, 6, 1759300001000, 1759300001000, -1, 7, NULL, 0, 69, 0),
(70, 20, 0, 'AB00000000000003', 1, 6, 1759300300000, 1759300301400, -1, 7, 'Familie & Freunde 🏡', 0, 70, 0),
(71, 20, 0, 'AB00000000000004', 1, 6, 1759300400000, 1759300401400, -1, 7, NULL, 0, 71, 0),
(72, 20, 0, 'AB00000000000005', 5, 6, 1759301000000, 1759301001400, -1, 7, NULL, 0, 72, 0),
(73, 20, 1, '3EB0A1B2C3D4E5F60006', 0, 6, 1759301100000, 1759301100000, -1, 7, NULL, 0, 73, 0),
(74, 20, 1, '3EB0A1B2C3D4E5F60007', 0, 6, 1759301200000, 1759301200000, -1, 7, NULL, 0, 74, 0),
(75, 20, 0, 'AB00000000000008', 2, 6, 1759301300000, 1759301301400, -1, 7, NULL, 0, 75, 0),
(76, 20, 0, 'AB00000000000009', 0, 6, 1759301400000, 1759301401400, -1, 7, NULL, 0, 76, 0),
(77, 20, 0, 'AB0000000000000A', 1, 6, 1759301500000, 1759301501400, -1, 7, NULL, 0, 77, 0),
(78, 20, 0, 'AB0000000000000B', 2, 0, 1759302000000, 1759302001400, -1, 11, NULL, 0, 78, 0),
(79, 20, 0, 'AB0000000000000C', 1, 0, 1759303000000, 1759303001400, -1, 0, 'Wer kommt am Sonntag? <Kuchen> & Kaffee ☕', 0, 79, 0),
(80, 20, 1, '3EB0A1B2C3D4E5F6000D', 0, 13, 1759303100000, 1759303100000, 1759303100900, 0, 'Ich! Ich bringe den Kuchen mit 🎂', 0, 80, 0),
(81, 20, 0, 'AB0000000000000E', 16, 0, 1759303200000, 1759303201400, -1, 0, 'Bin um 15 Uhr da', 0, 81, 0),
(82, 20, 0, 'AB0000000000000F', 5, 0, 1759303300000, 1759303301400, -1, 0, 'Straßensperrung am Sonntag: Umleitung über die B2', 0, 82, 1),
(83, 20, 1, '3EB0A1B2C3D4E5F60010', 0, 13, 1759303400000, 1759303400000, 1759303400900, 15, NULL, 0, 83, 0),
(84, 20, 0, 'AB00000000000011', 4, 0, 1759303500000, 1759303501400, -1, 15, NULL, 0, 84, 0),
(85, 20, 0, 'AB00000000000012', 1, 0, 1759303600000, 1759303601400, -1, 42, NULL, 0, 85, 0),
(86, 20, 0, 'AB00000000000013', 5, 0, 1759303700000, 1759303701400, -1, 5, NULL, 0, 86, 0),
(87, 20, 1, '3EB0A1B2C3D4E5F60014', 0, 13, 1759303800000, 1759303800000, 1759303800900, 16, NULL, 0, 87, 0),
(88, 20, 0, 'AB00000000000015', 1, 0, 1759303900000, 1759303901400, -1, 4, 'Dr. Maria Schmidt', 0, 88, 0),
(89, 20, 1, '3EB0A1B2C3D4E5F60016', 0, 13, 1759304000000, 1759304000000, 1759304000900, 66, 'Wann grillen wir? 🔥', 0, 89, 0),
(90, 20, 1, '3EB0A1B2C3D4E5F60017', 0, 13, 1759304100000, 1759304100000, 1759304100900, 8, NULL, 0, 90, 0),
(91, 20, 0, 'AB00000000000018', 1, 0, 1759304200000, 1759304201400, -1, 10, NULL, 0, 91, 0),
(92, 20, 0, 'AB00000000000019', 16, 0, 1759304300000, 1759304301400, -1, 99, NULL, 0, 92, 0),
(93, 20, 0, 'AB0000000000001A', 5, 0, 1759304400000, 1759304401400, -1, 98, NULL, 0, 93, 0),
(94, 20, 0, 'AB0000000000001B', 16, 0, 1759304500000, 1759304501400, -1, 0, 'Da war ich schon! 😄', 0, 94, 0);
INSERT INTO message_system (message_row_id, action_type) VALUES
(68, 11), (69, 12), (70, 1), (71, 6), (72, 20), (73, 15), (74, 56), (75, 28), (76, 19), (77, 56);
INSERT INTO message_system_chat_participant (message_row_id, user_jid_row_id) VALUES
(69, 1), (69, 2), (69, 5), (73, 1);
INSERT INTO message_system_value_change (message_row_id, old_data) VALUES (70, 'Familie Hoffmann 🏡');
INSERT INTO message_system_number_change (message_row_id, old_jid_row_id, new_jid_row_id) VALUES (75, 2, 16);
INSERT INTO message_ephemeral_setting (message_row_id, setting_duration, setting_reason) VALUES
(74, 604800, 0), (77, 0, 0);
INSERT INTO message_quoted (message_row_id, chat_row_id, parent_message_chat_row_id, from_me, sender_jid_row_id,
    key_id, timestamp, message_type, text_data) VALUES
(80, 20, 20, 0, 1, 'AB0000000000000C', 1759303000000, 0, 'Wer kommt am Sonntag? <Kuchen> & Kaffee ☕'),
(94, 20, 20, 0, 5, 'AB00000000000013', 1759303700000, 5, NULL);
INSERT INTO message_add_on (_id, chat_row_id, from_me, sender_jid_row_id, key_id, parent_message_row_id, timestamp,
    status, message_add_on_type) VALUES
(3, 20, 0, 16, 'AD00000000000001', 79, 1759303150000, 0, 56),
(4, 20, 0, 5, 'AD00000000000002', 79, 1759303160000, 0, 56),
(5, 20, 1, 0, '3EB0AD00000000000003', 79, 1759303170000, 13, 56),
(6, 20, 0, 4, 'AD00000000000004', 89, 1759304050000, 0, 56);
INSERT INTO message_add_on_reaction (message_add_on_row_id, reaction, sender_timestamp) VALUES
(3, '❤️', 1759303150000), (4, '❤️', 1759303160000), (5, '👍', 1759303170000), (6, '🔥', 1759304050000);
INSERT INTO message_edit_info (message_row_id, original_key_id, edited_timestamp, sender_timestamp) VALUES
(81, 'AB0000000000000E', 1759303260000, 1759303200000);
INSERT INTO message_revoked (message_row_id, revoked_key_id, admin_jid_row_id, revoke_timestamp) VALUES
(83, '3EB0A1B2C3D4E5F60010', NULL, 1759303450000),
(84, 'AB00000000000011', 1, 1759303550000);
INSERT INTO message_view_once_media (message_row_id, state) VALUES (85, 1);
INSERT INTO message_location (message_row_id, chat_row_id, latitude, longitude, place_name, place_address,
    live_location_share_duration, live_location_final_latitude, live_location_final_longitude) VALUES
(86, 20, 48.135125, 11.581981, 'Viktualienmarkt', 'Viktualienmarkt 3, 80331 München', NULL, NULL, NULL),
(87, 20, 48.1372, 11.5755, NULL, NULL, 900, 48.139126, 11.580186);
INSERT INTO message_vcard (message_row_id, vcard) VALUES
(88, 'BEGIN:VCARD
VERSION:3.0
N:Schmidt;Maria;;Dr.;
FN:Dr. Maria Schmidt
TEL;type=CELL;waid=4915123456789:+49 151 23456789
TEL;type=WORK:+49 89 123456
END:VCARD');
INSERT INTO message_poll (message_row_id, selectable_options_count) VALUES (89, 1);
INSERT INTO message_poll_option (message_row_id, option_name, vote_total) VALUES
(89, 'Samstag', 2), (89, 'Sonntag', 1), (89, 'Egal <Hauptsache> Wurst & Brot', 0);
INSERT INTO call_log (_id, jid_row_id, from_me, call_id, transaction_id, timestamp, video_call, duration,
    call_result, bytes_transferred, group_jid_row_id) VALUES
(5, 15, 1, '3EB0A1B2C3D4E5F60017', 100004, 1759304100000, 0, 125, 5, 2625000, 15),
(6, 1, 0, 'AB00000000000018', 100005, 1759304200000, 1, 0, 2, 0, 15);
INSERT INTO message_call_log (message_row_id, call_log_row_id) VALUES (90, 5), (91, 6);
INSERT INTO message_future (message_row_id, version, data) VALUES (93, 7, X'0A0548656C6C6F');

-- Each chat points at its newest message.
UPDATE chat SET last_message_row_id = (SELECT max(_id) FROM message WHERE chat_row_id = chat._id),
    display_message_row_id = (SELECT max(_id) FROM message WHERE chat_row_id = chat._id),
    last_read_message_row_id = (SELECT max(_id) FROM message WHERE chat_row_id = chat._id),
    sort_timestamp = (SELECT max(timestamp) FROM message WHERE chat_row_id = chat._id);
