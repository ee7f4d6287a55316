// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/database.h"
#include "sources/message_texts.h"
#include "sources/phone_folder.h"

#include <string>
#include <string_view>

namespace talvio {

// The texts of an Android message database, as its chat pages show them: a message's text, or
// with the media folder known the caption of a media message; markers have none. One pass over
// the message table for every chat; chat narrows to one jid when not empty. False when the rows
// ended in an error (reason says why) or the sink stopped.
bool readAndroidMessageTexts(const Database& messageDb, const PhoneFolder& folder, std::string_view chat,
                             const MessageTextSink& sink, std::string& reason);

}  // namespace talvio
