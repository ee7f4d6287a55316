// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace talvio::test {

struct CommandResult {
    int status = -1;
    std::string out;  // standard output and error together
};

// Runs a command line through the shell (test paths hold no quotes) and collects its output.
inline CommandResult runCommand(const std::string& command) {
    CommandResult run;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace talvio::test
