// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/scale_modern.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string_view>

#include "tools/android_schema.h"
#include "tools/database_build.h"
#include "tools/media_names.h"

namespace talvio::fixture {

namespace {

// message_type of a group event or notice; the legacy table marks those by status 6 instead.
constexpr int kSystemType = 7;
constexpr int kCallType = 8;
constexpr int kMissedCallType = 10;
constexpr int kDeletedType = 15;
constexpr std::int64_t kSystemStatus = 6;
// Tells reactions from the other add-ons (poll votes, kept messages); the viewer reads none.
constexpr std::int64_t kReactionAddOn = 56;

constexpr std::string_view kReactions[] = {"👍", "❤️", "😂", "😮", "😢", "🙏", "🔥", "👍🏽"};

struct Size {
    int width;
    int height;
};
constexpr Size kPhotoSizes[] = {{1600, 1200}, {1200, 1600}, {1280, 720}, {1080, 1920}, {2048, 1536}};
constexpr Size kVideoSizes[] = {{848, 480}, {1280, 720}, {720, 1280}, {480, 848}};

std::string digits(Random& random, int count) {
    std::string text(1, static_cast<char>('1' + random.below(9)));
    for (int i = 1; i < count; ++i)
        text += static_cast<char>('0' + random.below(10));
    return text;
}

std::string upperHex(Random& random, int count) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 0; i < count; ++i)
        text += kHex[random.below(16)];
    return text;
}

std::string_view serverOf(std::string_view jid) {
    const auto at = jid.find('@');
    return at == std::string_view::npos ? std::string_view() : jid.substr(at + 1);
}

std::int64_t jidType(std::string_view raw) {
    const std::string_view server = serverOf(raw);
    if (server == "g.us")
        return 1;
    if (raw == ScaleMessages::kStatusJid)
        return 11;
    if (server == "broadcast")
        return 5;
    return 0;
}

void bindOptional(Statement& s, int index, const std::optional<std::string>& value) {
    if (value) {
        s.bind(index, std::string_view(*value));
    } else {
        s.bindNull(index);
    }
}

bool run(Statement& s) {
    s.step();
    const bool done = s.result() == SQLITE_DONE;
    s.reset();
    return done;
}

}  // namespace

ScaleModernMessages::ScaleModernMessages(const ScaleContacts& contacts, ScaleMessages& messages,
                                         Random& random)
    : m_contacts(contacts.all()), m_messages(messages), m_random(random) {
    for (const ScaleContact& contact : m_contacts) {
        if (!contact.group)
            m_people.insert(contact.jid);
    }
}

