// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>

namespace talvio::recover {

// MD5 (RFC 1321) of the bytes as 32 lower-case hexadecimal digits, high half of each byte first.
std::string md5Hex(std::string_view bytes);

}  // namespace talvio::recover
