-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
INSERT INTO ZWAADDRESSBOOKCONTACT (Z_PK, Z_ENT, Z_OPT, ZFULLNAME, ZGIVENNAME, ZLASTNAME, ZPHONENUMBER, ZWHATSAPPID, ZIDENTIFIER, ZABOUTTEXT) VALUES
    (1, 1, 1, 'Ann Becker', 'Ann', 'Becker', '+49 151 10000001', '4915110000001@s.whatsapp.net', 'A1:ABPerson', 'Hey there!'),
    (2, 1, 1, 'Dora', 'Dora', NULL, '+49 151 10000004', '4915110000004@s.whatsapp.net', 'A4:ABPerson', NULL);
