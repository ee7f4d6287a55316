-- SPDX-License-Identifier: GPL-3.0-or-later
-- SPDX-FileCopyrightText: 2026 The Talvio developers
--
-- Changes that stay in msgstore.db-wal (talvio-fixture --wal-tail): a reader that ignores
-- the -wal sees Anna with two messages, one that replays it sees three.
INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, data, timestamp, media_wa_type, media_size)
VALUES ('491111111111@s.whatsapp.net', 0, 'B1A00000000000F0', 0, 'only in the -wal', 1496227500000, '0', 0);
