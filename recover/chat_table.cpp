// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/chat_table.h"

#include "recover/md5.h"

namespace talvio::recover {

ChatTableName chatTableName(std::string_view idOrTableName) {
    if (idOrTableName.empty()) {
        return {{}, Notice{kNoTableNameText, {}}};
    }
    if (idOrTableName.starts_with(kChatTablePrefix)) {
        if (idOrTableName.size() != kChatTableNameLength) {
            return {{}, Notice{kTableNameWrongText, {}}};
        }
        return {std::string(idOrTableName), std::nullopt};
    }
    return {std::string(kChatTablePrefix) + md5Hex(idOrTableName), std::nullopt};
}

std::string quoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

}  // namespace talvio::recover
