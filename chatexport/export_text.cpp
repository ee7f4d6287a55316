// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/export_text.h"

#include "sources/text_convert.h"

namespace talvio::chatexport {

namespace {

std::string fromUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string wide(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        wide[i] = static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    return WideToUtf8(wide);  // unpaired surrogates become U+FFFD
}

// Text without a mark whose first characters have a zero in every other byte is UTF-16: an
// export always starts with ASCII digits or a bracket.
int unmarkedUtf16(std::string_view bytes) {
    if (bytes.size() < 8)
        return 0;
    bool little = true;
    bool big = true;
    for (std::size_t i = 0; i < 8; i += 2) {
        little = little && bytes[i] != '\0' && bytes[i + 1] == '\0';
        big = big && bytes[i] == '\0' && bytes[i + 1] != '\0';
    }
    return little ? 1 : big ? 2 : 0;
}

}  // namespace

std::string_view exportTextView(std::string_view bytes, std::string& storage) {
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (!bytes.starts_with("\xFF\xFE") && !bytes.starts_with("\xFE\xFF") && unmarkedUtf16(bytes) == 0 &&
        isWellFormedUtf8(text))
        return text;
    storage = decodeExportText(bytes);
    return storage;
}

std::string decodeExportText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    else if (bytes.starts_with("\xFF\xFE"))
        return fromUtf16(bytes.substr(2), false);
    else if (bytes.starts_with("\xFE\xFF"))
        return fromUtf16(bytes.substr(2), true);
    else if (const int utf16 = unmarkedUtf16(bytes))
        return fromUtf16(bytes, utf16 == 2);
    return Utf8ToAnsi(bytes);  // checks first and copies as is when well formed
}

}  // namespace talvio::chatexport
