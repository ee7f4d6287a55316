// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "tools/android_fixture_builder.h"
#include "tools/scale_generator.h"

namespace talvio::fixture {

// The arguments of talvio-fixture, read into the options of one subcommand.
class CommandLine {
public:
    struct Help {};
    struct Invalid {
        std::string message;
    };
    using Command = std::variant<Help, Invalid, AndroidFixtureBuilder::Options, ScaleGenerator::Options>;

    static Command parse(const std::vector<std::string>& arguments);
    static const char* helpText();

private:
    static Command parseAndroid(const std::vector<std::string>& arguments);
    static Command parseScale(const std::vector<std::string>& arguments);
};

}  // namespace talvio::fixture
