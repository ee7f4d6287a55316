// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace talvio {

// Whole seconds from a raw time text: 13 or more characters are milliseconds and lose their last
// three; then the leading decimal integer, saturated to 32 bits (no digits give 0).
std::int32_t TimeValueOf(std::string_view text);

// The local standard-time bias in minutes (UTC = local + bias), without daylight saving:
// ProgramState::timeZoneBias when set, otherwise the C library's.
int standardTimeZoneBias();

// Formats raw message times for one source kind and zone; make one per page, not per message.
class MessageTimeFormatter {
public:
    MessageTimeFormatter(int sourceKind, int bias);
    // "YYYY-MM-DD hh:mm:ss" in local standard time, or "none" for a missing, zero or negative value.
    void append(std::string& out, std::string_view raw) const;
    std::string format(std::string_view raw) const;

private:
    std::int64_t m_shiftSeconds;
    std::int64_t m_epochOffset;
};

// The display text of a raw time for the current SourceKind and zone.
std::string FormatMessageTime(std::string_view raw);

}  // namespace talvio
