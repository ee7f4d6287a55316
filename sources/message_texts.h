// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace talvio {

// One message's text as a source hands it to search: search never knows a source's tables.
struct MessageText {
    std::string_view jid;  // the chat, as ContactEntry::jid has it
    // The message's place on its chat's page: n for the page's n-th sender line, counted from 0
    // over every message the page shows, with text or without.
    std::int64_t ordinal = 0;
    std::int64_t time = 0;  // seconds since 1970, UTC
    bool fromMe = false;
    std::string_view text;  // UTF-8, as the page shows it before escaping; valid only during the call
};

// Gets every message with text, chat by chat or all mixed; returns false to stop the reading.
using MessageTextSink = std::function<bool(const MessageText&)>;

}  // namespace talvio
