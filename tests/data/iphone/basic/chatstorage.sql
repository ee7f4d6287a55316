-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- A small ChatStorage.sqlite whose chats hold one case each that the contact list and the chat
-- pages must get right. Dates are Core Data's seconds since 2001-01-01 (700000000 is
-- 2023-03-07 20:26:40 UTC). Media paths are relative to the resource folder's Library/;
-- media.txt makes the files that are meant to be present.

INSERT INTO ZWACHATSESSION (Z_PK, Z_ENT, Z_OPT, ZSESSIONTYPE, ZMESSAGECOUNTER, ZUNREADCOUNT, ZCONTACTJID, ZPARTNERNAME, ZLASTMESSAGEDATE) VALUES
    (1, 1, 3, 0, 14, 0, '4915110000001@s.whatsapp.net', 'Ann Becker', 700000900.875),
    -- no partner name, and two picture rows (an old one left behind)
    (2, 1, 2, 0, 5, 1, '4915110000002@s.whatsapp.net', NULL, 650000500),
    (3, 1, 7, 1, 4, 0, '491511000000-1577836800@g.us', 'Family 👪', 690000030.5),
    -- a chat whose messages were all deleted
    (4, 1, 1, 0, 0, 0, '4915110000004@s.whatsapp.net', 'Dora', NULL),
    -- a jid with a quote, which the specified query text could not even run for
    (5, 1, 1, 0, 2, 0, 'o''neil@s.whatsapp.net', 'Liam O''Neil', 600000001.5);

INSERT INTO ZWAPROFILEPICTUREITEM (Z_PK, Z_ENT, Z_OPT, ZREQUESTDATE, ZJID, ZPATH, ZPICTUREID) VALUES
    (1, 5, 1, 699000000.5, '4915110000001@s.whatsapp.net', 'Media/Profile/4915110000001-1612345678', '1612345678'),
    (2, 5, 1, 600000000.5, '4915110000002@s.whatsapp.net', 'Media/Profile/4915110000002-1600000000', '1600000000'),
    (3, 5, 1, 650000000.5, '4915110000002@s.whatsapp.net', 'Media/Profile/4915110000002-1650000000', '1650000000'),
    (4, 5, 1, 650000000.5, 'nobody@s.whatsapp.net', 'Media/Profile/nobody-1', '1');

INSERT INTO ZWAGROUPMEMBER (Z_PK, Z_ENT, Z_OPT, ZISACTIVE, ZISADMIN, ZCHATSESSION, ZCONTACTNAME, ZFIRSTNAME, ZMEMBERJID) VALUES
    (1, 2, 1, 1, 1, 3, 'Clara Becker', 'Clara', '4915110000003@s.whatsapp.net'),
    (2, 2, 1, 1, 0, 3, NULL, NULL, '4915110000009@s.whatsapp.net');

