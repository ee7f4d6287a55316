// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The UTF-8 and UTF-16 conversions and the page escaping on any bytes, checked against a plain
// decoder written from the Unicode rules (maximal subparts, no surrogates, nothing above U+10FFFF).
#include "fuzz/fuzz_support.h"
#include "sources/html_escape.h"
#include "sources/text_convert.h"

#include <string>
#include <vector>

using namespace talvio;

namespace {

// Decodes per Unicode's "maximal subpart" practice: each ill-formed subpart becomes one U+FFFD.
std::u32string referenceDecode(std::string_view text, bool& wellFormed) {
    std::u32string out;
    wellFormed = true;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        int need = 0;
        char32_t cp = 0;
        unsigned char lo = 0x80;
        unsigned char hi = 0xBF;
        if (b0 < 0x80) {
            out += b0;
            ++i;
            continue;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            need = 1;
            cp = b0 & 0x1Fu;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            need = 2;
            cp = b0 & 0x0Fu;
            lo = b0 == 0xE0 ? 0xA0 : 0x80;
            hi = b0 == 0xED ? 0x9F : 0xBF;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            need = 3;
            cp = b0 & 0x07u;
            lo = b0 == 0xF0 ? 0x90 : 0x80;
            hi = b0 == 0xF4 ? 0x8F : 0xBF;
        } else {
            out += U'\uFFFD';
            wellFormed = false;
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < need; ++k, ++j) {
            const unsigned char first = k == 0 ? lo : 0x80;
            const unsigned char last = k == 0 ? hi : 0xBF;
            if (j >= text.size() || static_cast<unsigned char>(text[j]) < first ||
                static_cast<unsigned char>(text[j]) > last) {
                ok = false;
                break;
            }
            cp = cp << 6 | (static_cast<unsigned char>(text[j]) & 0x3Fu);
        }
        if (ok) {
            out += cp;
        } else {
            out += U'\uFFFD';
            wellFormed = false;
        }
        i = j;
    }
    return out;
}

std::u32string codePointsOf(std::u16string_view wide) {
    std::u32string out;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const char32_t u = wide[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            out += 0x10000 + ((u - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += U'\uFFFD';
        } else {
            out += u;
        }
    }
    return out;
}

bool hasLoneSurrogate(std::u16string_view wide) {
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            ++i;
        } else if (wide[i] >= 0xD800 && wide[i] <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

void checkUtf8(std::string_view bytes) {
    bool wellFormed = true;
    const std::u32string expected = referenceDecode(bytes, wellFormed);
    FUZZ_CHECK(isWellFormedUtf8(bytes) == wellFormed, "isWellFormedUtf8 disagrees with the Unicode rules");

    const std::u16string wide = Utf8ToWide(bytes);
    FUZZ_CHECK(!hasLoneSurrogate(wide), "Utf8ToWide made a lone surrogate");
    FUZZ_CHECK(codePointsOf(wide) == expected,
               "Utf8ToWide decoded other characters than the Unicode rules give");

    const std::string back = WideToUtf8(wide);
    FUZZ_CHECK(isWellFormedUtf8(back), "WideToUtf8 made ill-formed UTF-8");
    if (wellFormed)
        FUZZ_CHECK(back == bytes, "well-formed text did not survive UTF-8 -> UTF-16 -> UTF-8");
    FUZZ_CHECK(Utf8ToAnsi(bytes) == back, "Utf8ToAnsi repairs differently from the two-step conversion");
    FUZZ_CHECK(AnsiToWide(bytes) == wide && WideToAnsi(wide) == back, "the ANSI names convert differently");

    // Page text: every '<' and '>' escaped, and nothing else changed but the repair.
    const std::string escaped = escapeText(bytes);
    FUZZ_CHECK(escaped.find_first_of("<>") == std::string::npos, "an escaped text still holds '<' or '>'");
    FUZZ_CHECK(isWellFormedUtf8(escaped), "an escaped text is ill-formed");
    std::string expectedEscape;
    for (const char c : back) {
        if (c == '<') {
            expectedEscape += "&lt;";
        } else if (c == '>') {
            expectedEscape += "&gt;";
        } else {
            expectedEscape += c;
        }
    }
    FUZZ_CHECK(escaped == expectedEscape, "escaping changed more than '<' and '>' of the repaired text");
}

void checkUtf16(std::string_view bytes) {
    std::u16string wide(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < wide.size(); ++i) {
        wide[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    const std::string utf8 = WideToUtf8(wide);
    FUZZ_CHECK(isWellFormedUtf8(utf8), "WideToUtf8 made ill-formed UTF-8");
    const std::u16string back = Utf8ToWide(utf8);
    FUZZ_CHECK(codePointsOf(back) == codePointsOf(wide), "WideToUtf8 changed characters");
    if (!hasLoneSurrogate(wide))
        FUZZ_CHECK(back == wide, "well-formed UTF-16 did not survive UTF-16 -> UTF-8 -> UTF-16");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asText(data, size);
    checkUtf8(bytes);
    checkUtf16(bytes);
    return 0;
}
