// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <vector>

namespace talvio::fixture {

// The encrypted-backup subcommands of talvio-fixture ("android-key", "encrypt-android"): key files
// and crypt12/14/15 backups written the way a phone writes them. Keys travel in files only, never
// on the command line.
bool isAndroidBackupCommand(const std::vector<std::string>& arguments);
// Runs one; the result is the process exit code (0 done, 1 failed, 2 bad arguments).
int runAndroidBackupCommand(const std::vector<std::string>& arguments);
const char* androidBackupHelpText();

}  // namespace talvio::fixture
