// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <vector>

namespace talvio::fixture {

// The iPhone subcommands of talvio-fixture ("iphone", "iphone-scale"), kept apart from the
// Android ones so that each side reads and reports its own options.
bool isIphoneCommand(const std::vector<std::string>& arguments);
// Runs one; the result is the process exit code (0 done, 1 failed, 2 bad arguments).
int runIphoneCommand(const std::vector<std::string>& arguments);
const char* iphoneHelpText();

}  // namespace talvio::fixture
