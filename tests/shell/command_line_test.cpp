// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Both programs answer on the command line as Linux programs do: --help and --version without a
// display, 0 for success and 2 for a wrong command line, messages that name the program.
#include "tests/support/run_command.h"

#include <gtest/gtest.h>

namespace talvio {
namespace {

using test::runCommand;

// Without DISPLAY, WAYLAND_DISPLAY or a chosen platform, as on a server or in a text console.
const std::string kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

TEST(ProgramCommandLine, TheViewerAnswersWithoutADisplay) {
    const std::string viewer = kNoDisplay + TALVIO_VIEWER;
    const test::CommandResult help = runCommand(viewer + " --help");
    EXPECT_EQ(help.status, 0) << help.out;
    EXPECT_NE(help.out.find("[FOLDER [RESOURCEFOLDER]]"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--screenshot <FILE>"), std::string::npos) << help.out;

    const test::CommandResult version = runCommand(viewer + " --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("talvio ") + TALVIO_VERSION + "\n");

    const test::CommandResult unknown = runCommand(viewer + " --bogus");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.out.find("talvio: Unknown option 'bogus'."), std::string::npos) << unknown.out;
    EXPECT_EQ(runCommand(viewer + " a b c").status, 2);
}

TEST(ProgramCommandLine, TheExportToolAnswersLikewise) {
    const std::string tool = TALVIO_EXPORT_TOOL;
    const test::CommandResult version = runCommand(tool + " --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("talvio-export ") + TALVIO_VERSION + "\n");
    EXPECT_EQ(runCommand(tool + " --help").status, 0);
    const test::CommandResult unknown = runCommand(tool + " --bogus x");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out.rfind("talvio-export: unknown option --bogus", 0), 0u) << unknown.out;
    // A folder that is not there is named.
    const test::CommandResult missing = runCommand(tool + " --list /nonexistent/folder");
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.out.find("/nonexistent/folder"), std::string::npos) << missing.out;
}

}  // namespace
}  // namespace talvio