Failure ScaleModernMessages::prepare(Database& db) {
    struct Prepared {
        Statement& statement;
        std::string_view sql;
    };
    const Prepared statements[] = {
        {m_insertJid,
         "INSERT INTO jid (_id, user, server, agent, device, type, raw_string) VALUES (?, ?, ?, 0, 0, ?, ?)"},
        {m_insertJidMap, "INSERT INTO jid_map (lid_row_id, jid_row_id, sort_id) VALUES (?, ?, 0)"},
        {m_insertMessage,
         "INSERT INTO message (_id, chat_row_id, from_me, key_id, sender_jid_row_id, status, broadcast, "
         "recipient_count, participant_hash, origination_flags, origin, timestamp, received_timestamp, "
         "receipt_server_timestamp, message_type, text_data, starred, lookup_tables, message_add_on_flags, "
         "sort_id) "
         "VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, ?7, ?8, 0, ?9, ?10, ?11, ?12, ?13, ?14, ?15, 0, 0, ?1)"},
        {m_insertMedia,
         "INSERT INTO message_media (message_row_id, chat_row_id, autotransfer_retry_enabled, transferred, "
         "transcoded, file_path, file_size, suspicious_content, trim_from, trim_to, face_x, face_y, "
         "media_key_timestamp, width, height, has_streaming_sidecar, gif_attribution, direct_path, "
         "first_scan_length, message_url, mime_type, file_length, media_name, file_hash, media_duration, "
         "page_count, enc_file_hash, is_animated_sticker, mute_video, media_caption) "
         "VALUES (?1, ?2, 0, ?3, 0, ?4, ?5, 0, 0, 0, 0, 0, ?6, ?7, ?8, 0, 0, ?9, 0, ?10, ?11, ?5, ?12, ?13, "
         "?14, "
         "?15, ?16, 0, 0, ?17)"},
        {m_insertSystem, "INSERT INTO message_system (message_row_id, action_type) VALUES (?, ?)"},
        {m_insertRevoked,
         "INSERT INTO message_revoked (message_row_id, revoked_key_id, admin_jid_row_id, revoke_timestamp) "
         "VALUES (?, ?, NULL, ?)"},
        // A reply keeps its own copy of what it quotes, so the quote outlives the original.
        {m_insertQuoted,
         "INSERT INTO message_quoted (message_row_id, chat_row_id, parent_message_chat_row_id, from_me, "
         "sender_jid_row_id, key_id, timestamp, message_type, origin, text_data, lookup_tables) "
         "SELECT ?1, ?2, chat_row_id, from_me, sender_jid_row_id, key_id, timestamp, message_type, origin, "
         "text_data, 0 FROM message WHERE _id = ?3"},
        {m_insertCall,
         "INSERT INTO call_log (jid_row_id, from_me, call_id, transaction_id, timestamp, video_call, "
         "duration, "
         "call_result, bytes_transferred, group_jid_row_id, is_joinable_group_call, "
         "call_creator_device_jid_row_id, call_random_id, call_link_row_id) "
         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0, ?, 0)"},
        {m_insertCallLink, "INSERT INTO message_call_log (message_row_id, call_log_row_id) VALUES (?, ?)"},
        {m_insertAddOn,
         "INSERT INTO message_add_on (_id, chat_row_id, from_me, sender_jid_row_id, key_id, "
         "parent_message_row_id, "
         "timestamp, status, message_add_on_type) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"},
        {m_insertReaction,
         "INSERT INTO message_add_on_reaction (message_add_on_row_id, reaction, sender_timestamp) "
         "VALUES (?, ?, ?)"},
    };
    for (const Prepared& p : statements) {
        p.statement = Statement(db, p.sql);
        if (!p.statement.ok())
            return "msgstore.db: cannot prepare \"" + std::string(p.sql.substr(0, 40)) +
                   "\": " + db.lastError();
    }
    return std::nullopt;
}

Failure ScaleModernMessages::write(const std::filesystem::path& file, std::int64_t messages,
                                   Random& messageRandom) {
    DatabaseBuild build;
    if (auto failure = build.create(file, AndroidSchema::msgstore(AndroidLayout::Modern)))
        return failure;
    if (messages <= 0)
        return build.finish();
    Database& db = build.database();
    if (db.exec("BEGIN;") != SQLITE_OK)
        return "msgstore.db: " + db.lastError();
    for (const char* table : {"message", "message_media"}) {
        if (auto failure = build.deferIndexes(table))
            return failure;
    }
    if (auto failure = prepare(db))
        return failure;
    m_db = db.handle();

    const std::vector<ScaleMessages::Event> events = m_messages.plan(messages - 1, messageRandom);
    chooseLidDays(events);
    const std::size_t slots = m_contacts.size() + 1;
    m_phoneChat.assign(slots, 0);
    m_lidChat.assign(slots, 0);

    // Phones start the table with a system row that belongs to no chat.
    MessageRow origin;
    origin.keyId = "-1";
    origin.status = kSystemStatus;
    origin.timestamp = events.empty() ? m_messages.span().first : events.front().timestamp;
    origin.receivedTimestamp = origin.timestamp;
    if (insertMessage(-1, origin, kSystemType, 0) == 0)
        return "msgstore.db: " + db.lastError();

    const bool stored = m_messages.generate(
        events, messageRandom, [this](std::uint32_t contact, MessageRow& row, std::int64_t quoted) {
            return store(contact, row, quoted);
        });
    if (!stored)
        return "msgstore.db: " + db.lastError();
    if (auto failure = build.restoreIndexes())
        return failure;
    if (auto failure = writeChats(db))
        return failure;
    if (db.exec("COMMIT;") != SQLITE_OK)
        return "msgstore.db: " + db.lastError();
    return build.finish();
}

