// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include "chatexport/export_fixture.h"
#include "chatexport/export_opener.h"
#include "tests/support/temp_dir.h"
#include "tools/chat_export_command.h"

namespace talvio::chatexport {
namespace {

TEST(ChatExportCommand, WritesEveryLayoutInEveryFormReadyToOpen) {
    test::TempDir dir;
    ASSERT_EQ(talvio::fixture::runChatExportCommand({"chat-export", "--out", dir.path(), "--messages", "25"}),
              0);
    for (const auto& layout : fixture::fixtureLayouts()) {
        for (const char* form : {"txt", "folder", "zip"}) {
            SCOPED_TRACE(layout.id + " " + form);
            const OpenOutcome outcome = openChatExports(dir.path() + layout.id + "/" + form);
            ASSERT_EQ(outcome.chats.size(), 1u);
            EXPECT_TRUE(outcome.problems.empty());
            EXPECT_EQ(outcome.chats[0].messages().size(), 25u);
        }
    }
    EXPECT_EQ(talvio::fixture::runChatExportCommand({"chat-export", "--out", dir.path(), "--layout", "xx"}),
              2);
    EXPECT_EQ(talvio::fixture::runChatExportCommand({"chat-export", "--out", dir.path(), "--messages", "0"}),
              2);
    EXPECT_EQ(talvio::fixture::runChatExportCommand({"chat-export", "--messages", "3"}), 2);
}

}  // namespace
}  // namespace talvio::chatexport
