-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
-- The sample's address book of WhatsApp users (Contacts.sqlite).
INSERT INTO ZWAADDRESSBOOKCONTACT (Z_PK, Z_ENT, Z_OPT, ZFULLNAME, ZGIVENNAME, ZLASTNAME, ZPHONENUMBER, ZWHATSAPPID, ZIDENTIFIER, ZABOUTTEXT) VALUES
    (1, 1, 1, 'Sofia Lindqvist', 'Sofia', 'Lindqvist', '+46 70 123 45 67', '46701234567@s.whatsapp.net', 'B81C2A4E-1F6D-4C77-9E55-0A3D7F1E2B90:ABPerson', 'Ute och vandrar 🥾'),
    (2, 1, 1, 'Kenji Watanabe', 'Kenji', 'Watanabe', '+81 90 1234 5678', '819012345678@s.whatsapp.net', '5D0E7C31-8B2A-4F19-A3C6-6E9B1D4F0A27:ABPerson', 'Available'),
    (3, 1, 1, 'Mormor', 'Mormor', NULL, '+46 70 987 65 43', '46709876543@s.whatsapp.net', '0F4B8E22-6C1D-4A93-B7E0-3D5C9A1F8E64:ABPerson', NULL);
UPDATE Z_PRIMARYKEY SET Z_MAX = 3;
