// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <algorithm>

#include "chatexport/export_fixture.h"
#include "chatexport/export_opener.h"
#include "tests/support/temp_dir.h"

namespace talvio::chatexport {
namespace {

using fixture::ExportForm;
using fixture::ExportLayout;
using fixture::GeneratedChat;

// 2022-03-08 07:05 local: the first days are 12 or less, so the whole file decides the date order.
constexpr std::int64_t kStart = 1646723100;
// Not a whole number of hours, so every clock hour (and 12 AM and 12 PM) comes round.
constexpr std::int64_t kStep = 3 * 3600 + 17 * 60 + 13;

std::string senderName(const std::vector<std::string>& senders, int index) {
    return index < 0 ? std::string("(none)") : senders[static_cast<std::size_t>(index)];
}

void expectSameMessages(const GeneratedChat& expected, const ChatExport& chat) {
    ASSERT_EQ(chat.messages().size(), expected.messages.size());
    for (std::size_t i = 0; i < expected.messages.size(); ++i) {
        const Message& want = expected.messages[i];
        const Message& got = chat.messages()[i];
        SCOPED_TRACE("message " + std::to_string(i) + " at " + want.timeText);
        EXPECT_EQ(got.localTime, want.localTime);
        EXPECT_EQ(got.timeText, want.timeText);
        EXPECT_EQ(senderName(chat.senders(), got.sender), senderName(expected.senders, want.sender));
        EXPECT_EQ(got.kind, want.kind);
        EXPECT_EQ(got.media, want.media);
        EXPECT_EQ(got.attachment, want.attachment);
        EXPECT_EQ(got.text, want.text);
    }
}

class EveryLayout : public ::testing::TestWithParam<std::string> {
protected:
    const ExportLayout& layout() const { return *fixture::findLayout(GetParam()); }
};

TEST_P(EveryLayout, EachFormReadsBackTheMessagesItWasWrittenFrom) {
    const GeneratedChat generated = fixture::makeConversation(layout(), 80, kStart, kStep);
    for (const ExportForm form : {ExportForm::Text, ExportForm::Folder, ExportForm::Zip}) {
        SCOPED_TRACE("form " + std::to_string(static_cast<int>(form)));
        test::TempDir dir;
        const std::string path = fixture::writeExport(layout(), generated, form, dir.path());
        const auto before = test::folderSnapshot(dir.path());

        const OpenOutcome outcome = openChatExports(path);
        ASSERT_TRUE(outcome.problems.empty()) << outcome.problems.front();
        ASSERT_EQ(outcome.chats.size(), 1u);
        const ChatExport& chat = outcome.chats.front();
        expectSameMessages(generated, chat);
        EXPECT_EQ(chat.unknownLines(), 0u);
        if (form != ExportForm::Text || !layout().iphone) {
            EXPECT_EQ(chat.name(), layout().chatName);
        }

        // Every attachment that came with the export can be read, with the bytes it was given.
        std::size_t attached = 0;
        for (const Message& message : generated.messages) {
            if (message.kind != MessageKind::Attachment)
                continue;
            ++attached;
            const ReadOutcome read = chat.readAttachment(message.attachment, 1 << 20);
            if (form == ExportForm::Text) {
                EXPECT_FALSE(read.error.empty());
            } else {
                EXPECT_EQ(read.error, "");
                EXPECT_EQ(read.bytes, fixture::attachmentBytes(message.attachment));
            }
        }
        EXPECT_EQ(chat.attachments().size(), form == ExportForm::Text ? 0u : attached);
        EXPECT_EQ(test::folderSnapshot(dir.path()), before);
    }
}

TEST_P(EveryLayout, TheOwnerIsChosenFromThePeopleWhoWrote) {
    const GeneratedChat generated = fixture::makeConversation(layout(), 30, kStart, kStep);
    test::TempDir dir;
    const OpenOutcome outcome =
        openChatExports(fixture::writeExport(layout(), generated, ExportForm::Zip, dir.path()));
    ASSERT_EQ(outcome.chats.size(), 1u);
    ChatExport chat = outcome.chats.front();

    // An iPhone group's own notices are written in the group's name, which is nobody to choose.
    std::vector<std::string> people = layout().people;
    std::vector<std::string> candidates = chat.ownerCandidates();
    std::sort(people.begin(), people.end());
    std::sort(candidates.begin(), candidates.end());
    EXPECT_EQ(candidates, people);

    EXPECT_FALSE(chat.setOwner("Nobody in this chat"));
    EXPECT_EQ(chat.owner(), -1);
    ASSERT_TRUE(chat.setOwner(layout().people[0]));
    std::size_t mine = 0;
    for (const Message& message : chat.messages()) {
        if (chat.isFromOwner(message)) {
            ++mine;
            EXPECT_EQ(chat.senders()[static_cast<std::size_t>(message.sender)], layout().people[0]);
        }
    }
    EXPECT_GT(mine, 0u);
}

std::vector<std::string> layoutIds() {
    std::vector<std::string> ids;
    for (const ExportLayout& layout : fixture::fixtureLayouts())
        ids.push_back(layout.id);
    return ids;
}

std::string testName(const ::testing::TestParamInfo<std::string>& param) {
    std::string name = param.param;
    for (char& c : name)
        if (c == '-')
            c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Layouts, EveryLayout, ::testing::ValuesIn(layoutIds()), testName);

}  // namespace
}  // namespace talvio::chatexport
