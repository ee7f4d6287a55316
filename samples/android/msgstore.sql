-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- Rows of the sample folder's databases/msgstore.db (the tables come from
-- tests/data/android/msgstore-schema.sql). The messages are stored chat by chat, as a phone
-- restoring a backup writes them, so _id order is not time order across chats.
-- Columns left out are NULL, as in rows older than the columns WhatsApp added later.
-- Timestamps are milliseconds since 1970 (UTC), 2019 to 2024.

-- Every msgstore.db begins with a system row that belongs to no chat.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('-1', 0, '-1', 6, 0, NULL, 1561881600000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1561881600000, -1, -1, 0);

-- Anna Müller (address-book name beats her chosen name): German with umlauts; image with
-- caption, voice note, video, outgoing call, missed call; a multi-line text; a reply quoting
-- the message stored as messages_quotes row 1.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('4915112345678@s.whatsapp.net', 0, '5A17C0DE9E3779B1', 0, 0, 'Hallo! Bist du schon in München angekommen?', 1561972323000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1561972324400, -1, -1, 0),
('4915112345678@s.whatsapp.net', 1, '5A17C0DF3C6EF362', 13, 0, 'Ja, gerade eben. Schöne Grüße vom Marienplatz!', 1561972480000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1561972480000, -1, 1561972480900, 0),
('4915112345678@s.whatsapp.net', 1, '3EB05A17C0DFDAA66D13', 13, 0, NULL, 1561972502000, 'https://mmg.whatsapp.net/d/f/WvhykjnPq6QZROYZBrXxKazFV8Q.enc', 'image/jpeg', '1', 284211, NULL, 'Der Blick vom Alten Peter 😍', 'a4ayc/80/OGda4BO/1o/V0etpOqiLx1JwB5S3beHW0s=', 0, 0, 0.0, 0.0, NULL, 1561972502000, -1, 1561972502900, 0),
('4915112345678@s.whatsapp.net', 0, '5A17C0E078DDE6C4', 0, 0, NULL, 1561972817000, 'https://mmg.whatsapp.net/d/f/7MnAK6xSYJz3mQoofJTK0D0owIY.enc', 'audio/ogg; codecs=opus', '2', 23514, NULL, NULL, '1HNeOiZeFu7gP1lxi5tdAwGcB9i2xR+Q2jpmbuwTqzU=', 11, 1, 0.0, 0.0, NULL, 1561972818400, -1, -1, 0),
('4915112345678@s.whatsapp.net', 0, '5A17C0E117156075', 0, 0, 'Treffen wir uns um 19 Uhr?
Ich reserviere im Café Frühling.
Bis später!', 1562004175000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1562004176400, -1, -1, 0),
('4915112345678@s.whatsapp.net', 1, '3EB05A17C0E1B54CDA26', 13, 0, NULL, 1562004330000, NULL, NULL, '8', 0, NULL, NULL, NULL, 214, 0, 0.0, 0.0, NULL, 1562004330000, -1, 1562004330900, 0),
('4915112345678@s.whatsapp.net', 0, '5A17C0E2538453D7', 0, 0, NULL, 1608831000000, 'https://mmg.whatsapp.net/d/f/1lNND-8nZbTXWK9ZP_MsmrdE_vE.enc', 'video/mp4', '3', 5123877, NULL, 'Frohe Weihnachten! 🎄', 'TgdAhWK+24tgzgXB3s/jrRa3IjCWfeAfZAt+Rym0n84=', 34, 0, 0.0, 0.0, NULL, 1608831001400, -1, -1, 0),
('4915112345678@s.whatsapp.net', 1, '5A17C0E2F1BBCD88', 13, 0, 'Danke, euch auch! Grüß Oma von mir ❤️', 1608831672000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1608831672000, -1, 1608831672900, 0),
('4915112345678@s.whatsapp.net', 0, '5A17C0E38FF34739', 0, 0, NULL, 1614671921000, NULL, NULL, '10', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1614671922400, -1, -1, 0),
('4915112345678@s.whatsapp.net', 0, '5A17C0E42E2AC0EA', 0, 0, 'Kannst du mich zurückrufen? Es geht um Samstag.', 1614672069000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1614672070400, -1, -1, 0),
('4915112345678@s.whatsapp.net', 1, '5A17C0E4CC623A9B', 13, 0, 'Klar, bin gleich da.', 1614673844000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1614673844000, -1, 1614673844900, 1),
('4915112345678@s.whatsapp.net', 0, '5A17C0E56A99B44C', 0, 0, 'Überraschung: Wir heiraten im September! 💍🎉', 1716033600000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1716033601400, -1, -1, 0);

-- Émilie Rousseau (name only in wa_name): French with accents and typographic apostrophes;
-- a document, a GIF, a link with & and =.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('33612345678@s.whatsapp.net', 0, '5A17C0E608D12DFD', 0, 0, 'Coucou ! Tu as reçu le dossier pour l’appartement ?', 1568493910000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1568493911400, -1, -1, 0),
('33612345678@s.whatsapp.net', 0, '5A17C0E6A708A7AE', 0, 0, NULL, 1568493952000, 'https://mmg.whatsapp.net/d/f/OR2LsExgybet_lzTdubvrUVR4BA.enc', 'application/pdf', '9', 482113, 'Dossier location – Émilie.pdf', NULL, 'SyJ3d9TdH8Ycb4hPSGQdArTRIdP9Moywi1Ux/Kzav4o=', 0, 0, 0.0, 0.0, NULL, 1568493953400, -1, -1, 0),
('33612345678@s.whatsapp.net', 1, '3EB05A17C0E74540215F', 13, 0, 'Oui, merci ! Je regarde ça demain matin à la première heure.', 1568495007000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1568495007000, -1, 1568495007900, 0),
('33612345678@s.whatsapp.net', 0, '5A17C0E7E3779B10', 0, 0, NULL, 1568495041000, 'https://mmg.whatsapp.net/d/f/dAqcRhvSixCxl1qQXo8c8eP6pFg.enc', 'video/mp4', '13', 812455, NULL, NULL, '7y0SfeN7lCuq0GFF5UsMYZofIjJ7LrvPvsePVWSv450=', 3, 0, 0.0, 0.0, NULL, 1568495042400, -1, -1, 0),
('33612345678@s.whatsapp.net', 1, '5A17C0E881AF14C1', 13, 0, 'Regarde : https://example.org/recette?plat=crème-brûlée&portions=4', 1644574500000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1644574500000, -1, 1644574500900, 0),
('33612345678@s.whatsapp.net', 0, '5A17C0E91FE68E72', 0, 0, 'Miam 😋 À samedi, alors !', 1644574590000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1644574591400, -1, -1, 0);

-- 王伟 (Chinese address-book name): Chinese text, a sticker, a location.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('8613812345678@s.whatsapp.net', 0, '5A17C0E9BE1E0823', 0, 0, '你好！春节快乐，新年大吉！🧧', 1579489905000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1579489906400, -1, -1, 0),
('8613812345678@s.whatsapp.net', 1, '5A17C0EA5C5581D4', 13, 0, '谢谢！也祝你和家人身体健康，万事如意。', 1579491002000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1579491002000, -1, 1579491002900, 0),
('8613812345678@s.whatsapp.net', 0, '5A17C0EAFA8CFB85', 0, 0, NULL, 1579491070000, 'https://mmg.whatsapp.net/d/f/MYsRKYsmh71T5YSdqIzYkRUSR80.enc', 'image/webp', '20', 24210, NULL, NULL, '5/bAEXdujbfNMwtUF0/Xb30CFrYSOHpf/PuB5vCRloM=', 0, 0, 0.0, 0.0, NULL, 1579491071400, -1, -1, 0),
('8613812345678@s.whatsapp.net', 0, '5A17C0EB98C47536', 0, 0, NULL, 1686223200000, NULL, NULL, '5', 0, '故宫博物院', NULL, NULL, 0, 0, 39.9163, 116.3972, NULL, 1686223201400, -1, -1, 0),
('8613812345678@s.whatsapp.net', 0, '5A17C0EC36FBEEE7', 0, 0, '我们在这里见面，好吗？', 1686223230000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1686223231400, -1, -1, 0),
('8613812345678@s.whatsapp.net', 1, '3EB05A17C0ECD5336898', 13, 0, '好的，半小时后到。', 1686223512000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1686223512000, -1, 1686223512900, 0);

-- فاطمة الزهراء (display_name empty, so the wa_name counts): Arabic, mixed with Latin in one
-- line; a deleted message (no data); a contact card whose vCard is the data.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('971501234567@s.whatsapp.net', 0, '5A17C0ED736AE249', 0, 0, 'رمضان كريم! كل عام وأنتم بخير 🌙', 1618340700000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1618340701400, -1, -1, 0),
('971501234567@s.whatsapp.net', 1, '5A17C0EE11A25BFA', 13, 0, 'وأنتم بخير، شكرا جزيلا', 1618341641000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1618341641000, -1, 1618341641900, 0),
('971501234567@s.whatsapp.net', 0, '5A17C0EEAFD9D5AB', 0, 0, NULL, 1618341728000, NULL, NULL, '15', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1618341729400, -1, -1, 0),
('971501234567@s.whatsapp.net', 0, '5A17C0EF4E114F5C', 0, 0, 'BEGIN:VCARD
VERSION:3.0
N:Haddad;Karim;;Dr.;
FN:Dr. Karim Haddad
TEL;type=CELL;waid=971509876543:+971 50 987 6543
END:VCARD', 1618341810000, NULL, NULL, '4', 0, 'Dr. Karim Haddad', NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1618341811400, -1, -1, 0),
('971501234567@s.whatsapp.net', 1, '5A17C0EFEC48C90D', 13, 0, 'Thanks! سأتصل به غدا إن شاء الله', 1618342200000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1618342200000, -1, 1618342200900, 0);

-- A jid with a single quote in it: statistics and message queries built by splicing the jid
-- into SQL text break on it, bound parameters do not.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('4915''2@s.whatsapp.net', 0, '5A17C0F08A8042BE', 0, 0, 'It''s Seán — I''m using my sister''s old phone, don''t ask ;)', 1596895200000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1596895201400, -1, -1, 0),
('4915''2@s.whatsapp.net', 1, '5A17C0F128B7BC6F', 13, 0, 'Ha, O''Brien''s back! See you at the pub at 8?', 1596895390000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1596895390000, -1, 1596895390900, 0),
('4915''2@s.whatsapp.net', 0, '5A17C0F1C6EF3620', 0, 0, 'Grand, see you there.', 1596895555000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1596895556400, -1, -1, 0);

-- A hostile contact name and hostile texts: markup, quotes of both kinds, backslashes,
-- entity-like text, a multi-line text with an empty line.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('447700900123@s.whatsapp.net', 0, '5A17C0F26526AFD1', 0, 0, '<b>bold</b> and <i>italic</i> must stay literal', 1664640000000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1664640001400, -1, -1, 0),
('447700900123@s.whatsapp.net', 1, '5A17C0F3035E2982', 13, 0, 'He said "hi" and it''s ''fine'' — no escaping problems?', 1664640060000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1664640060000, -1, 1664640060900, 0),
('447700900123@s.whatsapp.net', 0, '5A17C0F3A195A333', 0, 0, 'Backslashes: C:\Users\anna\Desktop\ and \n is not a newline \\ end', 1664640120000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1664640121400, -1, -1, 0),
('447700900123@s.whatsapp.net', 0, '5A17C0F43FCD1CE4', 0, 0, '<script>alert(''x'')</script>&amp; &lt;not an entity&gt; </div></body>', 1664640180000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1664640181400, -1, -1, 0),
('447700900123@s.whatsapp.net', 1, '5A17C0F4DE049695', 13, 0, 'Line one
Line two with <tag>

  indented line four
', 1664640240000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1664640240000, -1, 1664640240900, 0);

-- No name anywhere, so the number stands for it: missed call, unanswered call, a system
-- notice (security code changed: status 6, no data), live location.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('14155550123@s.whatsapp.net', 0, '5A17C0F57C3C1046', 0, 0, NULL, 1572991800000, NULL, NULL, '10', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1572991801400, -1, -1, 0),
('14155550123@s.whatsapp.net', 1, '3EB05A17C0F61A7389F7', 13, 0, NULL, 1572991951000, NULL, NULL, '8', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1572991951000, -1, 1572991951900, 0),
('14155550123@s.whatsapp.net', 0, '5A17C0F6B8AB03A8', 0, 0, 'sorry, wrong number 🙈', 1572991995000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1572991996400, -1, -1, 0),
('14155550123@s.whatsapp.net', 0, '5A17C0F756E27D59', 6, 0, NULL, 1673254800000, NULL, NULL, '0', 18, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1673254801400, -1, -1, 0),
('14155550123@s.whatsapp.net', 0, '5A17C0F7F519F70A', 0, 0, NULL, 1673254805000, NULL, NULL, '16', 0, NULL, NULL, NULL, 3600, 0, 37.7793, -122.4193, NULL, 1673254806400, -1, -1, 0);

-- Mikko Häkkinen (address-book name and a different chosen name): Finnish, emoji with
-- joiners, skin tones and flags, an emoji-only text, a long text.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('358401234567@s.whatsapp.net', 0, '5A17C0F8935170BB', 0, 0, 'Hyvää uutta vuotta! 🎆🥂🇫🇮', 1577833199000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1577833200400, -1, -1, 0),
('358401234567@s.whatsapp.net', 1, '5A17C0F93188EA6C', 13, 0, 'Kiitos samoin! 👨‍👩‍👧‍👦❤️👍🏽', 1577833230000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1577833230000, -1, 1577833230900, 0),
('358401234567@s.whatsapp.net', 0, '5A17C0F9CFC0641D', 0, 0, 'Sauna tänään klo 18? 🧖‍♂️ Otan makkarat mukaan.', 1657867500000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1657867501400, -1, -1, 0),
('358401234567@s.whatsapp.net', 1, '5A17C0FA6DF7DDCE', 13, 0, '👍', 1657867812000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1657867812000, -1, 1657867812900, 0),
('358401234567@s.whatsapp.net', 0, '5A17C0FB0C2F577F', 0, 0, 'Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti. Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti. Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti. Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti. Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti. Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti. Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti. Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti. Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti. Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti. Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti. Pitkä viesti: järvellä oli eilen niin tyyntä, että näki pohjaan asti.', 1657867860000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1657867861400, -1, -1, 0);

-- さくら🌸 (Japanese chosen name); she also writes in the trip group.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('819012345678@s.whatsapp.net', 0, '5A17C0FBAA66D130', 0, 0, 'お花見に行きませんか？🌸', 1711761300000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1711761301400, -1, -1, 0),
('819012345678@s.whatsapp.net', 1, '5A17C0FC489E4AE1', 13, 0, 'いいですね！土曜日はどうですか？', 1711761600000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, 1711761600000, -1, 1711761600900, 0);

-- Group "Familie Müller", created by Anna: creation and member-added system rows, members
-- writing (remote_resource), one of them (491701234567) in no address book.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('4915112345678-1561975200@g.us', 0, '5A17C0FCE6D5C492', 6, 0, NULL, 1561975200000, NULL, NULL, '0', 11, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '4915112345678@s.whatsapp.net', 1561975201400, -1, -1, 0),
('4915112345678-1561975200@g.us', 0, '5A17C0FD850D3E43', 6, 0, NULL, 1561975201000, NULL, NULL, '0', 12, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '4915112345678@s.whatsapp.net', 1561975202400, -1, -1, 0),
('4915112345678-1561975200@g.us', 0, '5A17C0FE2344B7F4', 0, 0, 'Willkommen in der Familiengruppe! 😊', 1561975320000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '4915112345678@s.whatsapp.net', 1561975321400, -1, -1, 0),
('4915112345678-1561975200@g.us', 0, '5A17C0FEC17C31A5', 0, 0, 'Servus miteinand! Hier ist Onkel Franz.', 1561975544000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '491701234567@s.whatsapp.net', 1561975545400, -1, -1, 0),
('4915112345678-1561975200@g.us', 1, '3EB05A17C0FF5FB3AB56', 13, 0, 'Hallo zusammen!', 1561975630000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '', 1561975630000, -1, 1561975630900, 0),
('4915112345678-1561975200@g.us', 0, '5A17C0FFFDEB2507', 0, 0, NULL, 1629559800000, 'https://mmg.whatsapp.net/d/f/FoRiV26SHwrD7HyQ-LbXm-bFUkg.enc', 'image/jpeg', '1', 1934410, NULL, 'Grillfest 🍖', 'eQJpm+Qsio5G+7tFAXJlF+hrIsVqGJ92JabaSQgbJFE=', 0, 0, 0.0, 0.0, '491701234567@s.whatsapp.net', 1629559801400, -1, -1, 0),
('4915112345678-1561975200@g.us', 0, '5A17C1009C229EB8', 0, 0, NULL, 1629559880000, 'https://mmg.whatsapp.net/d/f/G1CGV-YtGF_xx_-Bw4LHusL4W-o.enc', 'audio/ogg; codecs=opus', '2', 41233, NULL, NULL, 'LGJCMs3SIXcSlN+7MQrKAAoN9qyLZraW2Q7wb977ZKM=', 19, 1, 0.0, 0.0, '4915112345678@s.whatsapp.net', 1629559881400, -1, -1, 0),
('4915112345678-1561975200@g.us', 1, '3EB05A17C1013A5A1869', 13, 0, NULL, 1629560400000, 'https://mmg.whatsapp.net/d/f/LYxy9q2IO4NhDLKinIe4168WVYQ.enc', 'image/jpeg', '1', 2201337, NULL, NULL, 'GVgeJ9587QD/HOULIEfnpWfHaxy666vl7wP3wwF7tbc=', 0, 0, 0.0, 0.0, '', 1629560400000, -1, 1629560400900, 0),
('4915112345678-1561975200@g.us', 0, '5A17C101D891921A', 0, 0, 'Danke für den schönsten Tag unseres Lebens 💐', 1726344000000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '4915112345678@s.whatsapp.net', 1726344001400, -1, -1, 0);

-- Group "Voyage à Pékin 北京 ✈️", created by the phone's owner: French, Chinese and Japanese
-- members, a video, a location and a deleted message from members, a subject change.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('4917612345678-1600000000@g.us', 1, '5A17C10276C90BCB', 6, 0, NULL, 1600000000000, NULL, NULL, '0', 11, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '', 1600000000000, -1, 1600000000900, 0),
('4917612345678-1600000000@g.us', 0, '5A17C1031500857C', 0, 0, 'Salut tout le monde ! On part le 3 octobre ✈️', 1600000200000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '33612345678@s.whatsapp.net', 1600000201400, -1, -1, 0),
('4917612345678-1600000000@g.us', 0, '5A17C103B337FF2D', 0, 0, '太好了！我来当导游 😄', 1600000275000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '8613812345678@s.whatsapp.net', 1600000276400, -1, -1, 0),
('4917612345678-1600000000@g.us', 0, '5A17C104516F78DE', 0, 0, '楽しみです！', 1600000380000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '819012345678@s.whatsapp.net', 1600000381400, -1, -1, 0),
('4917612345678-1600000000@g.us', 1, '3EB05A17C104EFA6F28F', 13, 0, 'Super, je réserve l’hôtel près de 王府井.', 1600000500000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '', 1600000500000, -1, 1600000500900, 0),
('4917612345678-1600000000@g.us', 0, '5A17C1058DDE6C40', 0, 0, NULL, 1601798400000, 'https://mmg.whatsapp.net/d/f/qgglWiOOO6LYzw8xY7xdxYtvxZs.enc', 'video/mp4', '3', 8823001, NULL, NULL, 'SkTcFTZCBKgP6A6QOUVcwWCCgYIP4rJPHlIzreavHdU=', 58, 0, 0.0, 0.0, '8613812345678@s.whatsapp.net', 1601798401400, -1, -1, 0),
('4917612345678-1600000000@g.us', 0, '5A17C1062C15E5F1', 0, 0, NULL, 1601799000000, NULL, NULL, '5', 0, '天安门广场', NULL, NULL, 0, 0, 39.9087, 116.3975, '8613812345678@s.whatsapp.net', 1601799001400, -1, -1, 0),
('4917612345678-1600000000@g.us', 0, '5A17C106CA4D5FA2', 0, 0, NULL, 1601799120000, NULL, NULL, '15', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '33612345678@s.whatsapp.net', 1601799121400, -1, -1, 0),
('4917612345678-1600000000@g.us', 0, '5A17C1076884D953', 6, 0, NULL, 1601888400000, NULL, NULL, '0', 1, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '33612345678@s.whatsapp.net', 1601888401400, -1, -1, 0),
('4917612345678-1600000000@g.us', 0, '5A17C10806BC5304', 0, 0, 'J’ai changé le nom du groupe 😅', 1601888460000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '33612345678@s.whatsapp.net', 1601888461400, -1, -1, 0);

-- Status posts: a pseudo-chat that is in no address book.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('status@broadcast', 0, '5A17C108A4F3CCB5', 0, 0, NULL, 1688198400000, 'https://mmg.whatsapp.net/d/f/u3RRTQrr6aNJaRhnd0UZ1yk9tLk.enc', 'image/jpeg', '1', 301222, NULL, 'Sommer! ☀️', 'T8grJq7LR9KGjE7741gXMqPny8xsLvsyBiwIFwoF7rg=', 0, 0, 0.0, 0.0, '4915112345678@s.whatsapp.net', 1688198401400, -1, -1, 0),
('status@broadcast', 0, '5A17C109432B4666', 0, 0, 'Mökillä 🌲🛶', 1688326200000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, '358401234567@s.whatsapp.net', 1688326201400, -1, -1, 0);

-- Sofia Lindqvist: media of every kind, the path of each file inside thumb_image as the
-- MediaData object older phones keep there, previews in raw_data. Most files are in the
-- sample's WhatsApp/Media folder (media.txt); two were moved to another folder since, two are
-- gone (one with a preview in message_thumbnails too), one was never downloaded (a MediaData
-- without a file); a file name is hostile and one path climbs out of the media folder.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_url, media_mime_type, media_wa_type, media_size, media_name, media_caption, media_hash, media_duration, origin, latitude, longitude, thumb_image, raw_data, remote_resource, received_timestamp, send_timestamp, receipt_server_timestamp, quoted_row_id) VALUES
('46709876543@s.whatsapp.net', 0, '5A17C2000000A001', 0, 0, 'Hej! Här kommer bilderna från Abisko 📸', 1733220000000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, NULL, NULL, 1733220001400, -1, -1, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A002', 0, 0, NULL, 1733220097000, 'https://mmg.whatsapp.net/d/f/Sofia01Media.enc', 'image/jpeg', '1', 41233, NULL, 'Norrsken över Abisko 🌌', 'SofiaMediaHash01AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 0, 0, 0.0, 0.0, media_data('Media/WhatsApp Images/IMG-20241203-WA0000.jpg', 41233), preview_jpeg('abisko', 96, 72), NULL, 1733220098400, -1, -1, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A003', 0, 0, NULL, 1733220194000, 'https://mmg.whatsapp.net/d/f/Sofia02Media.enc', 'audio/ogg; codecs=opus', '2', 9120, NULL, NULL, 'SofiaMediaHash02AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 5, 1, 0.0, 0.0, media_data('Media/WhatsApp Voice Notes/202412/PTT-20241203-WA0001.opus', 9120), NULL, NULL, 1733220195400, -1, -1, 0),
('46709876543@s.whatsapp.net', 1, '3EB05A17C2000000A004', 13, 0, NULL, 1733220291000, 'https://mmg.whatsapp.net/d/f/Sofia03Media.enc', 'video/mp4', '3', 88211, NULL, 'Hundspann 🐕', 'SofiaMediaHash03AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 3, 0, 0.0, 0.0, media_data('Media/WhatsApp Video/Sent/VID-20241203-WA0002.mp4', 88211), preview_jpeg('hundspann', 96, 72), NULL, 1733220291000, -1, 1733220291900, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A005', 0, 0, NULL, 1733220388000, 'https://mmg.whatsapp.net/d/f/Sofia04Media.enc', 'video/mp4', '13', 23011, NULL, NULL, 'SofiaMediaHash04AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 2, 0, 0.0, 0.0, media_data('Media/WhatsApp Animated Gifs/VID-20241203-WA0003.mp4', 23011), NULL, NULL, 1733220389400, -1, -1, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A006', 0, 0, NULL, 1733220485000, 'https://mmg.whatsapp.net/d/f/Sofia05Media.enc', 'image/webp', '20', 12044, NULL, NULL, 'SofiaMediaHash05AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 0, 0, 0.0, 0.0, media_data('Media/WhatsApp Stickers/STK-20241203-WA0004.webp', 12044), NULL, NULL, 1733220486400, -1, -1, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A007', 0, 0, NULL, 1733220582000, 'https://mmg.whatsapp.net/d/f/Sofia06Media.enc', 'audio/mpeg', '2', 16300, 'AUD-20241203-WA0005.mp3', NULL, 'SofiaMediaHash06AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 2, 0, 0.0, 0.0, media_data('Media/WhatsApp Audio/AUD-20241203-WA0005.mp3', 16300), NULL, NULL, 1733220583400, -1, -1, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A008', 0, 0, NULL, 1733220679000, 'https://mmg.whatsapp.net/d/f/Sofia07Media.enc', 'application/pdf', '9', 711, 'Packlista vinter.pdf', NULL, 'SofiaMediaHash07AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 0, 0, 0.0, 0.0, media_data('Media/WhatsApp Documents/Packlista vinter.pdf', 711), NULL, NULL, 1733220680400, -1, -1, 0),
('46709876543@s.whatsapp.net', 1, '3EB05A17C2000000A009', 13, 0, NULL, 1733220776000, 'https://mmg.whatsapp.net/d/f/Sofia08Media.enc', 'image/jpeg', '1', 38810, NULL, NULL, 'SofiaMediaHash08AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 0, 0, 0.0, 0.0, media_data('Media/WhatsApp Images/Sent/IMG-20241204-WA0006.jpg', 38810), preview_jpeg('sent-sauna', 96, 72), NULL, 1733220776000, -1, 1733220776900, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A00A', 0, 0, NULL, 1733220873000, 'https://mmg.whatsapp.net/d/f/Sofia09Media.enc', 'image/jpeg', '1', 30117, NULL, 'Bara för dig 🤫', 'SofiaMediaHash09AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 0, 0, 0.0, 0.0, media_data('Media/WhatsApp Images/Private/IMG-20241204-WA0007.jpg', 30117), NULL, NULL, 1733220874400, -1, -1, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A00B', 0, 0, NULL, 1733220970000, 'https://mmg.whatsapp.net/d/f/Sofia10Media.enc', 'image/jpeg', '1', 33404, NULL, 'Flyttad bild', 'SofiaMediaHash10AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 0, 0, 0.0, 0.0, media_data('Media/WhatsApp Images/IMG-20241205-WA0008.jpg', 33404), preview_jpeg('moved-picture', 96, 72), NULL, 1733220971400, -1, -1, 0),
('46709876543@s.whatsapp.net', 1, '3EB05A17C2000000A00C', 13, 0, NULL, 1733221067000, 'https://mmg.whatsapp.net/d/f/Sofia11Media.enc', 'video/mp4', '3', 77102, NULL, NULL, 'SofiaMediaHash11AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 3, 0, 0.0, 0.0, media_data('Media/WhatsApp Video/Sent/VID-20241205-WA0009.mp4', 77102), NULL, NULL, 1733221067000, -1, 1733221067900, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A00D', 0, 0, NULL, 1733221164000, 'https://mmg.whatsapp.net/d/f/Sofia12Media.enc', 'image/jpeg', '1', 52340, NULL, 'Borttagen bild', 'SofiaMediaHash12AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 0, 0, 0.0, 0.0, media_data('Media/WhatsApp Images/IMG-20241206-WA0010.jpg', 52340), preview_jpeg('deleted-picture', 96, 72), NULL, 1733221165400, -1, -1, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A00E', 0, 0, NULL, 1733221261000, 'https://mmg.whatsapp.net/d/f/Sofia13Media.enc', 'video/mp4', '3', 61200, NULL, NULL, 'SofiaMediaHash13AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 4, 0, 0.0, 0.0, media_data('Media/WhatsApp Video/VID-20241206-WA0011.mp4', 61200), NULL, NULL, 1733221262400, -1, -1, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A00F', 0, 0, NULL, 1733221358000, 'https://mmg.whatsapp.net/d/f/Sofia14Media.enc', 'image/jpeg', '1', 48211, NULL, NULL, 'SofiaMediaHash14AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 0, 0, 0.0, 0.0, media_data('', 48211), NULL, NULL, 1733221359400, -1, -1, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A010', 0, 0, NULL, 1733221455000, 'https://mmg.whatsapp.net/d/f/Sofia15Media.enc', 'application/pdf', '9', 812, 'Räkning "Maj" <2024> & Co''s – Grüße 北京.pdf', NULL, 'SofiaMediaHash15AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 0, 0, 0.0, 0.0, media_data('Media/WhatsApp Documents/Räkning "Maj" <2024> & Co''s – Grüße 北京.pdf', 812), NULL, NULL, 1733221456400, -1, -1, 0),
('46709876543@s.whatsapp.net', 0, '5A17C2000000A011', 0, 0, NULL, 1733221552000, 'https://mmg.whatsapp.net/d/f/Sofia16Media.enc', 'image/jpeg', '1', 30000, NULL, '../ i sökvägen', 'SofiaMediaHash16AAAAAAAAAAAAAAAAAAAAAAAAAAAA=', 0, 0, 0.0, 0.0, media_data('Media/WhatsApp Images/../../../escaped.jpg', 30000), NULL, NULL, 1733221553400, -1, -1, 0),
('46709876543@s.whatsapp.net', 1, '5A17C2000000A012', 13, 0, 'Tack! Vilken resa 😍', 1733221649000, NULL, NULL, '0', 0, NULL, NULL, NULL, 0, 0, 0.0, 0.0, NULL, NULL, NULL, 1733221649000, -1, 1733221649900, 0);
INSERT INTO message_thumbnails (thumbnail, timestamp, key_remote_jid, key_from_me, key_id)
SELECT raw_data, timestamp, key_remote_jid, key_from_me, key_id FROM messages
WHERE key_remote_jid = '46709876543@s.whatsapp.net' AND key_id IN ('5A17C2000000A002', '5A17C2000000A00D');

-- The frozen copy of the message Anna's reply quotes.
INSERT INTO messages_quotes (_id, key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp,
    media_wa_type, media_size, media_duration, origin, latitude, longitude, received_timestamp, send_timestamp,
    receipt_server_timestamp)
SELECT 1, key_remote_jid, key_from_me, key_id, status, needs_push, data, timestamp, media_wa_type, media_size,
    media_duration, origin, latitude, longitude, received_timestamp, send_timestamp, receipt_server_timestamp
FROM messages WHERE key_remote_jid = '4915112345678@s.whatsapp.net' AND data LIKE 'Kannst du mich%';

-- One chat_list row per chat, pointing at its newest message.
INSERT INTO chat_list (key_remote_jid, message_table_id, subject, creation, last_read_message_table_id,
    last_read_receipt_sent_message_table_id, archived, sort_timestamp, mod_tag, my_messages, plaintext_disabled,
    last_message_table_id, unseen_message_count, unseen_missed_calls_count, unseen_row_count)
SELECT key_remote_jid, MAX(_id), NULL, NULL, MAX(_id), MAX(_id), 0, MAX(timestamp), 0, 1, 1, MAX(_id), 0, 0, 0
FROM messages WHERE key_remote_jid <> '-1' AND key_remote_jid NOT LIKE '%@g.us'
GROUP BY key_remote_jid ORDER BY MIN(_id);
INSERT INTO chat_list (key_remote_jid, message_table_id, subject, creation, last_read_message_table_id,
    last_read_receipt_sent_message_table_id, archived, sort_timestamp, mod_tag, my_messages, plaintext_disabled,
    last_message_table_id, unseen_message_count, unseen_missed_calls_count, unseen_row_count)
SELECT key_remote_jid, MAX(_id), CASE key_remote_jid WHEN '4915112345678-1561975200@g.us' THEN 'Familie Müller 👨‍👩‍👧'
    ELSE 'Voyage à Pékin 北京 ✈️' END, MIN(timestamp), MAX(_id), MAX(_id), 0, MAX(timestamp), 0, 1, 1, MAX(_id),
    0, 0, 0
FROM messages WHERE key_remote_jid LIKE '%@g.us' GROUP BY key_remote_jid ORDER BY MIN(_id);

-- Group members; the phone's owner is the row with an empty jid.
INSERT INTO group_participants (gjid, jid, admin, pending, sent_sender_key) VALUES
('4915112345678-1561975200@g.us', '', 0, 0, 1),
('4915112345678-1561975200@g.us', '4915112345678@s.whatsapp.net', 1, 0, 1),
('4915112345678-1561975200@g.us', '491701234567@s.whatsapp.net', 0, 0, 1),
('4917612345678-1600000000@g.us', '', 1, 0, 1),
('4917612345678-1600000000@g.us', '33612345678@s.whatsapp.net', 0, 0, 1),
('4917612345678-1600000000@g.us', '8613812345678@s.whatsapp.net', 0, 0, 1),
('4917612345678-1600000000@g.us', '819012345678@s.whatsapp.net', 0, 0, 1);

-- Read receipts of the members for the owner's hotel message in the trip group.
INSERT INTO receipts (key_remote_jid, key_id, remote_resource, receipt_device_timestamp, read_device_timestamp,
    played_device_timestamp)
SELECT m.key_remote_jid, m.key_id, member.jid, m.timestamp + 2100, m.timestamp + 65000, NULL
FROM messages AS m,
     (SELECT '33612345678@s.whatsapp.net' AS jid UNION ALL SELECT '8613812345678@s.whatsapp.net' UNION ALL SELECT '819012345678@s.whatsapp.net') AS member
WHERE m.key_remote_jid = '4917612345678-1600000000@g.us' AND m.data LIKE 'Super, je réserve%';
