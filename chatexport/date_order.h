// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "chatexport/header_scanner.h"

namespace talvio::chatexport {

enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The date of a header read in the given order; nullopt when that order makes it no real date.
// Two-digit years are 20yy: WhatsApp has existed only since 2009.
std::optional<CivilDate> dateIn(const RawHeader& header, DateOrder order);

// The order that reads every header as a real date; when several do (no first field above 12, no
// four-digit year), the one under which the dates fall least often, then move in the smallest
// steps. When none fits every header, the one that fits most. Decided once for the whole file, so
// every line is read the same way.
DateOrder decideDateOrder(const std::vector<RawHeader>& headers);

// Seconds since 1970-01-01 00:00 of the wall clock the header shows (no time zone applied).
std::int64_t localSeconds(const CivilDate& date, const RawHeader& header);

}  // namespace talvio::chatexport
