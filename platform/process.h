// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <optional>
#include <string>
#include <vector>

// Programs the viewer and the export start, and what they need of the system to start them.
// Qt-free, so that logic outside the windows can use it too.
namespace talvio::platform {

// A program started with an argument list (never through a shell), its standard streams on
// /dev/null, found on PATH when its name has no '/'.
class ChildProcess {
public:
    // Starts arguments[0] with the arguments; on failure says why in error.
    static std::optional<ChildProcess> start(const std::vector<std::string>& arguments, std::string& error);

    // The program's end, once it has ended: "" for a normal exit with status 0, otherwise how it
    // ended ("exit status 1", "ended by signal 9"). nullopt while it runs. Never blocks.
    std::optional<std::string> poll();
    // Stops it at once and waits for its end.
    void kill();

private:
    explicit ChildProcess(int pid) : m_pid(pid) {}
    int m_pid;
};

// The folder of the running program's executable, with a trailing '/'; empty when unknown.
std::string executableFolder();

// The local standard-time offset in minutes west of UTC (UTC = local + offset), without daylight
// saving.
int localStandardTimeOffset();

}  // namespace talvio::platform
