// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/scale_messages.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "tools/android_schema.h"
#include "tools/database_build.h"
#include "tools/scale_modern.h"
#include "tools/scale_plan.h"
#include "tools/text_pool.h"

namespace talvio::fixture {

namespace {

// Parts per thousand of the message kinds, in the order of ScaleMessages::kKinds.
constexpr int kKindWeights[] = {780, 80, 40, 20, 3, 5, 2, 15, 10, 5, 5, 10, 2, 23};
static_assert(std::size(kKindWeights) == std::size(ScaleMessages::kKinds));

// Codes the legacy table keeps in media_size of a group event.
constexpr std::int64_t kGroupCreated = 11;
constexpr std::int64_t kGroupEvents[] = {12 /* added */, 5 /* left */, 1 /* subject */, 6 /* picture */};
constexpr std::int64_t kSecurityCodeChanged = 18;

struct Place {
    double latitude;
    double longitude;
};
constexpr Place kPlaces[] = {{48.137, 11.575}, {48.853, 2.348},  {39.904, 116.407},
                             {25.197, 55.274}, {38.707, -9.136}, {60.167, 24.952}};

std::string base64(Random& random, int bytes, bool urlSafe) {
    static constexpr char kStandard[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    static constexpr char kUrl[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    const char* alphabet = urlSafe ? kUrl : kStandard;
    std::string out;
    for (int i = 0; i < bytes; i += 3) {
        const int chunk = std::min(3, bytes - i);
        const auto bits = static_cast<std::uint32_t>(random.below(1u << (8 * chunk))) << (8 * (3 - chunk));
        for (int c = 0; c <= chunk; ++c)
            out += alphabet[(bits >> (18 - 6 * c)) & 63];
        if (!urlSafe)
            out.append(static_cast<std::size_t>(3 - chunk), '=');
    }
    return out;
}

std::string mediaUrl(Random& random) {
    return "https://mmg.whatsapp.net/d/f/" + base64(random, 33, true) + ".enc";
}

int drawKind(Random& random) {
    int roll = static_cast<int>(random.below(1000));
    for (std::size_t i = 0; i < std::size(kKindWeights); ++i) {
        if (roll < kKindWeights[i])
            return ScaleMessages::kKinds[i];
        roll -= kKindWeights[i];
    }
    return 0;
}

std::string keyId(std::uint64_t salt, std::uint64_t serial, Random& random) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    // Sixteen digits from a bijection of the serial keep (jid, from_me, key_id) unique; four
    // more random ones vary the length of the prefix the way phones and web clients do.
    std::string id;
    std::uint64_t unique = Random::scramble(salt + serial);
    std::uint64_t prefix = random.next();
    for (int i = 0; i < 4; ++i, prefix >>= 4)
        id += kHex[prefix & 15];
    for (int i = 0; i < 16; ++i, unique >>= 4)
        id += kHex[unique & 15];
    return id;
}

}  // namespace

ScaleMessages::ScaleMessages(const ScaleContacts& contacts, const TimeSpan& span, std::uint64_t seed)
    : m_contacts(contacts.all()), m_span(span), m_keySalt(Random::scramble(seed)) {
    for (std::size_t i = 0; i < m_contacts.size(); ++i) {
        if (!m_contacts[i].group)
            m_people.push_back(i);
    }
}

std::vector<ScaleMessages::Event> ScaleMessages::plan(std::int64_t messages, Random& random) const {
    std::vector<std::uint32_t> chats;
    for (std::uint32_t i = 0; i < m_contacts.size(); ++i) {
        if (!m_contacts[i].silent)
            chats.push_back(i);
    }
    for (std::size_t i = chats.size(); i > 1; --i)
        std::swap(chats[i - 1], chats[random.below(i)]);
    // The biggest chat is with a person and the second biggest is a group, so that both big
    // pages (with and without member names) exist in every folder.
    auto person = std::find_if(chats.begin(), chats.end(), [&](auto c) { return !m_contacts[c].group; });
    if (person != chats.end())
        std::rotate(chats.begin(), person, person + 1);
    auto group = std::find_if(chats.begin(), chats.end(), [&](auto c) { return m_contacts[c].group; });
    if (group != chats.end() && group != chats.begin())
        std::rotate(chats.begin() + 1, group, group + 1);

    const std::int64_t statusCount = messages >= 200 ? messages / 200 : 0;
    const auto sizes = ScalePlan::chatSizes(chats.size(), messages - statusCount, random);
    std::vector<Event> events;
    events.reserve(static_cast<std::size_t>(messages));
    const double span = static_cast<double>(m_span.last - m_span.first);
    auto add = [&](std::uint32_t chat, std::int64_t count, std::int64_t first, std::int64_t last) {
        for (std::int64_t i = 0; i < count; ++i)
            events.push_back({random.between(first, last), chat, -1});
    };
    for (std::size_t rank = 0; rank < chats.size(); ++rank) {
        const ScaleContact& contact = m_contacts[chats[rank]];
        // Old chats fall silent and new ones start; the busiest stay active throughout.
        std::int64_t first = m_span.first + static_cast<std::int64_t>(random.unit() * 0.85 * span);
        if (rank < 3)
            first = m_span.first;
        if (contact.group)
            first = contact.created;
        std::int64_t last = first + static_cast<std::int64_t>(static_cast<double>(m_span.last - first) *
                                                              (0.15 + 0.85 * random.unit()));
        if (rank < 3)
            last = m_span.last;
        add(chats[rank], sizes[rank], first, last);
    }
    add(static_cast<std::uint32_t>(m_contacts.size()), statusCount, m_span.first, m_span.last);
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.timestamp != b.timestamp ? a.timestamp < b.timestamp : a.chat < b.chat;
    });
    forceEveryKind(events, random);
    return events;
}

