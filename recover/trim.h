// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string_view>

namespace talvio::recover {

// White space as the C library's isspace knows it in the "C" locale; a non-ASCII byte never is.
constexpr bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isCSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isCSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

}  // namespace talvio::recover
