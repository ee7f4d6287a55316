// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recover/notice.h"
#include "recover/time_line.h"

namespace talvio::recover {

// One message of the text file: a time line, a message line and a type line, each trimmed.
struct MessageGroup {
    LocalTime time;
    std::string timeLine;
    std::string message;  // valid UTF-8
    std::string type;     // "4" or "2" in the first group, anything in the others
};

struct FormatCheck {
    std::vector<MessageGroup> groups;  // the complete groups; a trailing incomplete one is dropped
    std::optional<Notice> error;       // the first fault, as the user is told of it

    bool ok() const { return !error.has_value(); }
};

// Checks and reads the text of a recover file. Lines are trimmed of white space and empty ones do
// not count; the rest form groups of time, message and type lines. Every time line is checked but
// only the first group's type line, which is what users have always been held to. The line numbers
// in the error texts count non-empty lines from 1.
FormatCheck checkRecoverText(std::string_view text);

// The same for a file; an empty path and an unreadable file give their own errors.
FormatCheck checkRecoverFile(const std::string& utf8Path);

// What the "check format" button reports: the first fault, or the congratulation.
Notice formatCheckNotice(const FormatCheck& check);

}  // namespace talvio::recover
