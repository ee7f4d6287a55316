// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <cstdio>
#include <string>
#include <vector>

#include "tools/android_backup_command.h"
#include "tools/chat_export_command.h"
#include "tools/command_line.h"
#include "tools/ios_backup_command.h"
#include "tools/iphone_command.h"

namespace {

using talvio::fixture::AndroidFixtureBuilder;
using talvio::fixture::CommandLine;
using talvio::fixture::Failure;
using talvio::fixture::ScaleGenerator;

struct Runner {
    int operator()(const CommandLine::Help&) const {
        std::fputs(CommandLine::helpText(), stdout);
        std::fputs("\n", stdout);
        std::fputs(talvio::fixture::iphoneHelpText(), stdout);
        std::fputs("\n", stdout);
        std::fputs(talvio::fixture::androidBackupHelpText(), stdout);
        std::fputs("\n", stdout);
        std::fputs(talvio::fixture::chatExportHelpText(), stdout);
        return 0;
    }
    int operator()(const CommandLine::Invalid& invalid) const {
        std::fprintf(stderr, "talvio-fixture: %s\n", invalid.message.c_str());
        return 2;
    }
    int operator()(const AndroidFixtureBuilder::Options& options) const {
        return report(AndroidFixtureBuilder::build(options));
    }
    int operator()(const ScaleGenerator::Options& options) const {
        return report(ScaleGenerator::build(options));
    }

    static int report(const Failure& failure) {
        if (!failure)
            return 0;
        std::fprintf(stderr, "talvio-fixture: %s\n", failure->c_str());
        return 1;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (talvio::fixture::isIphoneCommand(arguments))
        return talvio::fixture::runIphoneCommand(arguments);
    if (talvio::fixture::isAndroidBackupCommand(arguments))
        return talvio::fixture::runAndroidBackupCommand(arguments);
    if (talvio::fixture::isChatExportCommand(arguments))
        return talvio::fixture::runChatExportCommand(arguments);
    if (talvio::fixture::isIosBackupCommand(arguments))
        return talvio::fixture::runIosBackupCommand(arguments);
    return std::visit(Runner{}, CommandLine::parse(arguments));
}
