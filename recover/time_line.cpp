// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/time_line.h"

#include <chrono>

#include "recover/trim.h"

namespace talvio::recover {
namespace {

// atoi on a few characters: the fields are at most four long, so no overflow is possible.
int leadingInteger(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && isCSpace(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    int value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = value * 10 + (field[i] - '0');
    return negative ? -value : value;
}

bool within(int value, int low, int high) {
    return value >= low && value <= high;
}

}  // namespace

std::optional<LocalTime> parseTimeLine(std::string_view line) {
    if (line.size() != 19 || line[4] != '-' || line[7] != '-' || line[10] != ' ' || line[13] != ':' ||
        line[16] != ':') {
        return std::nullopt;
    }
    const LocalTime t{leadingInteger(line.substr(0, 4)),  leadingInteger(line.substr(5, 2)),
                      leadingInteger(line.substr(8, 2)),  leadingInteger(line.substr(11, 2)),
                      leadingInteger(line.substr(14, 2)), leadingInteger(line.substr(17, 2))};
    if (!within(t.year, 2000, 2050) || !within(t.month, 1, 12) || !within(t.day, 1, 31) ||
        !within(t.hour, 0, 23) || !within(t.minute, 0, 59) || !within(t.second, 0, 59)) {
        return std::nullopt;
    }
    return t;
}

std::int64_t createTime(const LocalTime& time, int standardBiasMinutes) {
    using namespace std::chrono;
    // From the first of the month, so that a day the month lacks counts on into the next one.
    const sys_days firstOfMonth{year{time.year} / month{static_cast<unsigned>(time.month)} / 1};
    const sys_days date = firstOfMonth + days{time.day - 1};
    const std::int64_t localSeconds = std::int64_t{date.time_since_epoch().count()} * 86400 +
                                      std::int64_t{time.hour} * 3600 + std::int64_t{time.minute} * 60 +
                                      time.second;
    return localSeconds + std::int64_t{standardBiasMinutes} * 60;
}

}  // namespace talvio::recover
