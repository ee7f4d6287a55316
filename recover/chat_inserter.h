// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "recover/notice.h"
#include "recover/text_file_check.h"

namespace talvio::recover {

// MesSvrID of the first message unless the user chooses another; ids count down from it.
inline constexpr std::int64_t kDefaultStartValue = std::numeric_limits<std::int64_t>::max();

// One insert that did not happen. Every group is its own statement, so a failure costs that
// message only.
struct InsertFailure {
    std::int64_t mesSvrId = 0;
    // The statement with its values written out as SQL literals, for the user to see what was
    // meant to be added; the values themselves always travel as bound parameters.
    std::string statement;
    std::string reason;  // SQLite's explanation, or why the group was never sent

    Notice notice() const { return {statement, kInsertFailedCaption}; }
};

enum class InsertOutcome {
    Finished,           // every group was tried; failures lists the ones that were not added
    DatabaseNotOpened,  // nothing was tried: the file is missing or cannot be opened for writing
};

struct InsertReport {
    InsertOutcome outcome = InsertOutcome::Finished;
    std::size_t inserted = 0;
    std::vector<InsertFailure> failures;
    int databaseResult = 0;     // SQLite's result code of the open
    std::string databaseError;  // and its explanation, when the database was not opened

    // The boxes the user is shown, in order: one per failed statement, then "finished", or the
    // database's fault alone.
    std::vector<Notice> notices() const;
};

// Adds one row per group to tableName of the existing database at databasePath: MesSvrID counts
// down from startValue, one per group whether or not its insert succeeds; CreateTime is the group's
// time as local standard time with the given bias (see createTime); Status is the type line, Des is
// 1 for type "4" and 0 otherwise; ImgStatus and Type are 1. The database is never created.
InsertReport insertGroups(const std::string& databasePath, std::string_view tableName,
                          const std::vector<MessageGroup>& groups, std::int64_t startValue,
                          int standardBiasMinutes);

}  // namespace talvio::recover
