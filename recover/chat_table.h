// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "recover/notice.h"

namespace talvio::recover {

inline constexpr std::string_view kChatTablePrefix = "Chat_";
// "Chat_" and 32 hexadecimal digits: the length of a WeChat chat table's name.
inline constexpr std::size_t kChatTableNameLength = 37;

struct ChatTableName {
    std::string name;             // the table to insert into; empty when refused
    std::optional<Notice> error;  // why the text was refused
};

// The chat table for the text of the "friend's WeChat id or table name" box: a 37-character text
// beginning with "Chat_" (case-sensitive) is the table's name itself, any other text beginning with
// "Chat_" is refused, and everything else is a WeChat id whose table is "Chat_" + its MD5.
ChatTableName chatTableName(std::string_view idOrTableName);

// The name as an SQL identifier in double quotes, embedded quotes doubled, so that whatever the
// user typed as a table name can only ever name a table.
std::string quoteIdentifier(std::string_view name);

}  // namespace talvio::recover
