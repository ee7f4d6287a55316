// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/time_line.h"

#include <gtest/gtest.h>

#include <optional>

namespace talvio::recover {
namespace {

constexpr int kChina = -8 * 60;

TEST(TimeLine, AcceptsEveryLineThatFitsTheFieldRanges) {
    struct Case {
        const char* line;
        LocalTime expected;
    };
    const Case cases[] = {
        {"2015-09-08 09:37:26", {2015, 9, 8, 9, 37, 26}},
        {"2000-01-01 00:00:00", {2000, 1, 1, 0, 0, 0}},
        {"2050-12-31 23:59:59", {2050, 12, 31, 23, 59, 59}},
        // The day is not held against the month.
        {"2015-02-31 00:00:00", {2015, 2, 31, 0, 0, 0}},
        // Fields are read like atoi: leading space or a sign, and anything after the digits, pass.
        {"2015- 9-08 09:37:26", {2015, 9, 8, 9, 37, 26}},
        {"2015-+9-8x 09:37:26", {2015, 9, 8, 9, 37, 26}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parseTimeLine(c.line), std::optional<LocalTime>(c.expected));
    }
}

TEST(TimeLine, RefusesLinesOfAnotherShapeOrOutOfRange) {
    const char* lines[] = {
        "2015-9-8 9:37:26",       // short fields
        "1999-01-01 00:00:00",    // year before 2000
        "2051-01-01 00:00:00",    // year after 2050
        "2015-13-01 00:00:00",    // month
        "2015-00-01 00:00:00",    //
        "2015-01-00 00:00:00",    // day
        "2015-01-32 00:00:00",    //
        "2015-01-01 24:00:00",    // hour
        "2015-01-01 00:60:00",    // minute
        "2015-01-01 00:00:60",    // second
        "2015-01-01 -1:00:00",    // a sign is read, and then the range decides
        "2015/09/08 09:37:26",    // separators
        "2015-09-08T09:37:26",    //
        "2015-09-08 09：37：26",  // full-width colons, as a Chinese input method types them
        "2015-09-08 09:37:26 ",   // 20 characters (lines are trimmed before they get here)
        "",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(parseTimeLine(line).has_value());
    }
}

TEST(CreateTime, IsLocalStandardTimeAsUnixSeconds) {
    const LocalTime t{2015, 9, 8, 9, 37, 26};
    EXPECT_EQ(createTime(t, kChina), 1441676246);  // 2015-09-08 01:37:26 UTC
    EXPECT_EQ(createTime(t, 0), 1441676246 + 8 * 3600);
    EXPECT_EQ(createTime(t, 5 * 60), 1441676246 + 13 * 3600);
    EXPECT_EQ(createTime(t, -330), 1441676246 + 150 * 60);  // India, half an hour off the hour
}

TEST(CreateTime, RunsPastTheMonthsEndAndPast2038) {
    EXPECT_EQ(createTime({2015, 2, 31, 0, 0, 0}, 0), 1425340800);  // 2015-03-03
    EXPECT_EQ(createTime({2016, 2, 31, 0, 0, 0}, 0), 1456876800);  // 2016-03-02, a leap year
    const std::int64_t t = createTime({2045, 6, 1, 12, 0, 0}, kChina);
    EXPECT_EQ(t, 2379902400);
    EXPECT_GT(t, 2147483647);
}

}  // namespace
}  // namespace talvio::recover