void ScaleModernMessages::chooseLidDays(const std::vector<ScaleMessages::Event>& events) {
    const std::size_t slots = m_contacts.size() + 1;
    std::vector<std::int64_t> first(slots, kNever), last(slots, 0);
    for (const ScaleMessages::Event& event : events) {
        first[event.chat] = std::min(first[event.chat], event.timestamp);
        last[event.chat] = std::max(last[event.chat], event.timestamp);
    }
    // Only people who still write once lids exist can have a lid chat.
    std::size_t chats = 0;
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < m_contacts.size(); ++i) {
        if (first[i] == kNever)
            continue;
        ++chats;
        if (!m_contacts[i].group && last[i] >= kLidEra)
            candidates.push_back(i);
    }
    m_lidFrom.assign(slots, kNever);
    if (candidates.empty())
        return;
    const double chance =
        std::min(1.0, kLidChatShare * static_cast<double>(chats) / static_cast<double>(candidates.size()));
    for (std::size_t i : candidates) {
        if (!m_random.chance(chance))
            continue;
        // Some chats moved to the lid whole; the others keep their older part under the phone jid.
        const bool wholly = first[i] >= kLidEra || m_random.chance(0.25);
        const double share = 0.4 + 0.5 * m_random.unit();
        const std::int64_t from =
            first[i] + 1 + static_cast<std::int64_t>(share * static_cast<double>(last[i] - first[i]));
        m_lidFrom[i] = wholly ? first[i] : std::clamp(from, kLidEra, last[i]);
    }
}

std::int64_t ScaleModernMessages::jidRow(const std::string& raw) {
    const auto found = m_jidRows.find(raw);
    if (found != m_jidRows.end())
        return found->second;
    const std::int64_t id = ++m_lastJidRow;
    const auto at = raw.find('@');
    m_insertJid.bind(1, id);
    m_insertJid.bind(2, std::string_view(raw).substr(0, at));
    m_insertJid.bind(3, serverOf(raw));
    m_insertJid.bind(4, jidType(raw));
    m_insertJid.bind(5, std::string_view(raw));
    if (!run(m_insertJid))
        return 0;
    m_jidRows.emplace(raw, id);
    return id;
}

const std::string& ScaleModernMessages::lidOf(const std::string& phoneJid, bool known) {
    const auto found = m_lids.find(phoneJid);
    if (found != m_lids.end())
        return found->second;
    std::string number;
    do {
        number = digits(m_random, 15);
    } while (!m_lidNumbers.insert(number).second);
    const std::string& lid = m_lids.emplace(phoneJid, number + "@lid").first->second;
    const std::int64_t lidRow = jidRow(lid);
    // The phone knows who is behind the lids of its contacts, but only behind some of those of
    // strangers in groups.
    if (known || m_random.chance(0.5)) {
        m_insertJidMap.bind(1, lidRow);
        m_insertJidMap.bind(2, jidRow(phoneJid));
        run(m_insertJidMap);
    }
    return lid;
}

ScaleModernMessages::Chat& ScaleModernMessages::chatOf(std::uint32_t contact, std::int64_t timestamp) {
    const bool underLid = timestamp >= m_lidFrom[contact];
    std::int64_t& slot = underLid ? m_lidChat[contact] : m_phoneChat[contact];
    if (slot == 0) {
        const std::string jid = contact == m_messages.statusChat() ? std::string(ScaleMessages::kStatusJid)
                                                                   : m_contacts[contact].jid;
        Chat chat;
        chat.id = static_cast<std::int64_t>(m_chats.size()) + 1;
        chat.contact = contact;
        chat.jidRow = jidRow(underLid ? lidOf(jid, true) : jid);
        chat.firstTimestamp = timestamp;
        m_chats.push_back(chat);
        slot = chat.id;
    }
    return m_chats[static_cast<std::size_t>(slot - 1)];
}

