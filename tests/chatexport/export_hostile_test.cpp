// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <random>
#include <string_view>

#include "chatexport/export_fixture.h"
#include "chatexport/export_parser.h"
#include "chatexport/export_text.h"

namespace talvio::chatexport {
namespace {

// Damaged exports (bytes flipped, cut, repeated, marks and digits sprinkled in) are read without a
// crash, and whatever is read holds together: senders exist, times come from real dates.
TEST(ExportHostile, DamagedTextNeverBreaksTheReader) {
    std::mt19937 random(20260318);
    using namespace std::string_view_literals;
    const std::string_view pieces[] = {"\xE2\x80\x8E"sv,
                                       "\xE2\x80\x8F"sv,
                                       "\xD9\xA3"sv,
                                       "\xC2\xA0"sv,
                                       "\xE2\x80\xAF"sv,
                                       "\n"sv,
                                       "\r"sv,
                                       ": "sv,
                                       "["sv,
                                       "]"sv,
                                       " - "sv,
                                       "/"sv,
                                       "12"sv,
                                       "\xFF"sv,
                                       "\xD8"sv,
                                       "\0"sv,
                                       "PM"sv,
                                       "(file attached)"sv};
    for (const auto& layout : fixture::fixtureLayouts()) {
        const std::string clean =
            fixture::exportText(layout, fixture::makeConversation(layout, 40, 1646723100, 11807));
        for (int round = 0; round < 150; ++round) {
            std::string text = clean;
            const int edits = 1 + static_cast<int>(random() % 12);
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = random() % (text.size() + 1);
                switch (random() % 4) {
                    case 0:
                        text.insert(at, pieces[random() % std::size(pieces)]);
                        break;
                    case 1:
                        if (at < text.size())
                            text[at] = static_cast<char>(random());
                        break;
                    case 2:
                        text.erase(at, random() % 40);
                        break;
                    case 3:
                        text.insert(at, text.substr(at, random() % 200));
                        break;
                }
            }
            ChatExport chat;
            const std::string error = parseExportText(decodeExportText(text), {}, "damaged.txt", chat);
            if (!error.empty()) {
                EXPECT_TRUE(chat.messages().empty());
                continue;
            }
            for (const Message& message : chat.messages()) {
                ASSERT_LT(message.sender, static_cast<int>(chat.senders().size()));
                ASSERT_GE(message.localTime, 0);  // 1970 or later: only real dates make headers
                ASSERT_FALSE(message.timeText.empty());
                if (message.kind == MessageKind::Attachment) {
                    ASSERT_FALSE(message.attachment.empty());
                }
            }
        }
    }
}

TEST(ExportHostile, HugeLinesAndHeadersOnlyAreReadInOnePass) {
    std::string text = "18/03/2022, 21:41 - Anna: " + std::string(5'000'000, 'x') + "\n";
    for (int i = 0; i < 20000; ++i)
        text += "18/03/2022, 21:41 - \n";
    ChatExport chat;
    EXPECT_EQ(parseExportText(text, {}, "big.txt", chat), "");
    ASSERT_EQ(chat.messages().size(), 20001u);
    EXPECT_EQ(chat.messages()[0].text.size(), 5'000'000u);
    EXPECT_EQ(chat.messages()[1].kind, MessageKind::Event);
}

}  // namespace
}  // namespace talvio::chatexport
