// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "html_escape.h"

#include "sources/text_convert.h"

namespace talvio {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

}  // namespace

void appendEscapedText(std::string& out, std::string_view utf8) {
    std::string repaired;
    if (!isWellFormedUtf8(utf8)) {
        repaired = Utf8ToAnsi(utf8);
        utf8 = repaired;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '<' || c == '>') {
            out.append(utf8.data() + start, i - start);
            out += c == '<' ? "&lt;" : "&gt;";
            start = i + 1;
        }
    }
    out.append(utf8.data() + start, utf8.size() - start);
}

std::string escapeText(std::string_view utf8) {
    std::string out;
    appendEscapedText(out, utf8);
    return out;
}

void appendScriptStringInAttribute(std::string& out, std::string_view utf8) {
    std::string repaired;
    if (!isWellFormedUtf8(utf8)) {
        repaired = Utf8ToAnsi(utf8);
        utf8 = repaired;
    }
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\'':
                out += "\\'";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default: {
                const auto u = static_cast<unsigned char>(c);
                if (u < 0x20 || u == 0x7F) {
                    out += "\\x";
                    out += kHex[u >> 4];
                    out += kHex[u & 15];
                } else if (u == 0xE2 && i + 2 < utf8.size() && utf8[i + 1] == '\x80' &&
                           (utf8[i + 2] == '\xA8' || utf8[i + 2] == '\xA9')) {
                    // U+2028 and U+2029 end a line in older script engines.
                    out += utf8[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
                    i += 2;
                } else {
                    out += c;
                }
            }
        }
    }
}

void appendAttributeText(std::string& out, std::string_view text) {
    for (char c : Utf8ToAnsi(text)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            // A line break would split the row over two lines of the file.
            case '\n':
            case '\r':
                out += ' ';
                break;
            default:
                out += c;
        }
    }
}

void appendScriptString(std::string& out, std::string_view text) {
    static constexpr char kLowerHex[] = "0123456789abcdef";
    out += '"';
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == '<' || c == '>' || c == '&') {
            // '<' as an escape keeps "</script>" out of the element.
            out += "\\u00";
            out += kLowerHex[c >> 4];
            out += kLowerHex[c & 0xF];
        } else {
            out += ch;
        }
    }
    out += '"';
}

}  // namespace talvio
