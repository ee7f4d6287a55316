// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recover/chat_inserter.h"
#include "recover/notice.h"

namespace talvio::recover {

// What the recover dialog's boxes hold when "recover" is pressed.
struct RecoverRequest {
    std::string textFilePath;
    std::string databasePath;
    std::string idOrTableName;
    std::int64_t startValue = kDefaultStartValue;
};

struct RecoverResult {
    // Set when the recovery stopped before the database was touched: no id or table name, a
    // refused table name, or a fault of the text file.
    std::optional<Notice> refusal;
    std::string tableName;
    InsertReport report;  // meaningful only without a refusal

    // Every box the user is shown, in order.
    std::vector<Notice> notices() const;
};

// The whole "recover" command: table name, format check, then one insert per complete group.
// The text file is read once, so what is inserted is exactly what was checked. The dialog passes
// standardTimeZoneBias() (sources/message_time.h) as the bias.
RecoverResult runRecovery(const RecoverRequest& request, int standardBiasMinutes);

// The start-value box: an optional sign and decimal digits, white space around them allowed, within
// the signed 64-bit range. Anything else is not an integer (kNotAnIntegerText, previous value kept).
std::optional<std::int64_t> parseStartValue(std::string_view text);

// The database picker takes only a file whose path ends in "mm.sqlite", ignoring case
// (otherwise kWrongDatabaseText and the path is not taken). A typed path is not tested.
bool isWeChatDatabasePath(std::string_view path);

}  // namespace talvio::recover
