// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string_view>

namespace talvio {

// What a row of the modern "message" table is, by its message_type. Companion tables say the
// rest (the place, the card, the poll's options, whether it was deleted or is view-once).
enum class ModernKind : std::uint8_t {
    Text,
    Media,  // pictures, audio, video, documents, GIFs, stickers: the media writer's
    Contact,
    Location,
    LiveLocation,
    Event,
    Call,
    MissedCall,
    Deleted,
    DeletedByAdmin,
    Waiting,  // a message the phone could not decrypt yet
    ViewOnce,
    Poll,
    Unknown,
};

ModernKind modernKindOf(std::int64_t messageType);

// Words for a short mention of a message of that code ("Photo", "Location"), for the quote of a
// reply that has no text; empty for text.
std::string_view modernKindWords(std::int64_t messageType);

// How a chat event of message_system.action_type reads. {a} is who caused it, {m} the members
// it concerns, {t} the new value (message.text_data). withoutValue serves when {t} or {m} would
// be empty. Null for a code not in the table: the page then shows a generic event line.
struct EventWords {
    std::int64_t actionType;
    std::string_view words;
    std::string_view withoutValue;
};
const EventWords* eventWordsOf(std::int64_t actionType);

// message.origination_flags: the bit that marks a forwarded message.
inline constexpr std::int64_t kForwardedFlag = 1;

}  // namespace talvio
