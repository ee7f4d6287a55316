// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/media_names.h"

#include <chrono>
#include <cstdio>

namespace talvio::fixture {

namespace {

std::chrono::year_month_day dayOf(std::int64_t milliseconds) {
    using namespace std::chrono;
    return year_month_day{
        floor<days>(sys_time<std::chrono::milliseconds>(std::chrono::milliseconds(milliseconds)))};
}

}  // namespace

std::string mediaDayText(std::int64_t milliseconds) {
    const auto day = dayOf(milliseconds);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
    return text;
}

std::string mediaWeekText(std::int64_t milliseconds) {
    using namespace std::chrono;
    const auto day = dayOf(milliseconds);
    const auto yearStart = sys_days{day.year() / January / 1};
    const auto week = (sys_days{day} - yearStart).count() / 7 + 1;
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d", static_cast<int>(day.year()), static_cast<int>(week));
    return text;
}

}  // namespace talvio::fixture
