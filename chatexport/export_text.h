// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>

namespace talvio::chatexport {

// The bytes of an export's text file as UTF-8 without a byte-order mark. UTF-16 (little- or
// big-endian, told by its mark, or by the zero bytes of ASCII text when there is none) is
// converted; ill-formed UTF-8 is repaired to U+FFFD. Line ends are left as they are.
std::string decodeExportText(std::string_view bytes);

}  // namespace talvio::chatexport
