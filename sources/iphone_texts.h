// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/database.h"
#include "sources/message_texts.h"

#include <string>
#include <string_view>

namespace talvio {

// The texts of an iPhone ChatStorage database as the chat pages show them (kIphoneChatQuery): a
// message belongs to the chat of its sender and to that of its receiver, pictures, voice notes and
// videos show no text, and a message with several media rows takes a place for each. One pass over
// ZWAMESSAGE for every chat; chat narrows to one jid when not empty.
bool readIphoneMessageTexts(const Database& messageDb, std::string_view chat, const MessageTextSink& sink,
                            std::string& reason);

}  // namespace talvio
