// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>

namespace talvio {

// The explanation of a failed open for a classic shell result code (32 or less), e.g. 31 "There is
// no application associated\nwith the given filename extension."; codes without their own text
// give "Unknown Error (N) occurred.".
std::string openFailureText(int code);

// The whole message of a link that could not be opened: "Can't open link:", an empty line, the text.
std::string cantOpenLinkMessage(int code);

}  // namespace talvio
