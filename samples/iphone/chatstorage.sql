-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- Rows of the iPhone sample's ChatStorage.sqlite (the tables come from
-- tests/data/iphone/chatstorage-schema.sql). Dates are Core Data's REAL seconds since
-- 2001-01-01 UTC with their fractions, June 2023 to March 2024. Media paths are relative to the resource folder's Library/, where media.txt
-- makes the files; one picture and one voice note are missing there on purpose.

INSERT INTO ZWACHATSESSION (Z_PK, Z_ENT, Z_OPT, ZARCHIVED, ZCONTACTABID, ZFLAGS, ZHIDDEN, ZIDENTITYVERIFICATIONEPOCH, ZIDENTITYVERIFICATIONSTATE, ZMESSAGECOUNTER, ZREMOVED, ZSESSIONTYPE, ZSPOTLIGHTSTATUS, ZUNREADCOUNT, ZLASTMESSAGE, ZLASTMESSAGEDATE, ZCONTACTIDENTIFIER, ZCONTACTJID, ZETAG, ZLASTMESSAGETEXT, ZPARTNERNAME) VALUES
    (1, 1, 12, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0, 0, 21, 732000412.318044, 'B81C2A4E-1F6D-4C77-9E55-0A3D7F1E2B90:ABPerson', '46701234567@s.whatsapp.net', 'e1a2b3c4', 'Tack, vi ses på lördag!', 'Sofia Lindqvist'),
    (2, 1, 8, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 1, 17, 725104188.907215, '5D0E7C31-8B2A-4F19-A3C6-6E9B1D4F0A27:ABPerson', '819012345678@s.whatsapp.net', 'e5f6a7b8', 'おやすみなさい 🌙', 'Kenji Watanabe'),
    (3, 1, 20, 0, 0, 0, 0, 0, 0, 8, 0, 1, 0, 0, 20, 731400902.551123, NULL, '46701234567-1672531200@g.us', 'e9c0d1e2', 'See you at the trailhead', 'Hiking Club ⛰️'),
    -- no name of his own in the address book: the list shows his number
    (4, 1, 3, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 19, 715000900.5, NULL, '971501234567@s.whatsapp.net', 'e3f4a5b6', 'إن شاء الله', NULL),
    -- a chat whose messages were all deleted
    (5, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, NULL, NULL, '0F4B8E22-6C1D-4A93-B7E0-3D5C9A1F8E64:ABPerson', '46709876543@s.whatsapp.net', 'e7a8b9c0', NULL, 'Mormor');

INSERT INTO ZWAPROFILEPICTUREITEM (Z_PK, Z_ENT, Z_OPT, ZREQUESTDATE, ZJID, ZPATH, ZPICTUREID) VALUES
    (1, 5, 1, 731990000.5, '46701234567@s.whatsapp.net', 'Media/Profile/46701234567-1699990000', '1699990000'),
    (2, 5, 1, 724000000.25, '819012345678@s.whatsapp.net', 'Media/Profile/819012345678-1682000000', '1682000000'),
    (3, 5, 1, 731000000.75, '46701234567-1672531200@g.us', 'Media/Profile/46701234567-1672531200-1690000000', '1690000000');

INSERT INTO ZWAGROUPMEMBER (Z_PK, Z_ENT, Z_OPT, ZISACTIVE, ZISADMIN, ZCHATSESSION, ZCONTACTNAME, ZFIRSTNAME, ZMEMBERJID) VALUES
    (1, 2, 1, 1, 1, 3, 'Sofia Lindqvist', 'Sofia', '46701234567@s.whatsapp.net'),
    (2, 2, 1, 1, 0, 3, NULL, NULL, '393471234567@s.whatsapp.net'),
    (3, 2, 1, 1, 0, 3, NULL, NULL, '447700900123@s.whatsapp.net');

