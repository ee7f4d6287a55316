-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- Media paths and names that must neither break a page nor carry a copy out of an export
-- folder, and a voice note that is not Ogg Opus at all. media.txt makes the files that exist.

INSERT INTO ZWACHATSESSION (Z_PK, Z_ENT, Z_OPT, ZSESSIONTYPE, ZCONTACTJID, ZPARTNERNAME) VALUES
    (1, 1, 1, 0, 'hostile@s.whatsapp.net', '<b>Mallory</b>'),
    (2, 1, 1, 0, 'second@s.whatsapp.net', 'Second');

INSERT INTO ZWAMESSAGE (Z_PK, Z_ENT, Z_OPT, ZISFROMME, ZMESSAGETYPE, ZCHATSESSION, ZMEDIAITEM, ZMESSAGEDATE, ZFROMJID, ZTOJID, ZPUSHNAME, ZTEXT) VALUES
    (1, 4, 1, 0, 1, 1, 1, 700000001.5, 'hostile@s.whatsapp.net', NULL, '<img src=x onerror=alert(1)>', NULL),
    (2, 4, 1, 0, 3, 1, 2, 700000002.5, 'hostile@s.whatsapp.net', NULL, 'M', NULL),
    (3, 4, 1, 0, 2, 1, 3, 700000003.5, 'hostile@s.whatsapp.net', NULL, 'M', NULL),
    (4, 4, 1, 0, 1, 1, 4, 700000004.5, 'hostile@s.whatsapp.net', NULL, 'M', NULL),
    (5, 4, 1, 0, 1, 1, 5, 700000005.5, 'hostile@s.whatsapp.net', NULL, 'M', NULL),
    (6, 4, 1, 0, 1, 1, 6, 700000006.5, 'hostile@s.whatsapp.net', NULL, 'M', NULL),
    (7, 4, 1, 0, 1, 1, 7, 700000007.5, 'hostile@s.whatsapp.net', NULL, 'M', NULL),
    (8, 4, 1, 0, 1, 1, 8, 700000008.5, 'hostile@s.whatsapp.net', NULL, 'M', NULL),
    (9, 4, 1, 0, 3, 1, 9, 700000009.5, 'hostile@s.whatsapp.net', NULL, 'M', NULL),
    (10, 4, 1, 0, 3, 1, 10, 700000010.5, 'hostile@s.whatsapp.net', NULL, 'M', NULL),
    (11, 4, 1, 0, 1, 1, 11, 700000011.5, 'hostile@s.whatsapp.net', NULL, 'M', NULL),
    (12, 4, 1, 0, 1, 2, 12, 700000012.5, 'second@s.whatsapp.net', NULL, 'S', NULL);

INSERT INTO ZWAMEDIAITEM (Z_PK, Z_ENT, Z_OPT, ZMESSAGE, ZMEDIALOCALPATH) VALUES
    -- quotes, a backslash and an ampersand in a present picture's name
    (1, 3, 1, 1, 'Media/h/it''s\a&"b".jpg'),
    -- the same characters in a present voice note's path
    (2, 3, 1, 2, 'Media/h/quo''te\"&<v>.opus'),
    -- characters that end an address early
    (3, 3, 1, 3, 'Media/h/#frag?x=1%20.mp4'),
    -- a path that climbs out of Library/ to a file that exists
    (4, 3, 1, 4, 'Media/../secret.jpg'),
    -- names that are only dots, or nothing at all
    (5, 3, 1, 5, 'Media/h/..'),
    (6, 3, 1, 6, 'Media/h/'),
    -- three different files with one name (one differs only in case)
    (7, 3, 1, 7, 'Media/h/a/same.jpg'),
    (8, 3, 1, 8, 'Media/h/b/same.jpg'),
    -- a voice note that is not Ogg Opus, and one that is already a WAV
    (9, 3, 1, 9, 'Media/h/broken.opus'),
    (10, 3, 1, 10, 'Media/h/already.wav'),
    (11, 3, 1, 11, 'Media/h/c/SAME.jpg'),
    -- the first picture again, from another chat: one copy serves both pages
    (12, 3, 1, 12, 'Media/h/a/same.jpg');
