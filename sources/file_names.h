// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>

namespace talvio {

// A file name made from text that came out of a database: never empty, no '/' or '\', no
// control characters or characters other desktops refuse, never "." or "..", at most 100 bytes
// and well-formed UTF-8. Ordinary jids and media names come through unchanged.
std::string safeFileName(std::string_view text);

}  // namespace talvio
