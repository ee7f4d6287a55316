// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace talvio::recover {

// The fields of a time line "YYYY-MM-DD hh:mm:ss" as read, in local standard time.
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const LocalTime&) const = default;
};

// Reads a time line: exactly 19 bytes with "-", "-", " ", ":", ":" at the separator places, each
// field read like atoi (leading white space and a sign allowed, stopping at the first non-digit),
// year 2000-2050, month 1-12, day 1-31 whatever the month, hour 0-23, minute and second 0-59.
// Nothing else is required, so "2015-02-31 00:00:00" is a valid line.
std::optional<LocalTime> parseTimeLine(std::string_view line);

// Seconds since 1970-01-01 00:00:00 UTC for a local standard time. A day beyond the month's end
// runs on into the next month (February 31st is March 2nd or 3rd). standardBiasMinutes is the
// zone's bias without daylight saving, UTC = local + bias (China: -480), as standardTimeZoneBias()
// gives it. 64-bit throughout, so times past 2038 are exact.
std::int64_t createTime(const LocalTime& time, int standardBiasMinutes);

}  // namespace talvio::recover
