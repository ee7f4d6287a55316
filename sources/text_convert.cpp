// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "text_convert.h"

#include <cstdint>

namespace talvio {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at text[pos]; advances pos past it, or past the maximal ill-formed subpart
// (then the result is U+FFFD and valid is false).
char32_t decodeUtf8(std::string_view text, std::size_t& pos, bool& valid) {
    valid = true;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    char32_t cp = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        ++pos;
        valid = false;
        return kReplacement;
    }
    std::size_t i = pos + 1;
    for (int k = 1; k < length; ++k, ++i) {
        if (i >= text.size()) {
            pos = i;
            valid = false;
            return kReplacement;
        }
        const unsigned char c = byte(i);
        const unsigned char lo = k == 1 ? low : 0x80;
        const unsigned char hi = k == 1 ? high : 0xBF;
        if (c < lo || c > hi) {
            pos = i;
            valid = false;
            return kReplacement;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    pos = i;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

}  // namespace

bool isWellFormedUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Runs of ASCII are the common case; skip them eight bytes at a time.
        while (pos + 8 <= text.size()) {
            std::uint64_t chunk;
            __builtin_memcpy(&chunk, text.data() + pos, 8);
            if ((chunk & 0x8080808080808080ULL) != 0)
                break;
            pos += 8;
        }
        if (pos >= text.size())
            break;
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        bool valid = true;
        decodeUtf8(text, pos, valid);
        if (!valid)
            return false;
    }
    return true;
}

std::u16string Utf8ToWide(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    bool valid = true;
    while (pos < utf8.size())
        appendUtf16(out, decodeUtf8(utf8, pos, valid));
    return out;
}

std::string WideToUtf8(std::u16string_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t cp = wide[i];
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
                ++i;
            } else {
                cp = kReplacement;
            }
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::u16string AnsiToWide(std::string_view ansi) {
    return Utf8ToWide(ansi);
}

std::string WideToAnsi(std::u16string_view wide) {
    return WideToUtf8(wide);
}

std::string Utf8ToAnsi(std::string_view utf8) {
    if (isWellFormedUtf8(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size() + 8);
    std::size_t pos = 0;
    bool valid = true;
    while (pos < utf8.size())
        appendUtf8(out, decodeUtf8(utf8, pos, valid));
    return out;
}

}  // namespace talvio
