// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace talvio {

// A plain-text file whose first line is the published version as a decimal integer.
inline constexpr const char* kVersionAddress = "https://talvio.app/version.txt";
// This build's version number: a published number above it offers an update.
inline constexpr int kThisVersion = 220;
// Start-up waits for the answer at most this long.
inline constexpr std::chrono::milliseconds kVersionCheckTimeout{3000};

// The integer at the start of the first line: blanks skipped, an optional sign, the digits up to
// the first other character; 0 when there are none. Saturates rather than overflowing.
int parseVersionText(std::string_view body);

// Fetches the version file and returns parseVersionText of its first line; -1 when the answer is
// not status 200, and when there is no answer at all (no network, name not resolved, refused,
// nothing within the timeout), so a missing network never offers an update. Blocks, running a
// local event loop; needs the application object.
int CheckForNewVersion(const std::string& address = kVersionAddress,
                       std::chrono::milliseconds timeout = kVersionCheckTimeout);

inline bool shouldOfferUpdate(int published) {
    return published > kThisVersion;
}

}  // namespace talvio
