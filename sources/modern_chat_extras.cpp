// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "modern_chat_extras.h"

#include "sources/vcard.h"

#include <algorithm>

namespace talvio {
namespace {

bool hasTable(const Database& db, std::string_view name) {
    Statement probe(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?;");
    probe.bind(1, name);
    return probe.step();
}

// Runs sql, whose "(?)" stands for the list of chats, and hands every row to the handler. A
// query that cannot be prepared (a table or column this phone's version lacks) gives no rows.
template <typename Handler>
void forEachRow(const Database& db, std::string_view sql, const std::string& in,
                const std::vector<std::int64_t>& chats, Handler&& handler) {
    std::string text(sql);
    const std::size_t slot = text.find("(?)");
    if (slot != std::string::npos)
        text.replace(slot, 3, "(" + in + ")");
    Statement rows(db, text);
    if (!rows.ok())
        return;
    for (std::size_t i = 0; i < chats.size(); ++i)
        rows.bind(static_cast<int>(i) + 1, chats[i]);
    while (rows.step())
        handler(rows);
}

// The jid of a jid row as the page names people: the phone jid where jid_map knows one.
std::string senderColumn(bool jidMap, std::string_view alias) {
    const std::string a(alias);
    return jidMap ? "COALESCE(" + a + "p.raw_string, " + a + ".raw_string)" : a + ".raw_string";
}

std::string senderJoins(bool jidMap, std::string_view alias, std::string_view rowColumn) {
    const std::string a(alias);
    std::string joins = " LEFT JOIN jid AS " + a + " ON " + a + "._id = " + std::string(rowColumn);
    if (jidMap) {
        joins += " LEFT JOIN jid_map AS " + a + "m ON " + a + "m.lid_row_id = " + a +
                 "._id LEFT JOIN jid AS " + a + "p ON " + a + "p._id = " + a + "m.jid_row_id";
    }
    return joins;
}

std::string textOf(const Statement& row, int column) {
    return std::string(row.textView(column));
}

}  // namespace

ModernChatExtras::ModernChatExtras(const Database& db, const std::vector<std::int64_t>& chats) {
    if (chats.empty())
        return;
    std::string in;
    for (std::size_t i = 0; i < chats.size(); ++i)
        in += i == 0 ? "?" : ",?";
    const bool jidMap = hasTable(db, "jid_map");
    readQuotes(db, in, chats, jidMap);
    readReactions(db, in, chats, jidMap);
    readEvents(db, in, chats, jidMap);
    readCalls(db, in, chats);
    readPlaces(db, in, chats);
    readMarks(db, in, chats);
    markRows();
}

void ModernChatExtras::markRows() {
    if (m_extras.empty())
        return;
    std::int64_t first = m_extras.begin()->first, last = first;
    for (const auto& [row, extra] : m_extras) {
        first = std::min(first, row);
        last = std::max(last, row);
    }
    // Rows too far apart (a damaged database) get no bits: the map alone answers then.
    constexpr std::uint64_t kMostBits = std::uint64_t{1} << 30;
    const std::uint64_t span = static_cast<std::uint64_t>(last) - static_cast<std::uint64_t>(first) + 1;
    if (span > kMostBits || span == 0)
        return;
    m_firstRow = first;
    m_rowBits.assign(static_cast<std::size_t>((span + 63) / 64), 0);
    for (const auto& [row, extra] : m_extras) {
        const std::uint64_t bit = static_cast<std::uint64_t>(row - first);
        m_rowBits[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
}

void ModernChatExtras::readQuotes(const Database& db, const std::string& in,
                                  const std::vector<std::int64_t>& chats, bool jidMap) {
    // The quoted message is found by its key in the chat the quote names, through the message
    // key index; only a target among the shown chats gets a link.
    const std::string sql = "SELECT q.message_row_id, q.from_me, " + senderColumn(jidMap, "s") +
                            ", q.message_type, q.text_data, t._id, t.chat_row_id IN (?) "
                            "FROM message_quoted AS q" +
                            senderJoins(jidMap, "s", "q.sender_jid_row_id") +
                            " LEFT JOIN message AS t ON t.chat_row_id = q.parent_message_chat_row_id "
                            "AND t.from_me = q.from_me AND t.key_id = q.key_id "
                            "WHERE q.chat_row_id IN (" +
                            in + ");";
    // Both lists of chats are bound: the first "(?)" is filled by forEachRow, the second is in.
    std::vector<std::int64_t> twice = chats;
    twice.insert(twice.end(), chats.begin(), chats.end());
    forEachRow(db, sql, in, twice, [&](const Statement& row) {
        Quote quote;
        quote.fromMe = row.int64(1) != 0;
        quote.sender = textOf(row, 2);
        quote.type = row.int64(3);
        quote.text = textOf(row, 4);
        if (!row.isNull(5) && row.int64(6) != 0) {
            quote.target = row.int64(5);
            extra(quote.target).quotedByOthers = true;
        }
        extra(row.int64(0)).quote = static_cast<std::int32_t>(m_quotes.size());
        m_quotes.push_back(std::move(quote));
    });
}

void ModernChatExtras::readReactions(const Database& db, const std::string& in,
                                     const std::vector<std::int64_t>& chats, bool jidMap) {
    const std::string sql = "SELECT a.parent_message_row_id, a.from_me, " + senderColumn(jidMap, "s") +
                            ", r.reaction FROM message_add_on AS a "
                            "JOIN message_add_on_reaction AS r ON r.message_add_on_row_id = a._id" +
                            senderJoins(jidMap, "s", "a.sender_jid_row_id") +
                            " WHERE a.chat_row_id IN (?) ORDER BY a.parent_message_row_id, a._id;";
    forEachRow(db, sql, in, chats, [&](const Statement& row) {
        // A withdrawn reaction stays as a row with an empty emoji.
        if (row.textView(3).empty())
            return;
        m_reactions.push_back({row.int64(0), row.int64(1) != 0, textOf(row, 2), textOf(row, 3)});
    });
    for (std::size_t i = 0; i < m_reactions.size(); ++i) {
        Extra& e = extra(m_reactions[i].parent);
        if (e.reactionsEnd == 0)
            e.reactionsBegin = static_cast<std::uint32_t>(i);
        e.reactionsEnd = static_cast<std::uint32_t>(i + 1);
    }
}

void ModernChatExtras::readEvents(const Database& db, const std::string& in,
                                  const std::vector<std::int64_t>& chats, bool jidMap) {
    // These tables have no chat column: they are reached from the chats' event rows, which the
    // index on (chat_row_id, message_type) finds without reading the other messages.
    constexpr std::string_view kOfChats = " WHERE m.chat_row_id IN (?) AND m.message_type = 7";
    const auto eventOf = [&](std::int64_t message) -> Event& {
        Extra& e = extra(message);
        if (e.event < 0) {
            e.event = static_cast<std::int32_t>(m_events.size());
            m_events.emplace_back();
        }
        return m_events[static_cast<std::size_t>(e.event)];
    };
    forEachRow(db,
               std::string("SELECT x.message_row_id, x.action_type FROM message AS m CROSS JOIN "
                           "message_system AS x ON x.message_row_id = m._id") +
                   kOfChats.data(),
               in, chats, [&](const Statement& row) { eventOf(row.int64(0)).action = row.int64(1); });
    forEachRow(db,
               std::string("SELECT x.message_row_id, x.old_data FROM message AS m CROSS JOIN "
                           "message_system_value_change AS x ON x.message_row_id = m._id") +
                   kOfChats.data(),
               in, chats, [&](const Statement& row) { eventOf(row.int64(0)).oldValue = textOf(row, 1); });
    forEachRow(
        db,
        "SELECT x.message_row_id, " + senderColumn(jidMap, "o") + ", " + senderColumn(jidMap, "n") +
            " FROM message AS m CROSS JOIN message_system_number_change AS x ON x.message_row_id = m._id" +
            senderJoins(jidMap, "o", "x.old_jid_row_id") + senderJoins(jidMap, "n", "x.new_jid_row_id") +
            kOfChats.data(),
        in, chats, [&](const Statement& row) {
            Event& event = eventOf(row.int64(0));
            event.oldNumber = textOf(row, 1);
            event.newNumber = textOf(row, 2);
        });
    forEachRow(db,
               std::string("SELECT x.message_row_id, x.setting_duration FROM message AS m CROSS JOIN "
                           "message_ephemeral_setting AS x ON x.message_row_id = m._id") +
                   kOfChats.data(),
               in, chats, [&](const Statement& row) {
                   Event& event = eventOf(row.int64(0));
                   event.disappearing = true;
                   event.duration = row.int64(1);
               });
    forEachRow(
        db,
        "SELECT x.message_row_id, " + senderColumn(jidMap, "s") +
            " FROM message AS m CROSS JOIN message_system_chat_participant AS x ON x.message_row_id = m._id" +
            senderJoins(jidMap, "s", "x.user_jid_row_id") + kOfChats.data() + " ORDER BY x.rowid;",
        in, chats, [&](const Statement& row) {
            m_members.push_back({row.int64(0), textOf(row, 1), 0});
        });
    index(m_members, &Extra::membersBegin, &Extra::membersEnd);
}

void ModernChatExtras::readCalls(const Database& db, const std::string& in,
                                 const std::vector<std::int64_t>& chats) {
    const auto add = [&](const Statement& row) {
        Extra& e = extra(row.int64(0));
        if (e.call >= 0)
            return;
        e.call = static_cast<std::int32_t>(m_calls.size());
        m_calls.push_back({row.int64(1) != 0, row.int64(2) != 0, row.int64(3), row.int64(4)});
    };
    forEachRow(db,
               "SELECT x.message_row_id, c.from_me, c.video_call, c.duration, c.call_result "
               "FROM message AS m CROSS JOIN message_call_log AS x ON x.message_row_id = m._id "
               "JOIN call_log AS c ON c._id = x.call_log_row_id "
               "WHERE m.chat_row_id IN (?) AND m.message_type IN (8, 10, 90);",
               in, chats, add);
    // Phones without message_call_log tie a call row to its call by the call's id, which is the
    // row's key: the chats' call rows come from the (chat, type) index, call_log is read once in
    // storage order and matched here.
    if (hasTable(db, "message_call_log"))
        return;
    std::unordered_map<std::string, std::int64_t> callRows;
    forEachRow(db,
               "SELECT m._id, m.from_me, m.key_id FROM message AS m "
               "WHERE m.chat_row_id IN (?) AND m.message_type IN (8, 10, 90);",
               in, chats, [&](const Statement& row) {
                   if (const Extra* e = find(row.int64(0)); e == nullptr || e->call < 0)
                       callRows.emplace(std::string(row.int64(1) != 0 ? "1" : "0").append(row.textView(2)),
                                        row.int64(0));
               });
    if (callRows.empty())
        return;
    std::string key;
    forEachRow(db, "SELECT call_id, from_me, video_call, duration, call_result FROM call_log;", in, {},
               [&](const Statement& row) {
                   key.assign(row.int64(1) != 0 ? "1" : "0").append(row.textView(0));
                   const auto found = callRows.find(key);
                   if (found == callRows.end())
                       return;
                   Extra& e = extra(found->second);
                   if (e.call >= 0)
                       return;
                   e.call = static_cast<std::int32_t>(m_calls.size());
                   m_calls.push_back({row.int64(1) != 0, row.int64(2) != 0, row.int64(3), row.int64(4)});
               });
}

void ModernChatExtras::readPlaces(const Database& db, const std::string& in,
                                  const std::vector<std::int64_t>& chats) {
    forEachRow(db,
               "SELECT x.message_row_id, x.latitude, x.longitude, x.place_name, x.place_address, "
               "x.live_location_share_duration, x.live_location_final_latitude, "
               "x.live_location_final_longitude, m.message_type FROM message AS m "
               "CROSS JOIN message_location AS x ON x.message_row_id = m._id "
               "WHERE m.chat_row_id IN (?) AND m.message_type IN (5, 16);",
               in, chats, [&](const Statement& row) {
                   Place place;
                   place.live = row.int64(5) > 0 || row.int64(8) == 16;
                   // A live location that ended shows where it ended.
                   const bool final = place.live && !row.isNull(6) && !row.isNull(7);
                   place.latitude = row.real(final ? 6 : 1);
                   place.longitude = row.real(final ? 7 : 2);
                   place.name = textOf(row, 3);
                   place.address = textOf(row, 4);
                   extra(row.int64(0)).place = static_cast<std::int32_t>(m_places.size());
                   m_places.push_back(std::move(place));
               });
}

void ModernChatExtras::readMarks(const Database& db, const std::string& in,
                                 const std::vector<std::int64_t>& chats) {
    // Deleted messages are many in a long chat: reached from their rows by the (chat, type) index.
    forEachRow(
        db,
        "SELECT x.message_row_id, x.admin_jid_row_id FROM message AS m CROSS JOIN message_revoked AS x "
        "ON x.message_row_id = m._id WHERE m.chat_row_id IN (?) AND m.message_type IN (15, 64);",
        in, chats, [&](const Statement& row) {
            Extra& e = extra(row.int64(0));
            e.revoked = true;
            e.revokedByAdmin = !row.isNull(1) && row.int64(1) > 0;
        });
    // Edits, view-once media and messages of newer versions are few in any database: their
    // tables are read whole, without the look-up of each row's chat, and rows of other chats
    // are simply never asked for.
    const auto allRowsOf = [&](std::string_view table, auto&& handler) {
        forEachRow(db, "SELECT message_row_id FROM " + std::string(table) + ";", in, {}, handler);
    };
    allRowsOf("message_edit_info", [&](const Statement& row) { extra(row.int64(0)).edited = true; });
    allRowsOf("message_view_once_media", [&](const Statement& row) { extra(row.int64(0)).viewOnce = true; });
    allRowsOf("message_future", [&](const Statement& row) { extra(row.int64(0)).future = true; });
    // Cards and polls are reached from their rows' kinds by the (chat, type) index: a look-up
    // of every row of their tables would read the message table all over.
    const auto rowsOfKinds = [&](std::string_view table, std::string_view columns, std::string_view kinds,
                                 auto&& handler) {
        forEachRow(db,
                   "SELECT x.message_row_id" + std::string(columns) + " FROM message AS m CROSS JOIN " +
                       std::string(table) +
                       " AS x ON x.message_row_id = m._id WHERE m.chat_row_id IN (?) "
                       "AND m.message_type IN (" +
                       std::string(kinds) + ");",
                   in, chats, handler);
    };
    rowsOfKinds("message_poll", "", "46, 66", [&](const Statement& row) { extra(row.int64(0)).poll = true; });
    rowsOfKinds("message_vcard", ", x.vcard", "4, 14", [&](const Statement& row) {
        m_cards.push_back({row.int64(0), textOf(row, 1), 0});
    });
    index(m_cards, &Extra::cardsBegin, &Extra::cardsEnd);
    rowsOfKinds("message_poll_option", ", x.option_name, x.vote_total", "46, 66", [&](const Statement& row) {
        m_options.push_back({row.int64(0), textOf(row, 1), row.int64(2)});
    });
    index(m_options, &Extra::optionsBegin, &Extra::optionsEnd);
}

void ModernChatExtras::index(std::vector<Listed>& list, std::uint32_t Extra::*begin,
                             std::uint32_t Extra::*end) {
    std::stable_sort(list.begin(), list.end(),
                     [](const Listed& a, const Listed& b) { return a.message < b.message; });
    for (std::size_t i = 0; i < list.size(); ++i) {
        Extra& e = extra(list[i].message);
        if (e.*end == 0)
            e.*begin = static_cast<std::uint32_t>(i);
        e.*end = static_cast<std::uint32_t>(i + 1);
    }
}

void ModernChatExtras::appendSearchText(std::string& out, std::int64_t message) const {
    const Extra* e = find(message);
    if (e == nullptr)
        return;
    const auto add = [&out](std::string_view text) {
        if (text.empty())
            return;
        // Each on a line of its own, as the page shows them.
        if (!out.empty())
            out += '\n';
        out += text;
    };
    if (e->quote >= 0)
        add(quote(*e).text);
    if (e->place >= 0) {
        add(place(*e).name);
        add(place(*e).address);
    }
    for (std::uint32_t i = e->cardsBegin; i < e->cardsEnd; ++i) {
        for (const AddressCard& card : parseVCards(m_cards[i].text)) {
            add(card.name);
            for (const std::string& number : card.numbers)
                add(number);
        }
    }
    for (std::uint32_t i = e->optionsBegin; i < e->optionsEnd; ++i)
        add(m_options[i].text);
}

}  // namespace talvio
