// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <vector>

namespace talvio::fixture {

// "talvio-fixture ios-backup": an iPhone computer backup, plain or encrypted, from a folder tree.
bool isIosBackupCommand(const std::vector<std::string>& arguments);
// The result is the process exit code (0 done, 1 failed, 2 bad arguments).
int runIosBackupCommand(const std::vector<std::string>& arguments);

}  // namespace talvio::fixture