std::int64_t ScaleModernMessages::store(std::uint32_t contact, const MessageRow& row,
                                        std::int64_t quotedRowId) {
    Chat& chat = chatOf(contact, row.timestamp);
    const ScaleContact* owner = contact == m_messages.statusChat() ? nullptr : &m_contacts[contact];
    const bool system =
        row.status == kSystemStatus && (row.mediaWaType == 0 || row.mediaWaType == kSystemType);
    const int type = system ? kSystemType : row.mediaWaType;

    // Who wrote a received group message (or caused a group event, or posted a status).
    std::int64_t sender = 0;
    if (row.keyFromMe == 0 && row.remoteResource && !row.remoteResource->empty()) {
        const std::string& member = *row.remoteResource;
        const bool lid = owner != nullptr && owner->lidMembers && row.timestamp >= kLidEra;
        sender = jidRow(lid ? lidOf(member, m_people.count(member) != 0) : member);
    }

    const std::int64_t id = insertMessage(chat.id, row, type, sender);
    if (id == 0)
        return 0;

    bool ok = true;
    if (system) {
        m_insertSystem.bind(1, id);
        m_insertSystem.bind(2, row.mediaSize);
        ok = run(m_insertSystem);
    } else if (type == kDeletedType) {
        m_insertRevoked.bind(1, id);
        m_insertRevoked.bind(2, std::string_view(row.keyId));
        m_insertRevoked.bind(3, row.timestamp + m_random.between(1000, 600'000));
        ok = run(m_insertRevoked);
    } else if (type == kCallType || type == kMissedCallType) {
        ok = storeCall(chat, row, sender);
        // Current phones tie the call row to its call_log row.
        if (ok) {
            m_insertCallLink.bind(1, id);
            m_insertCallLink.bind(2, static_cast<std::int64_t>(sqlite3_last_insert_rowid(m_db)));
            ok = run(m_insertCallLink);
        }
    } else if (row.mediaUrl) {
        ok = storeMedia(id, chat, row);
    }
    if (ok && quotedRowId != 0) {
        m_insertQuoted.bind(1, id);
        m_insertQuoted.bind(2, chat.id);
        m_insertQuoted.bind(3, quotedRowId);
        ok = run(m_insertQuoted);
    }
    if (ok && !system && owner != nullptr && type != kDeletedType && m_random.chance(0.015))
        ok = storeReaction(id, chat, row);
    if (!ok)
        return 0;
    chat.lastRowId = id;
    chat.lastTimestamp = row.timestamp;
    return id;
}

std::int64_t ScaleModernMessages::insertMessage(std::int64_t chat, const MessageRow& row, int type,
                                                std::int64_t sender) {
    const std::int64_t id = m_lastMessageId + 1;
    Statement& s = m_insertMessage;
    s.bind(1, id);
    s.bind(2, chat);
    s.bind(3, row.keyFromMe);
    s.bind(4, std::string_view(row.keyId));
    s.bind(5, sender);
    s.bind(6, row.status);
    s.bind(7, row.recipientCount);
    bindOptional(s, 8, row.participantHash);
    s.bind(9, row.origin);
    s.bind(10, row.timestamp);
    s.bind(11, row.receivedTimestamp);
    s.bind(12, row.receiptServerTimestamp);
    s.bind(13, std::int64_t{type});
    // Only texts keep text_data; captions, vCards and places have tables of their own.
    if (type == 0) {
        bindOptional(s, 14, row.data);
    } else {
        s.bindNull(14);
    }
    s.bind(15, row.starred);
    if (!run(s))
        return 0;
    m_lastMessageId = id;
    return id;
}

bool ScaleModernMessages::storeMedia(std::int64_t id, const Chat& chat, const MessageRow& row) {
    const bool sent = row.keyFromMe != 0;
    // Received media the owner never opened was never downloaded.
    const bool downloaded = sent || !m_random.chance(0.1);
    const std::string day = mediaDayText(row.timestamp);
    char serial[8];
    std::snprintf(serial, sizeof serial, "%04d", static_cast<int>(++m_mediaSerial % 10000));
    const std::string sentFolder = sent ? "Sent/" : "";
    const std::string stem = day + "-WA" + serial;
    std::string path;
    Size size{0, 0};
    switch (row.mediaWaType) {
        case 1:
            path = "Media/WhatsApp Images/" + sentFolder + "IMG-" + stem + ".jpg";
            size = kPhotoSizes[m_random.below(std::size(kPhotoSizes))];
            break;
        case 2:
            path = row.origin == 1 ? "Media/WhatsApp Voice Notes/" + mediaWeekText(row.timestamp) + "/PTT-" +
                                         stem + ".opus"
                                   : "Media/WhatsApp Audio/" + sentFolder + "AUD-" + stem + ".mp3";
            break;
        case 3:
            path = "Media/WhatsApp Video/" + sentFolder + "VID-" + stem + ".mp4";
            size = kVideoSizes[m_random.below(std::size(kVideoSizes))];
            break;
        case 9:
            path = "Media/WhatsApp Documents/" + sentFolder + row.mediaName.value_or("DOC-" + stem + ".pdf");
            break;
        case 13:
            path = "Media/WhatsApp Animated Gifs/" + sentFolder + "VID-" + stem + ".mp4";
            size = kVideoSizes[m_random.below(std::size(kVideoSizes))];
            break;
        case 20:
            path = "Media/WhatsApp Stickers/STK-" + stem + ".webp";
            size = {512, 512};
            break;
        default:
            break;
    }
    const std::string url = row.mediaUrl.value_or(std::string());
    const auto host = url.find("whatsapp.net");
    Statement& s = m_insertMedia;
    s.bind(1, id);
    s.bind(2, chat.id);
    s.bind(3, std::int64_t{downloaded ? 1 : 0});
    if (downloaded && !path.empty()) {
        s.bind(4, std::string_view(path));
    } else {
        s.bindNull(4);
    }
    s.bind(5, row.mediaSize);
    s.bind(6, row.timestamp / 1000);
    s.bind(7, std::int64_t{size.width});
    s.bind(8, std::int64_t{size.height});
    if (host != std::string::npos) {
        s.bind(9, std::string_view(url).substr(host + std::string_view("whatsapp.net").size()));
    } else {
        s.bindNull(9);
    }
    bindOptional(s, 10, row.mediaUrl);
    bindOptional(s, 11, row.mediaMimeType);
    bindOptional(s, 12, row.mediaName);
    bindOptional(s, 13, row.mediaHash);
    s.bind(14, row.mediaDuration);
    s.bind(15, std::int64_t{row.mediaWaType == 9 ? 1 + static_cast<std::int64_t>(m_random.below(40)) : 0});
    bindOptional(s, 16, row.mediaEncHash);
    bindOptional(s, 17, row.mediaCaption);
    return run(s);
}

bool ScaleModernMessages::storeCall(const Chat& chat, const MessageRow& row, std::int64_t sender) {
    const bool group = chat.contact != m_messages.statusChat() && m_contacts[chat.contact].group;
    const bool answered = row.mediaWaType == kCallType;
    const std::int64_t duration = answered ? row.mediaDuration : 0;
    Statement& s = m_insertCall;
    s.bind(1, group && sender != 0 ? sender : chat.jidRow);
    s.bind(2, row.keyFromMe);
    s.bind(3, std::string_view(row.keyId));
    s.bind(4, m_random.between(1, 1 << 30));
    s.bind(5, row.timestamp);
    s.bind(6, std::int64_t{m_random.chance(0.25) ? 1 : 0});
    s.bind(7, duration);
    // Answered and missed calls differ in result and duration; the viewer reads neither.
    s.bind(8, std::int64_t{answered ? 5 : 2});
    s.bind(9, duration * m_random.between(4'000, 40'000));
    s.bind(10, group ? chat.jidRow : std::int64_t{0});
    s.bind(11, std::string_view(upperHex(m_random, 32)));
    return run(s);
}

bool ScaleModernMessages::storeReaction(std::int64_t id, const Chat& chat, const MessageRow& row) {
    const ScaleContact& contact = m_contacts[chat.contact];
    // The other side reacts: the owner to a received message, someone else to the owner's.
    const bool fromMe = row.keyFromMe == 0;
    std::int64_t sender = 0;
    if (!fromMe && contact.group && !contact.members.empty()) {
        const std::string& member = contact.members[m_random.below(contact.members.size())];
        const bool lid = contact.lidMembers && row.timestamp >= kLidEra;
        sender = jidRow(lid ? lidOf(member, m_people.count(member) != 0) : member);
    }
    const std::int64_t when = row.timestamp + m_random.between(2'000, 3'600'000);
    const std::string key = (fromMe ? "3EB0" : "") + upperHex(m_random, 16);
    const std::int64_t addOn = ++m_lastAddOnId;
    Statement& s = m_insertAddOn;
    s.bind(1, addOn);
    s.bind(2, chat.id);
    s.bind(3, std::int64_t{fromMe ? 1 : 0});
    s.bind(4, sender);
    s.bind(5, std::string_view(key));
    s.bind(6, id);
    s.bind(7, when);
    s.bind(8, std::int64_t{fromMe ? 13 : 0});
    s.bind(9, kReactionAddOn);
    if (!run(s))
        return false;
    Statement& reaction = m_insertReaction;
    reaction.bind(1, addOn);
    reaction.bind(2, kReactions[m_random.below(std::size(kReactions))]);
    reaction.bind(3, when);
    return run(reaction);
}

Failure ScaleModernMessages::writeChats(Database& db) {
    Statement insert(
        db,
        "INSERT INTO chat (_id, jid_row_id, hidden, subject, created_timestamp, display_message_row_id, "
        "last_message_row_id, last_read_message_row_id, last_read_receipt_sent_message_row_id, archived, "
        "sort_timestamp, mod_tag, gen, spam_detection, unseen_message_count, unseen_missed_calls_count, "
        "unseen_row_count, plaintext_disabled, vcard_ui_dismissed, show_group_description, "
        "ephemeral_expiration, "
        "group_type, last_read_message_sort_id, display_message_sort_id, last_message_sort_id, "
        "last_read_receipt_sent_message_sort_id) "
        "VALUES (?1, ?2, 0, ?3, ?4, ?5, ?5, ?5, ?5, ?6, ?7, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, ?5, ?5, ?5, "
        "?5)");
    for (const Chat& chat : m_chats) {
        const bool status = chat.contact == m_messages.statusChat();
        const ScaleContact* contact = status ? nullptr : &m_contacts[chat.contact];
        insert.bind(1, chat.id);
        insert.bind(2, chat.jidRow);
        // Every group has a subject here, and for most groups it is the only name there is.
        if (contact != nullptr && contact->group) {
            insert.bind(3, std::string_view(*contact->displayName));
            insert.bind(4, contact->created);
        } else {
            insert.bindNull(3);
            insert.bind(4, chat.firstTimestamp);
        }
        insert.bind(5, chat.lastRowId);
        insert.bind(6, std::int64_t{!status && m_random.chance(0.03) ? 1 : 0});
        insert.bind(7, chat.lastTimestamp);
        if (!run(insert))
            return "chat: " + db.lastError();
    }
    return std::nullopt;
}

Failure ScaleModernMessages::copyNewestRows(Database& db) {
    const std::string newest =
        "WITH newest AS (SELECT * FROM messages WHERE key_remote_jid <> '-1' ORDER BY _id DESC "
        "LIMIT " +
        std::to_string(kMixedRows) + ") ";
    const std::string jidColumns =
        "substr(j, 1, instr(j, '@') - 1), substr(j, instr(j, '@') + 1), 0, 0, "
        "CASE WHEN j LIKE '%@g.us' THEN 1 WHEN j = 'status@broadcast' THEN 11 ELSE 0 END, j";
    const std::string sql =
        // The chat and jid tables came first and list every chat.
        "INSERT INTO jid (user, server, agent, device, type, raw_string) SELECT " + jidColumns +
        " FROM (SELECT key_remote_jid AS j FROM chat_list ORDER BY _id);"
        "INSERT INTO chat (jid_row_id, hidden, subject, created_timestamp, archived, sort_timestamp, "
        "plaintext_disabled) SELECT jid._id, 0, c.subject, c.creation, c.archived, c.sort_timestamp, 1 "
        "FROM chat_list AS c JOIN jid ON jid.raw_string = c.key_remote_jid ORDER BY c._id;" +
        newest + "INSERT OR IGNORE INTO jid (user, server, agent, device, type, raw_string) SELECT " +
        jidColumns +
        " FROM (SELECT DISTINCT remote_resource AS j FROM newest WHERE ifnull(remote_resource, '') <> '');" +
        newest +
        "INSERT INTO message (chat_row_id, from_me, key_id, sender_jid_row_id, status, timestamp, "
        "received_timestamp, receipt_server_timestamp, message_type, text_data, starred, sort_id) "
        "SELECT chat._id, n.key_from_me, n.key_id, ifnull(sender._id, 0), n.status, n.timestamp, "
        "n.received_timestamp, n.receipt_server_timestamp, "
        "CASE WHEN n.status = 6 AND n.media_wa_type IN ('0', '7') THEN 7 ELSE CAST(n.media_wa_type AS "
        "INTEGER) END, "
        "CASE WHEN n.media_wa_type = '0' AND n.status <> 6 THEN n.data END, n.starred, n._id "
        "FROM newest AS n JOIN jid ON jid.raw_string = n.key_remote_jid JOIN chat ON chat.jid_row_id = "
        "jid._id "
        "LEFT JOIN jid AS sender ON sender.raw_string = n.remote_resource ORDER BY n._id;";
    std::string error;
    if (db.exec(sql, &error) != SQLITE_OK)
        return "msgstore.db (modern rows): " + error;
    return std::nullopt;
}

}  // namespace talvio::fixture
