// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tools/android_schema.h"
#include "tools/failure.h"
#include "tools/message_inserter.h"
#include "tools/random.h"
#include "tools/scale_contacts.h"

namespace talvio::fixture {

// The msgstore.db of a generated folder: `messages` rows spread over the contacts' chats as
// ScalePlan says, in the order of their timestamps (as a phone inserts them), with every
// message kind, group senders, system rows, quotes, and the chat_list and group_participants
// that go with them.
class ScaleMessages {
public:
    // Every media_wa_type code that WhatsApp writes into the legacy table.
    static constexpr int kKinds[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 13, 15, 16, 20};
    static constexpr const char* kStatusJid = "status@broadcast";

    ScaleMessages(const ScaleContacts& contacts, const TimeSpan& span, std::uint64_t seed);

    // The legacy table, or in the mixed layout the legacy table beside the modern tables, which
    // then hold only the newest few rows.
    Failure write(const std::filesystem::path& file, std::int64_t messages, Random& random,
                  AndroidLayout layout = AndroidLayout::Legacy);

    // One message of the plan: when, in which chat (an index into the contacts, or
    // statusChat() for status posts), and of which kind.
    struct Event {
        std::int64_t timestamp;
        std::uint32_t chat;
        std::int16_t forcedKind;  // -1: drawn at random
    };
    std::uint32_t statusChat() const { return static_cast<std::uint32_t>(m_contacts.size()); }
    const TimeSpan& span() const { return m_span; }

    // `rows` messages in time order, spread over the chats as ScalePlan says.
    std::vector<Event> plan(std::int64_t rows, Random& random) const;

    // Stores one message and returns its row id, 0 when that failed. quotedRowId is the id of an
    // earlier message of the same chat that this one replies to, or 0.
    using Store = std::function<std::int64_t(std::uint32_t chat, MessageRow& row, std::int64_t quotedRowId)>;
    // Makes the row of every event, in order, and hands it to `store`; false when a store failed.
    // The rows are the same whichever layout stores them.
    bool generate(const std::vector<Event>& events, Random& random, const Store& store);

private:
    struct ChatState {
        std::int64_t firstRowId = 0;
        std::int64_t lastRowId = 0;
        std::int64_t lastTimestamp = 0;
        bool started = false;
    };

    void forceEveryKind(std::vector<Event>& events, Random& random) const;
    MessageRow makeRow(const Event& event, std::uint64_t serial, Random& random);
    void fillSystem(MessageRow& row, const ScaleContact& chat, bool groupCreated, Random& random) const;
    void fillKind(MessageRow& row, int kind, int language, Random& random) const;
    Failure writeChatList(Database& db) const;
    Failure writeParticipants(Database& db) const;

    const std::vector<ScaleContact>& m_contacts;
    TimeSpan m_span;
    std::uint64_t m_keySalt;
    std::vector<std::size_t> m_people;  // indices of the contacts that are persons
    std::vector<ChatState> m_state;     // one per contact, then the status pseudo-chat
};

}  // namespace talvio::fixture
