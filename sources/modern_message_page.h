// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/android_media_page.h"
#include "sources/chat_software.h"
#include "sources/database.h"
#include "sources/message_time.h"
#include "sources/modern_chat_extras.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace talvio {

class ChatPageBuffer;

// The columns a modern chat query selects after its first five (kind, from me, time, text,
// sender): the message's row and its origination flags.
std::string modernExtraColumns(bool withFlags);

// Appends a block for each row of a modern chat query (columns: kind, from me, time, text,
// sender, then modernExtraColumns): plain texts and media as the Android pages have always shown
// them, every other kind of message for what it is, with its quote, its reactions and its marks.
RenderOutcome appendModernMessages(Statement& messages, const Database& messageDb, std::string_view shownName,
                                   const MessageTimeFormatter& times, ChatPageBuffer& out,
                                   AndroidMediaWriter* media, std::string_view jid,
                                   const ModernChatExtras& extras);

// How many seconds a disappearing-messages setting keeps messages, in words ("7 days").
std::string durationWords(std::int64_t seconds);

// A map link for a place: https://www.openstreetmap.org/?mlat=..&mlon=.. with the coordinates
// written the same way in every locale; empty for coordinates no place on earth has.
std::string mapAddress(double latitude, double longitude);

}  // namespace talvio