INSERT INTO ZWAMESSAGE (Z_PK, Z_ENT, Z_OPT, ZCHILDMESSAGESDELIVEREDCOUNT, ZCHILDMESSAGESPLAYEDCOUNT, ZCHILDMESSAGESREADCOUNT, ZDATAITEMVERSION, ZDOCID, ZENCRETRYCOUNT, ZFILTEREDRECIPIENTCOUNT, ZFLAGS, ZGROUPEVENTTYPE, ZISFROMME, ZMESSAGEERRORSTATUS, ZMESSAGESTATUS, ZMESSAGETYPE, ZSORT, ZSPOTLIGHTSTATUS, ZSTARRED, ZCHATSESSION, ZGROUPMEMBER, ZMEDIAITEM, ZMESSAGEDATE, ZSENTDATE, ZFROMJID, ZMEDIASECTIONID, ZPUSHNAME, ZSTANZAID, ZTEXT, ZTOJID) VALUES
    -- Sofia: a trip to the archipelago, with a picture, a voice note and a video
    (1, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, NULL, NULL, 707302861.604211, 707302860.1, '46701234567@s.whatsapp.net', NULL, 'Sofia', '3A5B0C2D9E1F40A7B6C1', 'Hej! Are you still coming to Stockholm in June?', NULL),
    (2, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 1, 0, 13, 0, 2, 0, 0, 1, NULL, NULL, 707303190.250118, 707303190.0, NULL, NULL, NULL, '3EB04F1A22C9D7E35B80', 'Yes! Landing on the 12th. Can''t wait <3', '46701234567@s.whatsapp.net'),
    (3, 4, 3, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 1, 3, 0, 1, 1, NULL, 1, 708349512.881905, 708349511.2, '46701234567@s.whatsapp.net', '2023-06', 'Sofia', '3A5B0C2D9E1F40A7B6C3', 'Utsikten från Fjällgatan 😍', NULL),
    (4, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 3, 4, 0, 0, 1, NULL, 2, 708350044.120377, 708350042.9, '46701234567@s.whatsapp.net', '2023-06', 'Sofia', '3A5B0C2D9E1F40A7B6C4', NULL, NULL),
    (5, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 1, 0, 13, 0, 5, 0, 0, 1, NULL, NULL, 708350390.604002, 708350390.4, NULL, NULL, NULL, '3EB04F1A22C9D7E35B85', 'Ha, I''ll be there at 7 & bring the kanelbullar', '46701234567@s.whatsapp.net'),
    (6, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 1, 0, 13, 2, 6, 0, 0, 1, NULL, 3, 708451203.337841, 708451203.1, NULL, '2023-06', NULL, '3EB04F1A22C9D7E35B86', NULL, '46701234567@s.whatsapp.net'),
    -- Kenji: Japanese, a picture, and a voice note
    (7, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 2, NULL, NULL, 712001005.491208, 712001003.9, '819012345678@s.whatsapp.net', NULL, 'けんじ', '3A7C9E1B3D5F7A9C1E3B', 'こんにちは！来週の会議の資料、送りますね。', NULL),
    (8, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 1, 0, 13, 0, 2, 0, 0, 2, NULL, NULL, 712001389.002911, 712001388.8, NULL, NULL, NULL, '3EB07D2E4F6A8C0E2A48', 'ありがとう、Kenji! Looking forward to it.', '819012345678@s.whatsapp.net'),
    (9, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 4, NULL, NULL, 715000317.25, 715000316.0, '971501234567@s.whatsapp.net', NULL, 'Amir', '3A1D3F5B7D9F1B3D5F7A', 'مرحبا! هل وصلت بالسلامة؟', NULL),
    (10, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 1, 3, 0, 0, 2, NULL, 4, 718220410.775316, 718220409.3, '819012345678@s.whatsapp.net', '2023-10', 'けんじ', '3A7C9E1B3D5F7A9C1E3D', '京都の紅葉 🍁', NULL),
    -- the group: push names, a member without one, an event, and a picture that was never saved
    (11, 4, 2, 0, 0, 0, 3, 0, 0, 3, 0, 1, 0, 0, 6, 6, 1, 0, 0, 3, NULL, NULL, 720000000.5, 720000000.5, '46701234567-1672531200@g.us', NULL, NULL, '3A9E1B3D5F7A9C1E3B5D', NULL, NULL),
    (12, 4, 2, 0, 0, 0, 3, 0, 0, 3, 0, 0, 0, 0, 0, 0, 2, 0, 0, 3, 1, NULL, 720003611.112207, 720003609.7, '46701234567-1672531200@g.us', NULL, 'Sofia', '3A9E1B3D5F7A9C1E3B5E', 'Who''s in for Kebnekaise in August?', NULL),
    (13, 4, 2, 0, 0, 0, 3, 0, 0, 3, 0, 0, 0, 0, 0, 0, 3, 0, 0, 3, 2, NULL, 720003955.840019, 720003953.2, '46701234567-1672531200@g.us', NULL, 'Marco 🇮🇹', '3A9E1B3D5F7A9C1E3B5F', 'Io ci sono! 🙋‍♂️', NULL),
    (14, 4, 2, 0, 0, 0, 3, 0, 0, 3, 0, 0, 0, 0, 0, 1, 4, 0, 0, 3, 3, 5, 720004402.395561, 720004400.0, '46701234567-1672531200@g.us', '2023-10', NULL, '3A9E1B3D5F7A9C1E3B60', NULL, NULL),
    (15, 4, 2, 0, 0, 0, 3, 0, 0, 3, 0, 0, 1, 0, 13, 1, 5, 0, 0, 3, NULL, 6, 720004874.683329, 720004874.5, NULL, '2023-10', NULL, '3EB09A1C3E5B7D9F1B3D', 'Last year''s view from the top', '46701234567-1672531200@g.us'),
    (16, 4, 2, 0, 0, 0, 3, 0, 0, 3, 0, 0, 0, 0, 0, 3, 6, 0, 0, 3, 2, 7, 720005120.208764, 720005118.6, '46701234567-1672531200@g.us', '2023-10', 'Marco 🇮🇹', '3A9E1B3D5F7A9C1E3B62', NULL, NULL),
    (17, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 2, NULL, NULL, 725104188.907215, 725104187.3, '819012345678@s.whatsapp.net', NULL, 'けんじ', '3A7C9E1B3D5F7A9C1E3F', 'おやすみなさい 🌙', NULL),
    (18, 4, 2, 0, 0, 0, 3, 0, 0, 3, 0, 0, 0, 0, 0, 2, 7, 0, 0, 3, 1, 8, 731400601.077003, 731400599.5, '46701234567-1672531200@g.us', '2024-03', 'Sofia', '3A9E1B3D5F7A9C1E3B64', NULL, NULL),
    (19, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 1, 0, 13, 0, 2, 0, 0, 4, NULL, NULL, 715000900.5, 715000900.25, NULL, NULL, NULL, '3EB02C4E6A8C0E2A4C6E', 'نعم، شكراً! 😊', '971501234567@s.whatsapp.net'),
    (20, 4, 2, 0, 0, 0, 3, 0, 0, 3, 0, 0, 1, 0, 13, 0, 8, 0, 0, 3, NULL, NULL, 731400902.551123, 731400902.3, NULL, NULL, NULL, '3EB09A1C3E5B7D9F1B47', 'See you at the trailhead', '46701234567-1672531200@g.us'),
    (21, 4, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 1, NULL, NULL, 732000412.318044, 732000410.9, '46701234567@s.whatsapp.net', NULL, 'Sofia', '3A5B0C2D9E1F40A7B6D5', 'Tack, vi ses på lördag!', NULL);

