// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "tests/support/temp_dir.h"

#include <string>
#include <string_view>
#include <vector>

namespace talvio::test {

// Every text that stands between open and the next close, in order. (Plain search: GCC 12 warns
// falsely inside std::regex under the sanitizers, and those builds treat warnings as errors.)
inline std::vector<std::string> textsBetween(std::string_view text, std::string_view open,
                                             std::string_view close) {
    std::vector<std::string> found;
    for (std::size_t at = text.find(open); at != std::string_view::npos; at = text.find(open, at)) {
        at += open.size();
        const std::size_t end = text.find(close, at);
        if (end == std::string_view::npos)
            break;
        found.emplace_back(text.substr(at, end - at));
        at = end + close.size();
    }
    return found;
}

// The pages an export's index.html links to, in its order.
inline std::vector<std::string> indexLinks(const std::string& folder) {
    return textsBetween(readFile(folder + "/index.html"), "<td><a href=\"", "\">");
}

}  // namespace talvio::test
