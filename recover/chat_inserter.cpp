// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/chat_inserter.h"

#include <sqlite3.h>

#include <charconv>
#include <optional>

#include "recover/chat_table.h"
#include "sources/database.h"

namespace talvio::recover {
namespace {

constexpr std::string_view kColumns =
    " (MesSvrID, CreateTime, Message, Status, ImgStatus, Type, Des) values (";

// Status is an integer column: a type line that is not a decimal integer would be stored as text
// that WeChat cannot read, so such a group is refused rather than written.
std::optional<std::int64_t> statusValue(std::string_view type) {
    // from_chars takes a minus sign but not a plus sign; one sign of either kind is allowed.
    if (type.starts_with('+') && !type.substr(1).starts_with('-'))
        type.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(type.data(), type.data() + type.size(), value);
    if (error != std::errc{} || end != type.data() + type.size())
        return std::nullopt;
    return value;
}

std::string quotedLiteral(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += '\'';
        quoted += c;
    }
    quoted += '\'';
    return quoted;
}

std::string writtenOut(const std::string& table, std::int64_t id, std::int64_t time,
                       const MessageGroup& group, int des) {
    return "insert into " + table + std::string(kColumns) + std::to_string(id) + ", " + std::to_string(time) +
           ", " + quotedLiteral(group.message) + ", " + group.type + ", 1, 1, " + std::to_string(des) + ");";
}

// Ids count down and may pass the smallest 64-bit value on a start value near it: wrap as the
// two's-complement arithmetic of the ids always has, instead of overflowing.
std::int64_t nextId(std::int64_t id) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(id) - 1u);
}

}  // namespace

std::vector<Notice> InsertReport::notices() const {
    if (outcome == InsertOutcome::DatabaseNotOpened)
        return {Notice{kDatabaseOpenFailedText, {}}};
    std::vector<Notice> shown;
    for (const InsertFailure& failure : failures)
        shown.push_back(failure.notice());
    shown.push_back(Notice{kFinishedText, {}});
    return shown;
}

InsertReport insertGroups(const std::string& databasePath, std::string_view tableName,
                          const std::vector<MessageGroup>& groups, std::int64_t startValue,
                          int standardBiasMinutes) {
    InsertReport report;
    Database db;
    report.databaseResult = db.open(databasePath, Database::Access::ReadWriteExisting);
    if (report.databaseResult != SQLITE_OK) {
        report.outcome = InsertOutcome::DatabaseNotOpened;
        report.databaseError = sqlite3_errstr(report.databaseResult);
        return report;
    }

    const std::string table = quoteIdentifier(tableName);
    Statement insert(db, "insert into " + table + std::string(kColumns) + "?1, ?2, ?3, ?4, 1, 1, ?5);");
    // A missing table or a file that is no database fails here; each group still gets its own report.
    const std::string prepareError = insert.ok() ? std::string() : db.lastError();

    std::int64_t id = startValue;
    for (const MessageGroup& group : groups) {
        const std::int64_t time = createTime(group.time, standardBiasMinutes);
        const int des = group.type == "4" ? 1 : 0;
        const std::optional<std::int64_t> status = statusValue(group.type);
        std::string reason;
        if (!insert.ok()) {
            reason = prepareError;
        } else if (!status) {
            reason = "the type line is not an integer";
        } else {
            insert.bind(1, id);
            insert.bind(2, time);
            insert.bind(3, std::string_view(group.message));
            insert.bind(4, *status);
            insert.bind(5, std::int64_t{des});
            insert.step();
            if (insert.result() != SQLITE_DONE)
                reason = db.lastError();
            insert.reset();
        }
        if (reason.empty()) {
            ++report.inserted;
        } else {
            report.failures.push_back({id, writtenOut(table, id, time, group, des), std::move(reason)});
        }
        id = nextId(id);
    }
    return report;
}

}  // namespace talvio::recover
