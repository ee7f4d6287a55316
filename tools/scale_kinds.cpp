// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/scale_kinds.h"

#include "sources/database.h"

#include <algorithm>
#include <string>

namespace talvio::fixture {
namespace {

// Each picked text becomes the kind its row id gives (id % 10), with its side rows.
constexpr const char* kConversions = R"sql(
INSERT OR IGNORE INTO message_quoted (message_row_id, chat_row_id, parent_message_chat_row_id, from_me, sender_jid_row_id,
    key_id, timestamp, message_type, origin, text_data, lookup_tables)
SELECT k.id, q.chat_row_id, q.chat_row_id, q.from_me, q.sender_jid_row_id, q.key_id, q.timestamp, q.message_type,
    q.origin, q.text_data, 0
FROM kinds_pick AS k JOIN message AS q ON q._id = (SELECT max(_id) FROM message WHERE chat_row_id = k.chat
    AND _id < k.id) WHERE k.id % 10 = 0;
INSERT INTO message_add_on (chat_row_id, from_me, sender_jid_row_id, key_id, parent_message_row_id, timestamp,
    status, message_add_on_type)
SELECT k.chat, r.value, 0, 'KA' || k.id || '-' || r.value, k.id, 1700000000000 + k.id, 0, 56
FROM kinds_pick AS k, (SELECT 0 AS value UNION ALL SELECT 1) AS r WHERE k.id % 10 = 1;
INSERT INTO message_add_on_reaction (message_add_on_row_id, reaction, sender_timestamp)
SELECT a._id, CASE a.from_me WHEN 1 THEN '👍' ELSE '❤️' END, a.timestamp FROM message_add_on AS a
WHERE a.key_id LIKE 'KA%';
INSERT INTO message_edit_info (message_row_id, original_key_id, edited_timestamp, sender_timestamp)
SELECT k.id, 'KE' || k.id, 1700000000000, 1700000000000 FROM kinds_pick AS k WHERE k.id % 10 = 2;
UPDATE message SET origination_flags = 1 WHERE _id IN (SELECT id FROM kinds_pick WHERE id % 10 = 3);
INSERT INTO message_location (message_row_id, chat_row_id, latitude, longitude, place_name, place_address)
SELECT k.id, k.chat, 48.0 + (k.id % 1000) / 1000.0, 11.0 + (k.id % 997) / 1000.0, 'Place ' || k.id, 'Street ' || k.id
FROM kinds_pick AS k WHERE k.id % 10 = 4;
INSERT INTO message_vcard (message_row_id, vcard)
SELECT k.id, 'BEGIN:VCARD' || char(10) || 'VERSION:3.0' || char(10) || 'FN:Contact ' || k.id || char(10) ||
    'TEL;type=CELL:+49 151 ' || k.id || char(10) || 'END:VCARD'
FROM kinds_pick AS k WHERE k.id % 10 = 5;
INSERT INTO message_poll (message_row_id, selectable_options_count)
SELECT k.id, 1 FROM kinds_pick AS k WHERE k.id % 10 = 6;
INSERT INTO message_poll_option (message_row_id, option_name, vote_total)
SELECT k.id, 'Option ' || o.value, o.value FROM kinds_pick AS k,
    (SELECT 1 AS value UNION ALL SELECT 2 UNION ALL SELECT 3) AS o WHERE k.id % 10 = 6;
INSERT OR IGNORE INTO message_system (message_row_id, action_type)
SELECT k.id, 12 FROM kinds_pick AS k WHERE k.id % 10 = 7;
INSERT INTO message_system_chat_participant (message_row_id, user_jid_row_id)
SELECT k.id, 1 FROM kinds_pick AS k WHERE k.id % 10 = 7;
INSERT INTO message_revoked (message_row_id, revoked_key_id, admin_jid_row_id, revoke_timestamp)
SELECT k.id, 'KR' || k.id, NULL, 1700000000000 FROM kinds_pick AS k WHERE k.id % 10 = 8;
INSERT INTO call_log (jid_row_id, from_me, call_id, transaction_id, timestamp, video_call, duration, call_result)
SELECT 1, 0, 'KC' || k.id, k.id, 1700000000000, k.id % 2, k.id % 600, 5 FROM kinds_pick AS k WHERE k.id % 10 = 9;
INSERT INTO message_call_log (message_row_id, call_log_row_id)
SELECT CAST(substr(c.call_id, 3) AS INTEGER), c._id FROM call_log AS c WHERE c.call_id LIKE 'KC%';
UPDATE message SET message_type = CASE _id % 10 WHEN 4 THEN 5 WHEN 5 THEN 4 WHEN 6 THEN 66 WHEN 7 THEN 7
    WHEN 8 THEN 15 WHEN 9 THEN 8 ELSE message_type END,
    text_data = CASE WHEN _id % 10 IN (4, 7, 8, 9) THEN NULL ELSE text_data END
WHERE _id IN (SELECT id FROM kinds_pick WHERE id % 10 >= 4);
DROP TABLE kinds_pick;
)sql";

}  // namespace

Failure addMessageKinds(const std::filesystem::path& msgstore, int percent) {
    if (percent <= 0)
        return std::nullopt;
    Database db;
    if (db.open(msgstore.string(), Database::Access::ReadWriteExisting) != 0)
        return msgstore.string() + ": " + db.lastError();
    Statement largest(
        db,
        "SELECT chat_row_id, count(*), sum(message_type = 0 AND text_data IS NOT NULL) FROM message "
        "WHERE chat_row_id > 0 GROUP BY chat_row_id ORDER BY count(*) DESC LIMIT 1;");
    if (!largest.step())
        return std::nullopt;
    const std::int64_t chat = largest.int64(0);
    const std::int64_t total = largest.int64(1);
    const std::int64_t texts = std::max<std::int64_t>(1, largest.int64(2));
    largest = Statement();  // a statement still open keeps its tables locked against DROP
    // Per mille of the texts to convert so that `percent` of all the chat's messages change.
    const std::int64_t perMille = std::min<std::int64_t>(1000, (total * percent * 10 + texts - 1) / texts);
    std::string error;
    const std::string pick =
        "BEGIN; CREATE TEMP TABLE kinds_pick AS SELECT _id AS id, chat_row_id AS chat FROM message "
        "WHERE chat_row_id = " +
        std::to_string(chat) +
        " AND message_type = 0 AND text_data IS NOT NULL AND (_id * 2654435761) % 1000 < " +
        std::to_string(perMille) + ";";
    if (db.exec(pick, &error) != 0 || db.exec(kConversions, &error) != 0 || db.exec("COMMIT;", &error) != 0)
        return msgstore.string() + ": " + error;
    return std::nullopt;
}

}  // namespace talvio::fixture