-- Ann: every body kind, present and missing files, and the rows that must be passed over or
-- shown twice. Sent rows name Ann as ZTOJID, received ones as ZFROMJID.
INSERT INTO ZWAMESSAGE (Z_PK, Z_ENT, Z_OPT, ZISFROMME, ZMESSAGETYPE, ZMESSAGESTATUS, ZSORT, ZCHATSESSION, ZGROUPMEMBER, ZMEDIAITEM, ZMESSAGEDATE, ZSENTDATE, ZFROMJID, ZTOJID, ZPUSHNAME, ZSTANZAID, ZTEXT) VALUES
    (1, 4, 1, 0, 0, 0, 1, 1, NULL, NULL, 700000000.25, 699999999.5, '4915110000001@s.whatsapp.net', NULL, 'Ann', '3A0000000000000000A1', 'a<b>&c'),
    (2, 4, 1, 1, 0, 8, 2, 1, NULL, NULL, 700000100.5, 700000100.25, NULL, '4915110000001@s.whatsapp.net', 'My own name', '3EB00000000000000001', 'See you at 8'),
    (3, 4, 1, 0, 1, 0, 3, 1, NULL, 1, 700000200.75, 700000199.0, '4915110000001@s.whatsapp.net', NULL, 'Ann', '3A0000000000000000A3', NULL),
    (4, 4, 1, 0, 1, 0, 4, 1, NULL, 2, 700000300.0625, 700000299.0, '4915110000001@s.whatsapp.net', NULL, 'Ann', '3A0000000000000000A4', NULL),
    (5, 4, 1, 1, 3, 8, 5, 1, NULL, 3, 700000400.5, 700000400.25, NULL, '4915110000001@s.whatsapp.net', NULL, '3EB00000000000000005', NULL),
    (6, 4, 1, 0, 3, 0, 6, 1, NULL, 4, 700000500.5, 700000499.0, '4915110000001@s.whatsapp.net', NULL, 'Ann', '3A0000000000000000A6', NULL),
    (7, 4, 1, 0, 2, 0, 7, 1, NULL, 5, 700000600.5, 700000599.0, '4915110000001@s.whatsapp.net', NULL, 'Ann', '3A0000000000000000A7', NULL),
    (8, 4, 1, 1, 2, 8, 8, 1, NULL, 6, 700000700.5, 700000700.25, NULL, '4915110000001@s.whatsapp.net', NULL, '3EB00000000000000008', NULL),
    -- a picture whose file was never downloaded: no media item at all
    (9, 4, 1, 0, 1, 0, 9, 1, NULL, NULL, 700000710.5, 700000709.0, '4915110000001@s.whatsapp.net', NULL, 'Ann', '3A0000000000000000A9', NULL),
    -- a picture with two media items: shown once per item
    (10, 4, 1, 0, 1, 0, 10, 1, NULL, 7, 700000720.5, 700000719.0, '4915110000001@s.whatsapp.net', NULL, 'Ann', '3A0000000000000000B0', NULL),
    -- a kind the page has no body for (location) and one without any kind: text bodies
    (11, 4, 1, 0, 5, 0, 11, 1, NULL, NULL, 700000730.5, 700000729.0, '4915110000001@s.whatsapp.net', NULL, 'Ann', '3A0000000000000000B1', NULL),
    (12, 4, 1, 0, NULL, 0, 12, 1, NULL, NULL, 700000740.5, 700000739.0, '4915110000001@s.whatsapp.net', NULL, NULL, '3A0000000000000000B2', 'kind unknown'),
    -- a row without ZISFROMME, which the page passes over
    (13, 4, 1, NULL, 0, 0, 13, 1, NULL, NULL, 700000750.5, 700000749.0, '4915110000001@s.whatsapp.net', NULL, 'Ann', '3A0000000000000000B3', 'never shown'),
    -- a security notice names Ann as sender and receiver; it is still one message of hers
    (14, 4, 1, 0, 10, 0, 14, 1, NULL, NULL, 700000900.875, 700000900.875, '4915110000001@s.whatsapp.net', '4915110000001@s.whatsapp.net', NULL, '3A0000000000000000B4', NULL),
-- Ben: three messages from him and two to him; whole-second dates.
    (20, 4, 1, 0, 0, 0, 1, 2, NULL, NULL, 650000100, 650000099, '4915110000002@s.whatsapp.net', NULL, 'Benny', '3A0000000000000000C0', 'one'),
    (21, 4, 1, 1, 0, 8, 2, 2, NULL, NULL, 650000200, 650000200, NULL, '4915110000002@s.whatsapp.net', NULL, '3EB00000000000000021', 'two'),
    (22, 4, 1, 0, 0, 0, 3, 2, NULL, NULL, 650000300, 650000299, '4915110000002@s.whatsapp.net', NULL, 'Benny', '3A0000000000000000C2', 'three'),
    (23, 4, 1, 1, 0, 8, 4, 2, NULL, NULL, 650000400, 650000400, NULL, '4915110000002@s.whatsapp.net', NULL, '3EB00000000000000023', 'four'),
    (24, 4, 1, 0, 0, 0, 5, 2, NULL, NULL, 650000500, 650000499, '4915110000002@s.whatsapp.net', NULL, NULL, '3A0000000000000000C4', 'five'),
