// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/text_file.h"

#include <fstream>
#include <sstream>

namespace talvio::fixture {

Failure readTextFile(const std::filesystem::path& file, std::string& text) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return "cannot read " + file.string();
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return "cannot read " + file.string();
    text = std::move(content).str();
    return std::nullopt;
}

}  // namespace talvio::fixture
