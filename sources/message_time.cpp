// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "message_time.h"

#include "platform/process.h"

#include "program_state.h"

#include <climits>
#include <ctime>

namespace talvio {
namespace {

// Seconds from 1970-01-01 to 2001-01-01, where iPhone message times start counting.
constexpr std::int64_t kAppleEpochOffset = 978307200;

void appendDigits(std::string& out, std::int64_t value, int width) {
    char buffer[24];
    int n = 0;
    do {
        buffer[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int i = n; i < width; ++i)
        out += '0';
    while (n > 0)
        out += buffer[--n];
}

}  // namespace

std::int32_t TimeValueOf(std::string_view text) {
    if (text.size() >= 13)
        text.remove_suffix(3);
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<std::int64_t>(INT_MAX) + 1)
            break;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<std::int32_t>(value);
}

int standardTimeZoneBias() {
    if (const auto& bias = programState().timeZoneBias)
        return *bias;
    return platform::localStandardTimeOffset();
}

MessageTimeFormatter::MessageTimeFormatter(int sourceKind, int bias)
    // Whole hours only: the minutes of half-hour zones are dropped, as users of earlier versions saw.
    // Chat exports count seconds of the wall clock they were written in: no zone applies.
    : m_shiftSeconds(sourceKind == kSourceChatExport ? 0 : static_cast<std::int64_t>(bias / -60) * 3600),
      m_epochOffset(sourceKind == kSourceAndroid || sourceKind == kSourceChatExport ? 0 : kAppleEpochOffset) {
}

void MessageTimeFormatter::append(std::string& out, std::string_view raw) const {
    const std::int32_t value = TimeValueOf(raw);
    // A shift that makes the time negative has no calendar answer either: show "none".
    const std::int64_t local = static_cast<std::int64_t>(value) + m_shiftSeconds;
    if (value <= 0 || local < 0) {
        out += "none";
        return;
    }
    const std::int64_t t = local + m_epochOffset;
    std::int64_t days = t / 86400;
    const std::int64_t secondsOfDay = t % 86400;
    // Civil date from a day count (proleptic Gregorian, eras of 400 years).
    days += 719468;
    const std::int64_t era = days / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

    appendDigits(out, year, 1);
    out += '-';
    appendDigits(out, month, 2);
    out += '-';
    appendDigits(out, day, 2);
    out += ' ';
    appendDigits(out, secondsOfDay / 3600, 2);
    out += ':';
    appendDigits(out, secondsOfDay / 60 % 60, 2);
    out += ':';
    appendDigits(out, secondsOfDay % 60, 2);
}

std::string MessageTimeFormatter::format(std::string_view raw) const {
    std::string out;
    append(out, raw);
    return out;
}

std::string FormatMessageTime(std::string_view raw) {
    return MessageTimeFormatter(programState().sourceKind, standardTimeZoneBias()).format(raw);
}

}  // namespace talvio
