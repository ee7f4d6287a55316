// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <functional>
#include <map>
#include <string>

namespace talvio::test {

// How a piece of work run in a child process ended.
struct ChildOutcome {
    enum class End { Finished, Failed, Crashed, TimedOut } end = End::Crashed;
    int signal = 0;
    int exitCode = 0;
    std::string output;  // what the work returned, or why it failed
    double seconds = 0;
};

// Runs work in a forked child with an alarm as watchdog, so that neither a crash nor a hang of
// the code under test takes the test down with it. work returns its result text; throwing
// std::runtime_error reports a failure.
ChildOutcome runInChild(const std::function<std::string()>& work, unsigned seconds);

std::string describe(const ChildOutcome& outcome);

// Loads a phone folder as the viewer and talvio-export do (LoadContacts, then RenderChat of every
// row in Viewer and StandAlone mode, ExportMode off) and returns a summary of what it showed:
// "rows N", "blocks M", one line per row and one per page. A page must read back whole, or be
// what a failed open leaves (the buffer untouched, with "No message" added when the row has
// none); anything else throws.
std::string loadAndRenderSummary(int sourceKind, const std::string& folder, const std::string& resources);

// Every entry below a folder, symbolic links not followed: its type, and for files their size and
// a checksum of their bytes, for links their target.
std::map<std::string, std::string> inputSnapshot(const std::string& folder);

}  // namespace talvio::test