void ScaleMessages::forceEveryKind(std::vector<Event>& events, Random& random) const {
    if (events.size() < 4 * std::size(kKinds))
        return;
    // A group's first row is its creation event and status posts are few kinds only.
    std::vector<bool> excluded(events.size(), false);
    std::vector<bool> seen(m_contacts.size() + 1, false);
    for (std::size_t i = 0; i < events.size(); ++i) {
        const std::uint32_t chat = events[i].chat;
        excluded[i] = chat == m_contacts.size() || (m_contacts[chat].group && !seen[chat]);
        seen[chat] = true;
    }
    for (int kind : kKinds) {
        for (int attempt = 0; attempt < 1000; ++attempt) {
            const std::size_t index = random.below(events.size());
            if (!excluded[index] && events[index].forcedKind < 0) {
                events[index].forcedKind = static_cast<std::int16_t>(kind);
                break;
            }
        }
    }
}

MessageRow ScaleMessages::makeRow(const Event& event, std::uint64_t serial, Random& random) {
    ChatState& state = m_state[event.chat];
    const bool statusPost = event.chat == m_contacts.size();
    const ScaleContact* contact = statusPost ? nullptr : &m_contacts[event.chat];
    const bool group = contact != nullptr && contact->group;
    const bool firstInGroup = group && !state.started;
    state.started = true;

    MessageRow row;
    row.keyRemoteJid = statusPost ? std::string(kStatusJid) : contact->jid;
    row.keyId = keyId(m_keySalt, serial, random);
    row.timestamp = event.timestamp;
    row.receivedTimestamp = event.timestamp;

    if (event.forcedKind < 0 && !statusPost && (firstInGroup || random.chance(group ? 0.015 : 0.003))) {
        fillSystem(row, *contact, firstInGroup, random);
        return row;
    }

    int kind = event.forcedKind;
    if (kind < 0)
        kind = statusPost ? (random.chance(0.5) ? 1 : random.chance(0.6) ? 0 : 3) : drawKind(random);
    const int language = contact != nullptr ? contact->language : static_cast<int>(random.below(8));
    fillKind(row, kind, language, random);

    const double fromMeShare = group ? 0.15 : statusPost ? 0.1 : 0.45;
    const bool fromMe = (group && contact->members.empty()) || random.chance(fromMeShare);
    if (fromMe) {
        row.keyFromMe = 1;
        const std::uint64_t roll = random.below(100);
        row.status = roll < 85 ? 13 : roll < 95 ? 5 : 4;
        row.receiptServerTimestamp = event.timestamp + random.between(200, 2000);
        if (row.status >= 5)
            row.receiptDeviceTimestamp = row.receiptServerTimestamp + random.between(100, 60'000);
        if (row.status == 13)
            row.readDeviceTimestamp = *row.receiptDeviceTimestamp + random.between(1000, 3'600'000);
        if (kind == 2 && row.status == 13 && random.chance(0.7)) {
            row.playedDeviceTimestamp = *row.readDeviceTimestamp + random.between(1000, 600'000);
        }
        if (group) {
            row.remoteResource = std::string();
            row.recipientCount = static_cast<std::int64_t>(contact->members.size());
            row.participantHash = "1:" + base64(random, 6, false);
        }
    } else {
        row.receivedTimestamp = event.timestamp + random.between(100, 8000);
        if (group) {
            // A few members do most of the talking.
            const double u = random.unit();
            row.remoteResource = contact->members[static_cast<std::size_t>(u * u * contact->members.size())];
        } else if (statusPost && !m_people.empty()) {
            row.remoteResource = m_contacts[m_people[random.below(m_people.size())]].jid;
        }
    }
    if (kind == 7)
        row.status = 6;
    if (kind == 0 && group && random.chance(0.02)) {
        row.mentionedJids = contact->members[random.below(contact->members.size())];
    }
    if (random.chance(0.01))
        row.forwarded = 1;
    if (random.chance(0.003))
        row.starred = 1;
    return row;
}

void ScaleMessages::fillSystem(MessageRow& row, const ScaleContact& chat, bool groupCreated,
                               Random& random) const {
    // A group event or a notice: no text, the event's code in media_size, and in a group the
    // member who caused it in remote_resource.
    row.status = 6;
    if (!chat.group) {
        row.mediaSize = kSecurityCodeChanged;
        return;
    }
    const bool byOwner = groupCreated ? chat.createdByOwner : chat.members.empty() || random.chance(0.2);
    row.keyFromMe = byOwner ? 1 : 0;
    if (byOwner) {
        row.remoteResource = std::string();
    } else {
        row.remoteResource = chat.members[groupCreated ? 0 : random.below(chat.members.size())];
    }
    row.mediaSize = groupCreated ? kGroupCreated : kGroupEvents[random.below(std::size(kGroupEvents))];
}

void ScaleMessages::fillKind(MessageRow& row, int kind, int language, Random& random) const {
    row.mediaWaType = kind;
    auto media = [&](const char* mime, std::int64_t low, std::int64_t high) {
        row.mediaUrl = mediaUrl(random);
        row.mediaMimeType = mime;
        row.mediaSize = random.between(low, high);
        row.mediaHash = base64(random, 32, false);
        row.mediaEncHash = base64(random, 32, false);
    };
    switch (kind) {
        case 0:
            row.data = TextPool::message(random, language);
            break;
        case 1:
            media("image/jpeg", 20'000, 4'000'000);
            if (random.chance(0.25))
                row.mediaCaption = TextPool::caption(random, language);
            break;
        case 2: {
            const bool voiceNote = random.chance(0.85);
            row.mediaDuration = random.between(1, 240);
            media(voiceNote ? "audio/ogg; codecs=opus" : "audio/mpeg", 2'000 * row.mediaDuration,
                  4'000 * row.mediaDuration);
            row.origin = voiceNote ? 1 : 0;
            break;
        }
        case 3:
            row.mediaDuration = random.between(2, 180);
            media("video/mp4", 100'000 * row.mediaDuration, 200'000 * row.mediaDuration);
            if (random.chance(0.2))
                row.mediaCaption = TextPool::caption(random, language);
            break;
        case 4: {
            // A shared contact card: the vCard is the message's data.
            const std::string name = TextPool::addressBookName(random);
            const std::string number = "4915" + std::to_string(random.between(100'000'000, 999'999'999));
            row.mediaName = name;
            row.data = "BEGIN:VCARD\nVERSION:3.0\nN:;" + name + ";;;\nFN:" + name +
                       "\nTEL;type=CELL;waid=" + number + ":+" + number + "\nEND:VCARD";
            break;
        }
        case 5:
        case 16: {
            const Place& place = kPlaces[random.below(std::size(kPlaces))];
            row.latitude = place.latitude + (random.unit() - 0.5) / 10;
            row.longitude = place.longitude + (random.unit() - 0.5) / 10;
            if (kind == 16) {
                row.mediaDuration = random.between(900, 28'800);
            } else if (random.chance(0.5)) {
                row.mediaName = TextPool::placeName(random);
            }
            break;
        }
        case 8:
            row.mediaDuration = random.between(0, 3600);
            break;
        case 9:
            media("application/pdf", 10'000, 20'000'000);
            row.mediaName = TextPool::documentName(random);
            break;
        case 13:
            row.mediaDuration = random.between(1, 8);
            media("video/mp4", 50'000, 2'000'000);
            break;
        case 20:
            media("image/webp", 8'000, 90'000);
            break;
        default:  // 7 system, 10 missed call, 15 deleted: nothing but the row itself
            break;
    }
}

Failure ScaleMessages::write(const std::filesystem::path& file, std::int64_t messages, Random& random,
                             AndroidLayout layout) {
    DatabaseBuild build;
    if (auto failure = build.create(file, AndroidSchema::msgstore(layout)))
        return failure;
    if (messages <= 0)
        return build.finish();
    Database& db = build.database();
    if (db.exec("BEGIN;") != SQLITE_OK)
        return "msgstore.db: " + db.lastError();
    if (auto failure = build.deferIndexes("messages"))
        return failure;
    MessageInserter inserter(db);
    if (auto failure = inserter.prepareFailure())
        return failure;

    const std::vector<Event> events = plan(messages - 1, random);

    // Phones start the table with a system row that belongs to no chat.
    MessageRow origin;
    origin.keyRemoteJid = "-1";
    origin.keyId = "-1";
    origin.status = 6;
    origin.timestamp = events.empty() ? m_span.first : events.front().timestamp;
    origin.receivedTimestamp = origin.timestamp;
    if (inserter.insert(origin) == 0)
        return "msgstore.db: " + db.lastError();

    const bool stored =
        generate(events, random, [&](std::uint32_t, MessageRow& row, std::int64_t quotedRowId) {
            if (quotedRowId != 0)
                row.quotedRowId = inserter.copyToQuotes(quotedRowId);
            return inserter.insert(row);
        });
    if (!stored)
        return "msgstore.db: " + db.lastError();
    if (auto failure = build.restoreIndexes())
        return failure;
    if (auto failure = writeChatList(db))
        return failure;
    if (auto failure = writeParticipants(db))
        return failure;
    if (layout == AndroidLayout::Mixed) {
        if (auto failure = ScaleModernMessages::copyNewestRows(db))
            return failure;
    }
    if (db.exec("COMMIT;") != SQLITE_OK)
        return "msgstore.db: " + db.lastError();
    return build.finish();
}

bool ScaleMessages::generate(const std::vector<Event>& events, Random& random, const Store& store) {
    m_state.assign(m_contacts.size() + 1, ChatState{});
    for (std::size_t i = 0; i < events.size(); ++i) {
        MessageRow row = makeRow(events[i], i, random);
        ChatState& state = m_state[events[i].chat];
        std::int64_t quoted = 0;
        if (row.mediaWaType == 0 && row.data && state.lastRowId != 0 && random.chance(0.01))
            quoted = state.lastRowId;
        const std::int64_t id = store(events[i].chat, row, quoted);
        if (id == 0)
            return false;
        if (state.firstRowId == 0)
            state.firstRowId = id;
        state.lastRowId = id;
        state.lastTimestamp = row.timestamp;
    }
    return true;
}

Failure ScaleMessages::writeChatList(Database& db) const {
    Statement insert(
        db,
        "INSERT INTO chat_list (key_remote_jid, message_table_id, subject, creation, "
        "last_read_message_table_id, last_read_receipt_sent_message_table_id, archived, sort_timestamp, "
        "mod_tag, my_messages, plaintext_disabled, last_message_table_id, unseen_message_count, "
        "unseen_missed_calls_count, unseen_row_count, vcard_ui_dismissed, show_group_description) "
        "VALUES (?1, ?2, ?3, ?4, ?2, ?2, 0, ?5, 0, 1, 1, ?2, 0, 0, 0, 0, 0)");
    // In the order the chats began, as the phone added them.
    std::vector<std::size_t> order;
    for (std::size_t chat = 0; chat < m_state.size(); ++chat) {
        if (m_state[chat].firstRowId != 0)
            order.push_back(chat);
    }
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return m_state[a].firstRowId < m_state[b].firstRowId; });
    for (std::size_t chat : order) {
        const bool statusPost = chat == m_contacts.size();
        const ChatState& state = m_state[chat];
        insert.bind(1, std::string_view(statusPost ? std::string_view(kStatusJid) : m_contacts[chat].jid));
        insert.bind(2, state.lastRowId);
        if (!statusPost && m_contacts[chat].group) {
            insert.bind(3, std::string_view(*m_contacts[chat].displayName));
            insert.bind(4, m_contacts[chat].created);
        } else {
            insert.bindNull(3);
            insert.bindNull(4);
        }
        insert.bind(5, state.lastTimestamp);
        insert.step();
        if (insert.result() != SQLITE_DONE)
            return "chat_list: " + db.lastError();
        insert.reset();
    }
    return std::nullopt;
}

Failure ScaleMessages::writeParticipants(Database& db) const {
    Statement insert(db,
                     "INSERT INTO group_participants (gjid, jid, admin, pending, sent_sender_key) "
                     "VALUES (?, ?, ?, 0, 0)");
    for (const ScaleContact& chat : m_contacts) {
        if (!chat.group)
            continue;
        // The owner is the row with an empty jid.
        std::vector<std::pair<std::string_view, bool>> rows{{"", chat.createdByOwner}};
        for (std::size_t i = 0; i < chat.members.size(); ++i) {
            rows.emplace_back(chat.members[i], i == 0 && !chat.createdByOwner);
        }
        for (const auto& [jid, admin] : rows) {
            insert.bind(1, std::string_view(chat.jid));
            insert.bind(2, jid);
            insert.bind(3, std::int64_t{admin ? 1 : 0});
            insert.step();
            if (insert.result() != SQLITE_DONE)
                return "group_participants: " + db.lastError();
            insert.reset();
        }
    }
    return std::nullopt;
}

}  // namespace talvio::fixture
