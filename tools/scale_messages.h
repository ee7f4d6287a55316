// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

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

    Failure write(const std::filesystem::path& file, std::int64_t messages, Random& random);

private:
    struct Event {
        std::int64_t timestamp;
        std::uint32_t chat;
        std::int16_t forcedKind;  // -1: drawn at random
    };
    struct ChatState {
        std::int64_t firstRowId = 0;
        std::int64_t lastRowId = 0;
        std::int64_t lastTimestamp = 0;
        bool started = false;
    };

    std::vector<Event> plan(std::int64_t messages, Random& random) const;
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
