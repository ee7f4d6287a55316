// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string_view>

namespace talvio::chatexport {

enum class DayHalf : std::uint8_t { None, Am, Pm, Unknown };

// The parts of a line that starts like a message header, before the date order is known:
// Android "DATE, TIME - BODY" or iPhone "[DATE, TIME] BODY", in any language's layout.
struct RawHeader {
    std::uint16_t field[3] = {0, 0, 0};  // the three numbers of the date, in written order
    std::uint8_t digits[3] = {0, 0, 0};  // how many digits each was written with
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint8_t second = 0;
    DayHalf half = DayHalf::None;  // the AM/PM word of a 12-hour clock, in whichever language
    bool iphone = false;
    std::uint32_t timeBegin = 0;  // the date and time as written: [timeBegin, timeEnd) of the line
    std::uint32_t timeEnd = 0;
    std::uint32_t bodyBegin = 0;  // "NAME: TEXT" or an event's text starts here
};

// Reads the header at the start of `line` (UTF-8, no line end). False when the line does not start
// with one. Works on bytes without allocating: it runs once for every line of the export.
bool scanHeader(std::string_view line, RawHeader& header);

// The AM/PM word of the languages WhatsApp exports in, given with dots and spaces dropped and ASCII
// lower-cased ("a. m." as "am").
DayHalf classifyDayHalf(std::string_view word);

}  // namespace talvio::chatexport
