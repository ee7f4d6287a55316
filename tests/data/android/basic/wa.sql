-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- A small wa.db for unit tests: one contact per naming rule, in this table order.
INSERT INTO wa_contacts (jid, is_whatsapp_user, number, raw_contact_id, display_name, wa_name, sort_name) VALUES
-- display_name NULL, wa_name set: the name is "Anna".
('491111111111@s.whatsapp.net', 1, NULL, -1, NULL, 'Anna', NULL),
-- both empty: the name is the number 492222222222; no messages.
('492222222222@s.whatsapp.net', 1, '+49 2222 222222', 11, '', '', ''),
-- both set: the address-book name "Carla Núñez" wins.
('493333333333@s.whatsapp.net', 1, '+49 3333 333333', 12, 'Carla Núñez', 'Carla', 'Carla Núñez'),
-- a group
('491111111111-1496000000@g.us', 1, NULL, -1, 'Wandergruppe ⛰️', NULL, 'Wandergruppe ⛰️'),
-- a jid with a single quote
('4915''2@s.whatsapp.net', 1, NULL, -1, 'Quote', NULL, 'Quote');
