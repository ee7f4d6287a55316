// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <vector>

namespace talvio::fixture {

// "talvio-fixture chat-export": writes WhatsApp "Export chat" files of our own making in any of
// the generator's layouts, as .txt, folder or .zip.
bool isChatExportCommand(const std::vector<std::string>& arguments);
// Runs it; the result is the process exit code (0 done, 1 failed, 2 bad arguments).
int runChatExportCommand(const std::vector<std::string>& arguments);
const char* chatExportHelpText();

}  // namespace talvio::fixture
