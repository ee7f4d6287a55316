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

// The same text without copying when it can be had as a view of `bytes` (well-formed UTF-8, the
// common case); otherwise it is decoded into `storage` and the view is of that.
std::string_view exportTextView(std::string_view bytes, std::string& storage);

}  // namespace talvio::chatexport
