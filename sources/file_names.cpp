// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "file_names.h"

#include "text_convert.h"

namespace talvio {

std::string safeFileName(std::string_view text) {
    std::string name;
    for (char c : Utf8ToAnsi(text)) {
        const auto u = static_cast<unsigned char>(c);
        const bool refused = u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ':' || c == '*' ||
                             c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
        name += refused ? '_' : c;
    }
    // Cut at a character boundary so that the name stays well-formed UTF-8.
    if (name.size() > 100) {
        std::size_t cut = 100;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '.'))
        name.pop_back();
    while (!name.empty() && name.front() == '.')
        name.erase(name.begin());
    // Built rather than assigned from a literal: GCC 12 warns falsely about the assignment here.
    return name.empty() ? std::string(1, '_') : name;
}

}  // namespace talvio
