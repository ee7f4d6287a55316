// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The recover tool's table-name rule on any text typed into its box, and the quoting that keeps
// that name from being anything but a table's name in SQL.
#include "fuzz/fuzz_support.h"
#include "recover/chat_table.h"

#include <sqlite3.h>

using namespace talvio;
using namespace talvio::recover;

namespace {

bool isLowerHex(std::string_view text) {
    return text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Creates a table under the quoted name in a database in memory and reads back the name SQLite
// stored: the quoting must have carried the name through whole, or been refused by SQLite.
void checkQuotedName(std::string_view name) {
    sqlite3* db = nullptr;
    FUZZ_CHECK(
        sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr) == SQLITE_OK,
        "no database in memory");
    const std::string create = "CREATE TABLE " + quoteIdentifier(name) + "(x);";
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int prepared = sqlite3_prepare_v2(db, create.data(), static_cast<int>(create.size()), &stmt, &tail);
    if (prepared == SQLITE_OK && stmt != nullptr) {
        FUZZ_CHECK(tail == create.data() + create.size(), "the quoted name ended the statement early");
        const int created = sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        if (created == SQLITE_DONE) {
            sqlite3_stmt* names = nullptr;
            sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table';", -1, &names, nullptr);
            FUZZ_CHECK(sqlite3_step(names) == SQLITE_ROW, "the table was not made");
            const std::string_view stored(reinterpret_cast<const char*>(sqlite3_column_text(names, 0)),
                                          static_cast<std::size_t>(sqlite3_column_bytes(names, 0)));
            FUZZ_CHECK(stored == name, "SQLite stored another name than the one quoted");
            FUZZ_CHECK(sqlite3_step(names) == SQLITE_DONE, "the quoted name made more than one table");
            sqlite3_finalize(names);
        }
    } else {
        sqlite3_finalize(stmt);
        // SQLite refuses a few names outright (a zero byte ends its text, names beginning with
        // "sqlite_" are its own): refused is fine, a different table is not.
    }
    sqlite3_close(db);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view typed = fuzz::asText(data, size);
    const ChatTableName table = chatTableName(typed);
    FUZZ_CHECK(table.name.empty() == table.error.has_value(), "neither a name nor an error, or both");
    if (typed.empty() || (typed.starts_with(kChatTablePrefix) && typed.size() != kChatTableNameLength)) {
        FUZZ_CHECK(table.error.has_value(), "a text the rule refuses was taken");
        return 0;
    }
    FUZZ_CHECK(table.name.size() == kChatTableNameLength && table.name.starts_with(kChatTablePrefix),
               "a table name that is not Chat_ and 32 characters");
    if (typed.starts_with(kChatTablePrefix)) {
        FUZZ_CHECK(table.name == typed, "a table name typed in full was changed");
    } else {
        FUZZ_CHECK(isLowerHex(std::string_view(table.name).substr(kChatTablePrefix.size())),
                   "an id's table is not Chat_ and its MD5 in hex");
    }
    checkQuotedName(table.name);
    if (size <= 200)
        checkQuotedName(typed);
    return 0;
}
