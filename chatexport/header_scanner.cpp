// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/header_scanner.h"

#include <array>
#include <string_view>

namespace talvio::chatexport {

namespace {

// A day-half word longer than this is text, not part of a header.
constexpr std::size_t kMaxHalfWord = 32;

struct Cursor {
    std::string_view s;
    std::size_t pos = 0;

    unsigned char at(std::size_t i) const { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0; }
    bool take(char c) {
        if (at(pos) != static_cast<unsigned char>(c) || pos >= s.size())
            return false;
        ++pos;
        return true;
    }
    // The Arabic comma U+060C.
    bool takeArabicComma() {
        if (at(pos) != 0xD8 || at(pos + 1) != 0x8C)
            return false;
        pos += 2;
        return true;
    }
    // "-" or an en dash (U+2013); the length taken, 0 when there is neither.
    std::size_t dashLength(std::size_t i) const {
        if (at(i) == '-' && i < s.size())
            return 1;
        return at(i) == 0xE2 && at(i + 1) == 0x80 && at(i + 2) == 0x93 ? 3 : 0;
    }
    // Direction marks (LRM, RLM, ALM, embeddings, isolates) that exports put around dates and names.
    std::size_t markLength(std::size_t i) const {
        const unsigned char a = at(i);
        if (a == 0xE2 && at(i + 1) == 0x80 &&
            ((at(i + 2) >= 0x8E && at(i + 2) <= 0x8F) || (at(i + 2) >= 0xAA && at(i + 2) <= 0xAE)))
            return 3;
        if (a == 0xE2 && at(i + 1) == 0x81 && at(i + 2) >= 0xA6 && at(i + 2) <= 0xA9)
            return 3;
        if (a == 0xD8 && at(i + 1) == 0x9C)
            return 2;
        return 0;
    }
    // Space, no-break space, narrow no-break space, thin space.
    std::size_t spaceLength(std::size_t i) const {
        const unsigned char a = at(i);
        if (a == ' ' && i < s.size())
            return 1;
        if (a == 0xC2 && at(i + 1) == 0xA0)
            return 2;
        if (a == 0xE2 && at(i + 1) == 0x80 && (at(i + 2) == 0xAF || at(i + 2) == 0x89))
            return 3;
        return 0;
    }
    // The length of the space or mark that ends just before byte i; 0 when there is none.
    std::size_t blankBefore(std::size_t i) const {
        if (i >= 1 && spaceLength(i - 1) == 1)
            return 1;
        if (i >= 2 && spaceLength(i - 2) == 2)
            return 2;
        if (i >= 2 && markLength(i - 2) == 2)
            return 2;
        if (i >= 3 && (spaceLength(i - 3) == 3 || markLength(i - 3) == 3))
            return 3;
        return 0;
    }
    void skipMarks() {
        while (std::size_t n = markLength(pos))
            pos += n;
    }
    std::size_t skipBlank() {
        std::size_t spaces = 0;
        for (;;) {
            if (std::size_t n = markLength(pos)) {
                pos += n;
            } else if (std::size_t m = spaceLength(pos)) {
                pos += m;
                ++spaces;
            } else {
                return spaces;
            }
        }
    }
    // A digit in ASCII, Arabic-Indic (U+0660..) or Eastern Arabic-Indic (U+06F0..); -1 otherwise.
    int digitAt(std::size_t i, std::size_t& length) const {
        const unsigned char a = at(i);
        if (a >= '0' && a <= '9' && i < s.size()) {
            length = 1;
            return a - '0';
        }
        const unsigned char b = at(i + 1);
        if (a == 0xD9 && b >= 0xA0 && b <= 0xA9) {
            length = 2;
            return b - 0xA0;
        }
        if (a == 0xDB && b >= 0xB0 && b <= 0xB9) {
            length = 2;
            return b - 0xB0;
        }
        return -1;
    }
    bool number(std::uint16_t& value, std::uint8_t& count, int minDigits, int maxDigits) {
        value = 0;
        count = 0;
        std::size_t length = 0;
        int digit;
        while ((digit = digitAt(pos, length)) >= 0) {
            if (count == maxDigits)
                return false;
            value = static_cast<std::uint16_t>(value * 10 + digit);
            ++count;
            pos += length;
        }
        return count >= minDigits;
    }
};

// Lower-cases ASCII and drops dots, spaces and marks: "a. m.", "A.M." and "AM" become "am". Written
// into `out` (a word is never longer than kMaxHalfWord), as this runs for every header.
std::string_view normaliseHalfWord(std::string_view word, std::array<char, kMaxHalfWord>& out) {
    std::size_t length = 0;
    Cursor c{word};
    while (c.pos < word.size() && length < out.size()) {
        if (std::size_t n = c.markLength(c.pos) + c.spaceLength(c.pos)) {
            c.pos += n;
            continue;
        }
        const char ch = word[c.pos++];
        if (ch == '.')
            continue;
        out[length++] = (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    return {out.data(), length};
}

bool hasDigit(std::string_view word) {
    Cursor c{word};
    for (std::size_t i = 0; i < word.size(); ++i) {
        std::size_t length = 0;
        if (c.digitAt(i, length) >= 0)
            return true;
    }
    return false;
}

// The day-half word [from, to) of the line, trimmed; false when it cannot be one.
bool readHalf(std::string_view line, std::size_t from, std::size_t to, DayHalf& half) {
    std::string_view word = line.substr(from, to - from);
    while (!word.empty() && (word.back() == ' '))
        word.remove_suffix(1);
    if (word.empty())
        return true;
    if (word.size() > kMaxHalfWord || hasDigit(word) || half != DayHalf::None)
        return false;
    std::array<char, kMaxHalfWord> buffer;
    const std::string_view norm = normaliseHalfWord(word, buffer);
    if (norm.empty())
        return true;
    half = classifyDayHalf(norm);
    return true;
}

}  // namespace

DayHalf classifyDayHalf(std::string_view word) {
    // English and most Latin-script languages first: this runs for every header of such an export.
    if (word == "am")
        return DayHalf::Am;
    if (word == "pm")
        return DayHalf::Pm;
    static constexpr std::string_view kAm[] = {"am", "vorm", "午前", "上午",   "오전",    "ص",  "πμ",
                                               "дп", "sa",   "fm",   "de",     "öö",      "ÖÖ", "pg",
                                               "ap", "qn",   "قظ",   "पूर्वाह्न", "ก่อนเที่ยง", "ਪੂਦੁ"};
    static constexpr std::string_view kPm[] = {"pm", "nachm", "午後", "下午",   "오후",    "م",  "μμ",
                                               "пп", "ch",    "em",   "du",     "ös",      "ÖS", "ptg",
                                               "ip", "pn",    "بظ",   "अपराह्न", "หลังเที่ยง", "ਬਾਦੁ"};
    for (std::string_view am : kAm)
        if (word == am)
            return DayHalf::Am;
    for (std::string_view pm : kPm)
        if (word == pm)
            return DayHalf::Pm;
    return DayHalf::Unknown;
}

bool scanHeader(std::string_view line, RawHeader& header) {
    Cursor c{line};
    c.skipMarks();
    header = RawHeader{};
    header.iphone = c.take('[');
    c.skipMarks();
    header.timeBegin = static_cast<std::uint32_t>(c.pos);

    // DATE: three numbers with the same separator; Korean writes "2022. 3. 18.", hence the blanks.
    if (!c.number(header.field[0], header.digits[0], 1, 4))
        return false;
    c.skipMarks();
    const char separator = static_cast<char>(c.at(c.pos));
    if (separator != '/' && separator != '.' && separator != '-')
        return false;
    for (int i = 1; i < 3; ++i) {
        if (!c.take(separator))
            return false;
        c.skipBlank();
        if (!c.number(header.field[i], header.digits[i], 1, 4))
            return false;
        c.skipMarks();
    }
    c.take('.');
    c.skipMarks();
    const bool comma = c.take(',') || c.takeArabicComma();
    if (c.skipBlank() == 0 && !comma)
        return false;

    // TIME, with the day-half word before it (Chinese, Japanese, Korean) or after it.
    std::size_t length = 0;
    if (c.digitAt(c.pos, length) < 0) {
        const std::size_t from = c.pos;
        while (c.pos < line.size() && c.pos - from <= kMaxHalfWord && c.digitAt(c.pos, length) < 0)
            ++c.pos;
        if (!readHalf(line, from, c.pos, header.half))
            return false;
        if (header.half == DayHalf::None)
            return false;
    }
    std::uint16_t hour = 0, minute = 0, second = 0;
    std::uint8_t count = 0;
    if (!c.number(hour, count, 1, 2))
        return false;
    if (!c.take(':') && !c.take('.'))
        return false;
    if (!c.number(minute, count, 2, 2))
        return false;
    const std::size_t beforeSeconds = c.pos;
    if ((c.take(':') || c.take('.')) && !c.number(second, count, 2, 2)) {
        c.pos = beforeSeconds;
        second = 0;
    }
    std::size_t timeEnd = c.pos;

    // What follows the time: "] " on an iPhone, " - " on Android, maybe with a day-half word first.
    const std::size_t afterTime = c.pos;
    std::size_t wordEnd = afterTime;
    if (header.iphone) {
        while (wordEnd < line.size() && line[wordEnd] != ']' && wordEnd - afterTime <= kMaxHalfWord)
            ++wordEnd;
        if (wordEnd >= line.size() || line[wordEnd] != ']')
            return false;
        c.pos = wordEnd + 1;
    } else {
        // The dash after the time has a blank before it: "21:41 - ", "9:41 p. m. - ", "9:41 PM - ".
        for (;; ++wordEnd) {
            if (wordEnd >= line.size() || wordEnd - afterTime > kMaxHalfWord + 2)
                return false;
            if (c.dashLength(wordEnd) > 0 && c.blankBefore(wordEnd) > 0)
                break;
        }
        c.pos = wordEnd + c.dashLength(wordEnd);
    }
    Cursor word{line, afterTime};
    word.skipBlank();
    if (word.pos < wordEnd) {
        if (!readHalf(line, word.pos, wordEnd, header.half))
            return false;
        std::size_t end = wordEnd;
        while (std::size_t n = c.blankBefore(end))
            end -= n;
        timeEnd = end;
    }
    c.skipBlank();
    header.bodyBegin = static_cast<std::uint32_t>(c.pos);
    header.timeEnd = static_cast<std::uint32_t>(timeEnd);

    const bool twelveHour = header.half != DayHalf::None;
    if (minute > 59 || second > 59 || hour > (twelveHour ? 12 : 23))
        return false;
    header.hour = static_cast<std::uint8_t>(hour);
    header.minute = static_cast<std::uint8_t>(minute);
    header.second = static_cast<std::uint8_t>(second);
    return true;
}

}  // namespace talvio::chatexport