-- The family group: members' push names (one with markup, one missing), the owner, an event.
    (30, 4, 1, 0, 6, 6, 1, 3, NULL, NULL, 690000000.5, 690000000.5, '491511000000-1577836800@g.us', NULL, NULL, '3A0000000000000000D0', NULL),
    (31, 4, 1, 0, 0, 0, 2, 3, 1, NULL, 690000010.5, 690000009.0, '491511000000-1577836800@g.us', NULL, 'Clara <3', '3A0000000000000000D1', 'Dinner at six?'),
    (32, 4, 1, 0, 0, 0, 3, 3, 2, NULL, 690000020.5, 690000019.0, '491511000000-1577836800@g.us', NULL, NULL, '3A0000000000000000D2', 'Who brings dessert?'),
    (33, 4, 1, 1, 0, 8, 4, 3, NULL, NULL, 690000030.5, 690000030.25, NULL, '491511000000-1577836800@g.us', NULL, '3EB00000000000000033', 'I do'),
-- Liam: two messages.
    (40, 4, 1, 0, 0, 0, 1, 5, NULL, NULL, 600000000.25, 599999999.0, 'o''neil@s.whatsapp.net', NULL, 'Liam', '3A0000000000000000E0', 'It''s me'),
    (41, 4, 1, 1, 0, 8, 2, 5, NULL, NULL, 600000001.5, 600000001.25, NULL, 'o''neil@s.whatsapp.net', NULL, '3EB00000000000000041', 'Hi Liam');

INSERT INTO ZWAMEDIAITEM (Z_PK, Z_ENT, Z_OPT, ZMESSAGE, ZMEDIALOCALPATH, ZXMPPTHUMBPATH, ZFILESIZE, ZMOVIEDURATION, ZMEDIAURL) VALUES
    (1, 3, 1, 3, 'Media/4915110000001@s.whatsapp.net/3/a/3a1f0c52-sunset.jpg', 'Media/4915110000001@s.whatsapp.net/3/a/3a1f0c52-sunset.thumb', 0, 0, 'https://mmg.whatsapp.net/v/t62/1.enc'),
    (2, 3, 1, 4, 'Media/4915110000001@s.whatsapp.net/4/b/4b2e1d63-never-copied.jpg', NULL, 0, 0, 'https://mmg.whatsapp.net/v/t62/2.enc'),
    (3, 3, 1, 5, 'Media/4915110000001@s.whatsapp.net/5/c/5c3f2e74-hello.opus', NULL, 7000, 2, 'https://mmg.whatsapp.net/v/t62/3.enc'),
    (4, 3, 1, 6, 'Media/4915110000001@s.whatsapp.net/6/d/6d403f85-lost.opus', NULL, 7000, 2, 'https://mmg.whatsapp.net/v/t62/4.enc'),
    (5, 3, 1, 7, 'Media/4915110000001@s.whatsapp.net/7/e/7e514096-clip.mp4', NULL, 80000, 2, 'https://mmg.whatsapp.net/v/t62/5.enc'),
    (6, 3, 1, 8, 'Media/4915110000001@s.whatsapp.net/8/f/8f6251a7-gone.mp4', NULL, 80000, 2, 'https://mmg.whatsapp.net/v/t62/6.enc'),
    (7, 3, 1, 10, 'Media/4915110000001@s.whatsapp.net/1/0/10a7b2c8-first.jpg', NULL, 0, 0, 'https://mmg.whatsapp.net/v/t62/7.enc'),
    (8, 3, 1, 10, 'Media/4915110000001@s.whatsapp.net/1/0/10a7b2c8-second.jpg', NULL, 0, 0, 'https://mmg.whatsapp.net/v/t62/8.enc');
