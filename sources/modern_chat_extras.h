// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/database.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace talvio {

// What the modern layout's companion tables say about the messages of some chats, read with one
// query per table for all of them (a query per message would cost more than the page itself).
// A table the database lacks, or cannot read, is no data: older phones lack most of them.
class ModernChatExtras {
public:
    // A quoted message as the reply keeps its copy.
    struct Quote {
        bool fromMe = false;
        std::string sender;  // jid, phone jid where jid_map knows one; empty in a person's chat
        std::int64_t type = 0;
        std::string text;
        std::int64_t target = 0;  // the quoted message's row in these chats, 0 when not among them
    };
    struct Reaction {
        std::int64_t parent = 0;
        bool fromMe = false;
        std::string sender;
        std::string emoji;
    };
    struct Place {
        double latitude = 0;
        double longitude = 0;
        std::string name;
        std::string address;
        bool live = false;
    };
    struct Call {
        bool fromMe = false;
        bool video = false;
        std::int64_t duration = 0;  // seconds
        std::int64_t result = 0;
    };
    struct Event {
        std::int64_t action = 0;
        std::string oldValue;
        std::string oldNumber, newNumber;  // jids of a number change
        bool disappearing = false;
        std::int64_t duration = 0;  // seconds; 0 turned disappearing messages off
    };
    struct Listed {  // a row of a table that gives a message several rows
        std::int64_t message = 0;
        std::string text;
        std::int64_t count = 0;
    };
    // Everything about one message; indexes into the tables below, -1 for none.
    struct Extra {
        std::int32_t quote = -1, place = -1, call = -1, event = -1;
        std::uint32_t reactionsBegin = 0, reactionsEnd = 0;
        std::uint32_t cardsBegin = 0, cardsEnd = 0;
        std::uint32_t membersBegin = 0, membersEnd = 0;
        std::uint32_t optionsBegin = 0, optionsEnd = 0;
        bool revoked = false, revokedByAdmin = false, edited = false, viewOnce = false, future = false,
             poll = false, quotedByOthers = false;
    };

    ModernChatExtras(const Database& db, const std::vector<std::int64_t>& chats);

    // Null for a message none of the tables mention (most of them).
    const Extra* find(std::int64_t message) const {
        if (m_extras.empty())
            return nullptr;
        // Most messages have nothing: a bit per row answers them without touching the map.
        if (!m_rowBits.empty()) {
            const std::uint64_t bit =
                static_cast<std::uint64_t>(message) - static_cast<std::uint64_t>(m_firstRow);
            if (message < m_firstRow || bit >= m_rowBits.size() * 64 ||
                (m_rowBits[bit / 64] >> (bit % 64) & 1) == 0)
                return nullptr;
        }
        const auto found = m_extras.find(message);
        return found == m_extras.end() ? nullptr : &found->second;
    }

    const Quote& quote(const Extra& e) const { return m_quotes[static_cast<std::size_t>(e.quote)]; }
    const Place& place(const Extra& e) const { return m_places[static_cast<std::size_t>(e.place)]; }
    const Call& call(const Extra& e) const { return m_calls[static_cast<std::size_t>(e.call)]; }
    const Event& event(const Extra& e) const { return m_events[static_cast<std::size_t>(e.event)]; }
    const std::vector<Reaction>& reactions() const { return m_reactions; }
    const std::vector<Listed>& cards() const { return m_cards; }      // text: the vCard
    const std::vector<Listed>& members() const { return m_members; }  // text: the member's jid
    const std::vector<Listed>& options() const { return m_options; }  // text: the option, count: votes

    // The words of a message that are not its own text, for search: a contact card's names and
    // numbers, a place's name and address, a poll's options, the quoted text of a reply.
    void appendSearchText(std::string& out, std::int64_t message) const;

private:
    Extra& extra(std::int64_t message) { return m_extras[message]; }
    void readQuotes(const Database& db, const std::string& in, const std::vector<std::int64_t>& chats,
                    bool jidMap);
    void readReactions(const Database& db, const std::string& in, const std::vector<std::int64_t>& chats,
                       bool jidMap);
    void readEvents(const Database& db, const std::string& in, const std::vector<std::int64_t>& chats,
                    bool jidMap);
    void readCalls(const Database& db, const std::string& in, const std::vector<std::int64_t>& chats);
    void readPlaces(const Database& db, const std::string& in, const std::vector<std::int64_t>& chats);
    void readMarks(const Database& db, const std::string& in, const std::vector<std::int64_t>& chats);
    // Sorts a list by message and gives every message its range of it.
    void index(std::vector<Listed>& list, std::uint32_t Extra::*begin, std::uint32_t Extra::*end);

    void markRows();

    std::unordered_map<std::int64_t, Extra> m_extras;
    std::int64_t m_firstRow = 0;
    std::vector<std::uint64_t> m_rowBits;  // from m_firstRow on; empty when the rows lie too far apart
    std::vector<Quote> m_quotes;
    std::vector<Reaction> m_reactions;
    std::vector<Place> m_places;
    std::vector<Call> m_calls;
    std::vector<Event> m_events;
    std::vector<Listed> m_cards, m_members, m_options;
};

}  // namespace talvio