INSERT INTO ZWAMEDIAITEM (Z_PK, Z_ENT, Z_OPT, ZMESSAGE, ZMEDIALOCALPATH, ZXMPPTHUMBPATH, ZTITLE, ZFILESIZE, ZMOVIEDURATION, ZMEDIAURL) VALUES
    (1, 3, 1, 3, 'Media/46701234567@s.whatsapp.net/9/2/92c4e1a7-5f3b-4d08-8e61-2a7b9c0d1e3f.jpg', 'Media/46701234567@s.whatsapp.net/9/92c4e1a7-5f3b-4d08-8e61-2a7b9c0d1e3f.thumb', NULL, 48211, 0, 'https://mmg.whatsapp.net/v/t62.7118-24/1000001_2000001_n.enc?ccb=11-4'),
    (2, 3, 1, 4, 'Media/46701234567@s.whatsapp.net/4/b/4b81d3f0-7a2c-4e95-b1d6-8f3e0a5c7b29.opus', NULL, NULL, 9310, 3, 'https://mmg.whatsapp.net/v/t62.7117-24/1000002_2000002_n.enc?ccb=11-4'),
    (3, 3, 1, 6, 'Media/46701234567@s.whatsapp.net/c/7/c7e02b94-1d6f-4a38-9c25-6b0e8f3a1d57.mp4', 'Media/46701234567@s.whatsapp.net/c/c7e02b94-1d6f-4a38-9c25-6b0e8f3a1d57.thumb', NULL, 91022, 3, 'https://mmg.whatsapp.net/v/t62.7161-24/1000003_2000003_n.enc?ccb=11-4'),
    (4, 3, 1, 10, 'Media/819012345678@s.whatsapp.net/e/1/e1a93c05-8b7d-4f62-a0e4-3c9d2b6f8a10.jpg', 'Media/819012345678@s.whatsapp.net/e/e1a93c05-8b7d-4f62-a0e4-3c9d2b6f8a10.thumb', NULL, 52004, 0, 'https://mmg.whatsapp.net/v/t62.7118-24/1000004_2000004_n.enc?ccb=11-4'),
    -- this picture was never saved on the phone: the file is not in Library/
    (5, 3, 1, 14, 'Media/46701234567-1672531200@g.us/3/f/3f6a0d81-2c9e-4b57-8d13-e7a5c4b2f096.jpg', NULL, NULL, 61230, 0, 'https://mmg.whatsapp.net/v/t62.7118-24/1000005_2000005_n.enc?ccb=11-4'),
    (6, 3, 1, 15, 'Media/46701234567-1672531200@g.us/a/0/a0d5f3e8-9b14-4c76-8e2a-51c7f9d3b0e4.jpg', 'Media/46701234567-1672531200@g.us/a/a0d5f3e8-9b14-4c76-8e2a-51c7f9d3b0e4.thumb', NULL, 70816, 0, 'https://mmg.whatsapp.net/v/t62.7118-24/1000006_2000006_n.enc?ccb=11-4'),
    -- and neither was this voice note
    (7, 3, 1, 16, 'Media/46701234567-1672531200@g.us/6/2/62b8e4d1-0c3a-4f95-b7e6-d2a9f1c8e034.opus', NULL, NULL, 11204, 4, 'https://mmg.whatsapp.net/v/t62.7117-24/1000007_2000007_n.enc?ccb=11-4'),
    (8, 3, 1, 18, 'Media/46701234567-1672531200@g.us/d/4/d4c9a7e2-6f1b-4e83-9a05-7b3e2c8d1f69.mp4', 'Media/46701234567-1672531200@g.us/d/d4c9a7e2-6f1b-4e83-9a05-7b3e2c8d1f69.thumb', NULL, 120455, 4, 'https://mmg.whatsapp.net/v/t62.7161-24/1000008_2000008_n.enc?ccb=11-4');

UPDATE Z_PRIMARYKEY SET Z_MAX = CASE Z_ENT WHEN 1 THEN 5 WHEN 2 THEN 3 WHEN 3 THEN 8 WHEN 4 THEN 21 WHEN 5 THEN 3 END;
