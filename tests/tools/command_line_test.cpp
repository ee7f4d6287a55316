// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/command_line.h"

namespace talvio::fixture {
namespace {

using ::testing::HasSubstr;

std::string invalidMessage(const std::vector<std::string>& arguments) {
    const auto command = CommandLine::parse(arguments);
    const auto* invalid = std::get_if<CommandLine::Invalid>(&command);
    return invalid != nullptr ? invalid->message : "(accepted)";
}

TEST(CommandLine, ReadsTheAndroidOptions) {
    const auto command = CommandLine::parse(
        {"android", "--sql-dir", "in dir", "--out", "out", "--wal-tail", "t.sql", "--bare"});
    const auto* options = std::get_if<AndroidFixtureBuilder::Options>(&command);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->sqlDir, "in dir");
    EXPECT_EQ(options->out, "out");
    EXPECT_EQ(options->walTail, std::filesystem::path("t.sql"));
    EXPECT_TRUE(options->bare);

    EXPECT_EQ(options->layout, AndroidLayout::Legacy);

    const auto modern = CommandLine::parse({"android", "--sql-dir", "d", "--out", "o", "--layout", "modern"});
    ASSERT_TRUE(std::holds_alternative<AndroidFixtureBuilder::Options>(modern));
    EXPECT_EQ(std::get<AndroidFixtureBuilder::Options>(modern).layout, AndroidLayout::Modern);
    EXPECT_THAT(invalidMessage({"android", "--sql-dir", "d", "--out", "o", "--layout", "Modern"}),
                HasSubstr("expected legacy, modern or mixed"));
    // Bare SQL brings its own tables, so a layout could only be ignored.
    EXPECT_THAT(invalidMessage({"android", "--sql-dir", "d", "--out", "o", "--bare", "--layout", "mixed"}),
                HasSubstr("exclude each other"));

    EXPECT_THAT(invalidMessage({"android", "--out", "x"}), HasSubstr("--sql-dir is required"));
    EXPECT_THAT(invalidMessage({"android", "--sql-dir", "x", "--out"}), HasSubstr("--out needs a value"));
    EXPECT_THAT(invalidMessage({"android", "--sql-dir", "x", "--out", "y", "--sqldir", "z"}),
                HasSubstr("unknown option --sqldir"));
}

TEST(CommandLine, ReadsTheScaleOptionsAndRejectsBadNumbers) {
    const auto command = CommandLine::parse({"android-scale", "--contacts", "2000", "--messages", "1000000",
                                             "--out", "o", "--seed", "42", "--no-pictures"});
    const auto* options = std::get_if<ScaleGenerator::Options>(&command);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->contacts, 2000u);
    EXPECT_EQ(options->messages, 1'000'000);
    EXPECT_EQ(options->seed, 42u);
    EXPECT_FALSE(options->pictures);
    EXPECT_EQ(options->layout, AndroidLayout::Legacy);
    const auto mixed = CommandLine::parse(
        {"android-scale", "--layout", "mixed", "--contacts", "2", "--messages", "3", "--out", "o"});
    ASSERT_TRUE(std::holds_alternative<ScaleGenerator::Options>(mixed));
    EXPECT_EQ(std::get<ScaleGenerator::Options>(mixed).layout, AndroidLayout::Mixed);
    EXPECT_THAT(
        invalidMessage({"android-scale", "--contacts", "2", "--messages", "3", "--out", "o", "--layout"}),
        HasSubstr("--layout needs a value"));

    EXPECT_THAT(invalidMessage({"android-scale", "--contacts", "12k", "--messages", "1", "--out", "o"}),
                HasSubstr("not a valid number: 12k"));
    EXPECT_THAT(invalidMessage({"android-scale", "--contacts", "0", "--messages", "1", "--out", "o"}),
                HasSubstr("--contacts"));
    EXPECT_THAT(invalidMessage({"android-scale", "--contacts", "5", "--out", "o"}),
                HasSubstr("--messages is required"));
}

TEST(CommandLine, HelpAndUnknownCommands) {
    EXPECT_TRUE(std::holds_alternative<CommandLine::Help>(CommandLine::parse({"--help"})));
    EXPECT_TRUE(std::holds_alternative<CommandLine::Help>(CommandLine::parse({"android", "--help"})));
    EXPECT_THAT(invalidMessage({}), HasSubstr("no command"));
    EXPECT_THAT(invalidMessage({"androd"}), HasSubstr("unknown command"));
    // Every option the parser accepts is documented.
    for (const char* option : {"--sql-dir", "--out", "--wal-tail", "--bare", "--contacts", "--messages",
                               "--seed", "--no-pictures", "--layout", "legacy", "modern", "mixed"}) {
        EXPECT_THAT(CommandLine::helpText(), HasSubstr(option));
    }
}

TEST(CommandLine, MediaGoesToTheWhatsAppFolderBesideTheOutput) {
    const auto android = CommandLine::parse(
        {"android", "--sql-dir", "d", "--out", "o/com.whatsapp", "--media-out", "o/WhatsApp"});
    ASSERT_TRUE(std::holds_alternative<AndroidFixtureBuilder::Options>(android));
    EXPECT_EQ(std::get<AndroidFixtureBuilder::Options>(android).mediaOut, "o/WhatsApp");

    const auto scale = CommandLine::parse({"android-scale", "--contacts", "2", "--messages", "3", "--out",
                                           "o/com.whatsapp", "--media", "50000"});
    ASSERT_TRUE(std::holds_alternative<ScaleGenerator::Options>(scale));
    EXPECT_EQ(std::get<ScaleGenerator::Options>(scale).mediaFiles, 50000);
    EXPECT_EQ(std::get<ScaleGenerator::Options>(scale).mediaOut, "o/WhatsApp");
    EXPECT_THAT(invalidMessage(
                    {"android-scale", "--contacts", "2", "--messages", "3", "--out", "o", "--media", "-1"}),
                HasSubstr("not a valid number"));
}

}  // namespace
}  // namespace talvio::fixture
