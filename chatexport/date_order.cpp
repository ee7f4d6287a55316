// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/date_order.h"

#include <array>

namespace talvio::chatexport {

namespace {

constexpr std::array<DateOrder, 3> kOrders = {DateOrder::DayMonthYear, DateOrder::MonthDayYear,
                                              DateOrder::YearMonthDay};

bool isLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// Days from 1970-01-01 to the date, in the proleptic Gregorian calendar (Howard Hinnant's method).
std::int64_t daysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

}  // namespace

std::optional<CivilDate> dateIn(const RawHeader& header, DateOrder order) {
    int yearAt = 2, monthAt = 1, dayAt = 0;
    if (order == DateOrder::MonthDayYear)
        monthAt = 0, dayAt = 1;
    if (order == DateOrder::YearMonthDay)
        yearAt = 0, monthAt = 1, dayAt = 2;
    for (int i = 0; i < 3; ++i) {
        // Four digits can only be the year; the day and month are never written with more than two.
        if (i != yearAt && header.digits[i] > 2)
            return std::nullopt;
    }
    const int yearDigits = header.digits[yearAt];
    if (yearDigits != 2 && yearDigits != 4)
        return std::nullopt;
    CivilDate date{header.field[yearAt] + (yearDigits == 2 ? 2000 : 0), header.field[monthAt],
                   header.field[dayAt]};
    if (date.year < 1970 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > daysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}

DateOrder decideDateOrder(const std::vector<RawHeader>& headers) {
    struct Tally {
        std::size_t valid = 0;
        std::size_t falls = 0;    // how often a date is earlier than the one before it
        std::int64_t spread = 0;  // days between neighbouring dates, summed
    };
    std::array<Tally, 3> tallies{};
    for (std::size_t o = 0; o < kOrders.size(); ++o) {
        std::int64_t previous = -1;
        for (const RawHeader& header : headers) {
            const auto date = dateIn(header, kOrders[o]);
            if (!date)
                continue;
            ++tallies[o].valid;
            // Months of 31 days: exact enough to compare steps, and cheaper than the calendar.
            const std::int64_t day = (date->year * 12 + date->month) * 31 + date->day;
            if (previous >= 0) {
                tallies[o].falls += day < previous ? 1 : 0;
                tallies[o].spread += day < previous ? previous - day : day - previous;
            }
            previous = day;
        }
    }
    // Most headers read as dates first, then fewest falls, then the smallest steps: "3/1 3/2 3/3"
    // rises either way, but a chat moves day by day, not month by month. Ties keep the earlier
    // order of kOrders, day-first being what most of the world writes.
    const auto better = [](const Tally& a, const Tally& b) {
        if (a.valid != b.valid)
            return a.valid > b.valid;
        if (a.falls != b.falls)
            return a.falls < b.falls;
        return a.spread < b.spread;
    };
    std::size_t best = 0;
    for (std::size_t o = 1; o < kOrders.size(); ++o) {
        if (better(tallies[o], tallies[best]))
            best = o;
    }
    return kOrders[best];
}

std::int64_t localSeconds(const CivilDate& date, const RawHeader& header) {
    int hour = header.hour;
    if (header.half == DayHalf::Am && hour == 12)
        hour = 0;
    if (header.half == DayHalf::Pm && hour < 12)
        hour += 12;
    return daysFromCivil(date.year, date.month, date.day) * 86400 + hour * 3600 + header.minute * 60 +
           header.second;
}

}  // namespace talvio::chatexport
