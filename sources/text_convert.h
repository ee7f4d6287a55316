// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>

namespace talvio {

// The program's narrow text is UTF-8, so "ANSI" below means UTF-8 that is known to be well formed.
// Every ill-formed sequence becomes U+FFFD (one per maximal ill-formed subpart), never a crash.
std::string WideToUtf8(std::u16string_view wide);
std::u16string Utf8ToWide(std::string_view utf8);
std::u16string AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::u16string_view wide);

// WideToAnsi(Utf8ToWide(text)) in one step: database text on its way into the program.
std::string Utf8ToAnsi(std::string_view utf8);

bool isWellFormedUtf8(std::string_view text);

// The value of a hexadecimal digit, either case; -1 for any other character.
constexpr int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace talvio
