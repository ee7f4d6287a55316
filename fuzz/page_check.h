// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/chat_page.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvio::fuzz {

// One message block of a chat page, read back.
struct PageBlock {
    std::string sender;  // as in the page
    std::string time;
    BodyKind body = BodyKind::Text;
    // What the body carries as a browser takes it: a text body's text as in the page, a picture's
    // address or file name (a file: address decoded to its path), a player call's script string
    // after attribute and script unescaping. Empty for markers.
    std::string value;
};

struct ReadPage {
    std::vector<PageBlock> blocks;
    bool noMessage = false;  // ends in the "No message" block
    std::string unreadable;  // the reason of a "This chat could not be read" notice, as in the page
};

// Reads a chat page back, fragment by fragment. The fixed fragments are taken from the page
// builder itself; everything between them came from the data and must not be able to end its
// place: no '<' or '>' in names, times and texts, no quote that closes an address or attribute,
// and a player call's script string closed exactly where the builder closes it. Returns what is
// wrong, with the offset, or nothing when the page reads back whole.
std::optional<std::string> readChatPage(std::string_view page, int mode, ReadPage& read);

}  // namespace talvio::fuzz
