// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/page_blocks.h"
#include "chatexport/chat_export_source.h"
#include "chatexport/export_fixture.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/html_escape.h"
#include "sources/iphone_weixin.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "tests/iphone/iphone_test_support.h"
#include "tests/sources/android_sql.h"
#include "tests/support/android_folder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace talvio {
namespace {

const std::string kSamples = std::string(TALVIO_BUILD_DIR) + "/samples/";

struct Handed {
    std::string jid;
    std::int64_t ordinal;
    std::int64_t time;
    bool fromMe;
    std::string text;
    auto operator<=>(const Handed&) const = default;
};

std::vector<Handed> read(CChatSoftware& source, std::string_view chat) {
    std::vector<Handed> handed;
    std::string reason;
    EXPECT_TRUE(source.ReadMessageTexts(
        chat,
        [&](const MessageText& m) {
            handed.push_back({std::string(m.jid), m.ordinal, m.time, m.fromMe, std::string(m.text)});
            return true;
        },
        reason))
        << reason;
    return handed;
}

// The page's blocks, each starting with its sender line.
std::vector<std::string> senderBlocks(const std::string& page) {
    std::vector<std::string> blocks;
    std::size_t at = page.find(kSenderLineStart);
    while (at != std::string::npos) {
        const std::size_t next = page.find(kSenderLineStart, at + kSenderLineStart.size());
        blocks.push_back(page.substr(at, next == std::string::npos ? next : next - at));
        at = next;
    }
    return blocks;
}

// Every text the source hands lies in the block of its ordinal on the chat's page, and one pass over
// every chat hands what the chats hand one by one. Returns how many texts were handed.
std::size_t expectTextsOnTheirBlocks(CChatSoftware& source) {
    std::vector<Handed> oneByOne;
    for (const ContactEntry& entry : contactTable().rows()) {
        const std::vector<Handed> texts = read(source, entry.jid);
        if (texts.empty())
            continue;
        ChatPageBuffer page;
        renderContact(source, entry, kViewer, page);
        const std::vector<std::string> blocks = senderBlocks(page.text());
        for (const Handed& text : texts) {
            EXPECT_EQ(text.jid, entry.jid);
            EXPECT_FALSE(text.text.empty());
            const bool placed = text.ordinal >= 0 && static_cast<std::size_t>(text.ordinal) < blocks.size();
            EXPECT_TRUE(placed) << text.ordinal << " of " << blocks.size() << ": " << text.text;
            if (!placed)
                continue;
            const std::string& block = blocks[static_cast<std::size_t>(text.ordinal)];
            // Line by line: a page may break lines with markup.
            std::size_t start = 0;
            while (start <= text.text.size()) {
                const std::size_t end = std::min(text.text.find('\n', start), text.text.size());
                EXPECT_NE(block.find(escapeText(text.text.substr(start, end - start))), std::string::npos)
                    << "ordinal " << text.ordinal << " of " << entry.jid << ": " << text.text
                    << "\nblock: " << block;
                start = end + 1;
            }
        }
        oneByOne.insert(oneByOne.end(), texts.begin(), texts.end());
    }
    std::vector<Handed> all = read(source, {});
    std::sort(all.begin(), all.end());
    std::sort(oneByOne.begin(), oneByOne.end());
    EXPECT_EQ(all, oneByOne);
    return oneByOne.size();
}

class SourceTexts : public test::SourceTest {};

TEST_F(SourceTexts, AndroidSamplesWithAndWithoutMediaFolder) {
    for (const char* sample : {"android", "android-modern"}) {
        SCOPED_TRACE(sample);
        const std::string data = kSamples + sample + "/com.whatsapp/";
        CAndroidWeiXin plain(phoneFolderOf(kSourceAndroid, data, "", 0));
        plain.LoadContacts(contactTable());
        const std::size_t withoutMedia = expectTextsOnTheirBlocks(plain);
        CAndroidWeiXin withMedia(phoneFolderOf(kSourceAndroid, data, kSamples + sample + "/WhatsApp/", 0));
        withMedia.LoadContacts(contactTable());
        // Captions show with the media folder, and so count as text then.
        EXPECT_GT(expectTextsOnTheirBlocks(withMedia), withoutMedia);
        EXPECT_GT(withoutMedia, 10U);
    }
}

// A place, a contact card and a poll are found by the words their blocks show, beside the message's
// own text: each on a line of its own, so every line still stands in its block.
TEST_F(SourceTexts, AndroidModernKindsHandTheWordsTheirBlocksShow) {
    CAndroidWeiXin source(phoneFolderOf(kSourceAndroid, kSamples + "android-modern/com.whatsapp/", "", 0));
    source.LoadContacts(contactTable());
    std::string all;
    for (const Handed& text : read(source, {}))
        all += text.text + "\n";
    for (const char* words : {"Viktualienmarkt\nViktualienmarkt 3, 80331 München", "Dr. Maria Schmidt",
                              "+49 151 23456789", "Samstag\nSonntag\nEgal <Hauptsache> Wurst & Brot"})
        EXPECT_NE(all.find(words), std::string::npos) << words;
}

TEST_F(SourceTexts, AndroidLegacyMessagesOfOneSecondAndOutOfStorageOrder) {
    using test::messageRow;
    test::makeAndroidFolder(
        dir.path(),
        messageRow("491@s.whatsapp.net", 0, "0", "1600000009000", "stored first, shown last") +
            messageRow("491@s.whatsapp.net", 1, "0", "1600000001000", "tie one") +
            messageRow("491@s.whatsapp.net", 0, "1", "1600000001000", nullptr) +
            messageRow("491@s.whatsapp.net", 0, "0", "1600000001000", "tie <three>") +
            messageRow("491@s.whatsapp.net", 0, "0", nullptr, "no time") +
            messageRow("-1", 0, "0", "1600000001000", "system row") +
            messageRow("4912@g.us", 0, "0", "1600000002000", "group", "4917@s.whatsapp.net"),
        test::contactRow("491@s.whatsapp.net", "Anna", nullptr) +
            test::contactRow("4912@g.us", "<b>Team</b>", nullptr));
    test::loadAndroidFolder(dir.path());
    CAndroidWeiXin source(chosenPhoneFolder());
    EXPECT_EQ(expectTextsOnTheirBlocks(source), 5U);
    const std::vector<Handed> anna = read(source, "491@s.whatsapp.net");
    ASSERT_EQ(anna.size(), 4U);
    EXPECT_EQ(std::tie(anna[0].ordinal, anna[0].text),
              std::make_tuple(std::int64_t{0}, std::string("no time")));
    EXPECT_EQ(std::tie(anna[1].ordinal, anna[1].text),
              std::make_tuple(std::int64_t{1}, std::string("tie one")));
    EXPECT_TRUE(anna[1].fromMe);
    EXPECT_EQ(anna[1].time, 1600000001);
    EXPECT_EQ(anna[2].ordinal, 3);
    EXPECT_EQ(anna[3].ordinal, 4);
}

TEST_F(SourceTexts, AndroidModernChatsUnderOneJidAndTies) {
    const std::string jids =
        "INSERT INTO jid(_id, user, server, type, raw_string) VALUES"
        "(1, '491', 's.whatsapp.net', 0, '491@s.whatsapp.net'), (2, '8800', 'lid', 0, '8800@lid');"
        "INSERT INTO jid_map(lid_row_id, jid_row_id) VALUES (2, 1);"
        "INSERT INTO chat(_id, jid_row_id, subject) VALUES (10, 1, NULL), (11, 2, NULL);";
    int key = 0;
    auto message = [&](int chat, long long time, const char* text, int type = 0) {
        return "INSERT INTO message(chat_row_id, from_me, key_id, timestamp, message_type, text_data) "
               "VALUES(" +
               std::to_string(chat) + ", 0, 'K" + std::to_string(++key) + "', " + std::to_string(time) +
               ", " + std::to_string(type) + ", " + test::sqlValue(text) + ");";
    };
    test::makeModernAndroidFolder(
        dir.path(),
        jids + message(11, 1600000005000, "lid, later") + message(10, 1600000001000, "a") +
            message(11, 1600000001000, "lid, same second") + message(10, 1600000003000, nullptr, 8) +
            message(10, 1600000004000, "b & c"),
        test::contactRow("491@s.whatsapp.net", "Anna", nullptr));
    test::loadAndroidFolder(dir.path());
    CAndroidWeiXin source(chosenPhoneFolder());
    EXPECT_EQ(expectTextsOnTheirBlocks(source), 4U);
    const std::vector<Handed> anna = read(source, "491@s.whatsapp.net");
    ASSERT_EQ(anna.size(), 4U);
    EXPECT_EQ(anna.back().text, "lid, later");
    EXPECT_EQ(anna.back().ordinal, 4);
}

TEST_F(SourceTexts, IphoneSampleAndFixture) {
    const std::string data = kSamples + "iphone/group.net.whatsapp.WhatsApp.shared/";
    CIphoneWeiXin sample(phoneFolderOf(kSourceIPhone, data, kSamples + "iphone/net.whatsapp.WhatsApp/", 0));
    sample.LoadContacts(contactTable());
    EXPECT_GT(expectTextsOnTheirBlocks(sample), 10U);

    // The hostile folder's media messages have no text; its paths and names must not upset the reading.
    for (const char* fixture : {"basic", "hostile"}) {
        CIphoneWeiXin folder(phoneFolderOf(kSourceIPhone, test::iphoneFixtureData(fixture),
                                           test::iphoneFixtureResources(fixture), 0));
        folder.LoadContacts(contactTable());
        EXPECT_EQ(expectTextsOnTheirBlocks(folder) > 0, std::string(fixture) == "basic") << fixture;
    }
}

TEST_F(SourceTexts, IphoneRowsWithoutSenderMediaTwiceAndTies) {
    // A message with two media rows takes two places; a row without ZISFROMME takes none.
    test::makeIphoneFolder(
        dir.path(),
        "INSERT INTO ZWACHATSESSION(Z_PK, ZCONTACTJID, ZPARTNERNAME) VALUES (1, '491@s.whatsapp.net', "
        "'Anna');"
        "INSERT INTO ZWAMESSAGE(Z_PK, ZISFROMME, ZMESSAGETYPE, ZMESSAGEDATE, ZTEXT, ZFROMJID, ZTOJID) VALUES"
        "(1, 0, 0, 700000100.5, 'stored first', '491@s.whatsapp.net', NULL),"
        "(2, 0, 1, 700000000, 'not shown', '491@s.whatsapp.net', NULL),"
        "(3, NULL, 0, 700000000, 'no block', '491@s.whatsapp.net', NULL),"
        "(4, 1, 0, 700000000, 'mine, same second', NULL, '491@s.whatsapp.net'),"
        "(5, 1, 0, 700000050, 'to someone else', NULL, '492@s.whatsapp.net');"
        "INSERT INTO ZWAMEDIAITEM(Z_PK, ZMESSAGE, ZMEDIALOCALPATH) VALUES (1, 2, 'a.jpg'), (2, 2, 'b.jpg');");
    test::loadIphoneFolder(dir.path());
    CIphoneWeiXin source(chosenPhoneFolder());
    EXPECT_EQ(expectTextsOnTheirBlocks(source), 2U);
    const std::vector<Handed> anna = read(source, "491@s.whatsapp.net");
    ASSERT_EQ(anna.size(), 2U);
    EXPECT_EQ(anna[0].text, "mine, same second");
    EXPECT_EQ(anna[0].ordinal, 2);
    EXPECT_TRUE(anna[0].fromMe);
    EXPECT_EQ(anna[0].time, 700000000 + 978307200);
    EXPECT_EQ(anna[1].ordinal, 3);
}

TEST_F(SourceTexts, ADatabaseThatIsNoneSaysWhy) {
    test::makeAndroidFolder(dir.path(), "", "");
    test::writeFile(dir.path() + "databases/msgstore.db", std::string(4096, 'x'));
    CAndroidWeiXin source(phoneFolderOf(kSourceAndroid, dir.path(), "", 0));
    std::string reason;
    EXPECT_FALSE(source.ReadMessageTexts(
        {}, [](const MessageText&) { return true; }, reason));
    EXPECT_NE(reason.find("not a database"), std::string::npos) << reason;
}

TEST_F(SourceTexts, ChatExportsSkipEventsAndKnowTheOwner) {
    const chatexport::fixture::ExportLayout* layout = chatexport::fixture::findLayout("en-android-12h");
    ASSERT_NE(layout, nullptr);
    const std::string path = chatexport::fixture::writeExport(
        *layout, chatexport::fixture::makeConversation(*layout, 200, 1647639660, 60),
        chatexport::fixture::ExportForm::Text, dir.path());
    PhoneFolder folder;
    folder.kind = kSourceChatExport;
    folder.dataFolder = path;
    chatexport::ChatExportSource source(folder);
    source.LoadContacts(contactTable());
    ASSERT_GE(contactTable().count(), 2);
    EXPECT_GT(expectTextsOnTheirBlocks(source), 100U);
}

}  // namespace
}  // namespace talvio
