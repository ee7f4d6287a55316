// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iphone_test_support.h"
#include "sources/chat_page.h"
#include "sources/chat_software.h"
#include "sources/contact_table.h"
#include "sources/iphone_weixin.h"
#include "sources/program_state.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace talvio {
namespace {

constexpr const char* kAnn = "4915110000001@s.whatsapp.net";
constexpr const char* kAnnMedia = "Library/Media/4915110000001@s.whatsapp.net/";

std::string senderLine(const std::string& sender, const std::string& time) {
    return "<div class=\"content\"><SPAN class=\"SenderNameMe\">" + sender +
           " </span> <span class=\"MsgTime\">" + time + "</span><br/></div>";
}

std::string textBody(const std::string& text) {
    return "<div class=\"content\"><SPAN class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;" + text +
           "</span></div>";
}

const std::string kImageMarker =
    "<div class=\"content\"><SPAN "
    "class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;[Image]</span></div>";

std::string imageViewer(const std::string& url) {
    return "<div>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<SPAN class=\"MsgHistory\"><img src=\"" + url +
           "\"/></SPAN></div>";
}

std::string voiceViewer(const std::string& argument) {
    return "<div class=\"content\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<a href=\"#\" onClick=\"return "
           "PlayMyWav('" +
           argument + "');\">[Play voice]</a></div>";
}

std::string videoViewer(const std::string& argument) {
    return "<div class=\"content\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<a href=\"#\" onClick=\"return "
           "PlayMyVideo('" +
           argument + "');\">[Play video]</a></div>";
}

// What a browser hands the script for onClick="return PlayMyWav('…');": the attribute's character
// references decoded, then the script string's escapes.
std::string scriptArgumentOf(const std::string& block, const std::string& function) {
    const std::string open = "return " + function + "('";
    const std::size_t start = block.find(open);
    const std::size_t end = block.find("');\">", start);
    if (start == std::string::npos || end == std::string::npos)
        return "<no link>";
    std::string attribute = block.substr(start + open.size(), end - start - open.size());
    std::string decoded;
    for (std::size_t i = 0; i < attribute.size(); ++i) {
        if (attribute[i] == '&') {
            const std::size_t semicolon = attribute.find(';', i);
            const std::string name = attribute.substr(i + 1, semicolon - i - 1);
            decoded += name == "amp"    ? "&"
                       : name == "quot" ? "\""
                       : name == "lt"   ? "<"
                       : name == "gt"   ? ">"
                                        : "?";
            i = semicolon;
        } else {
            // The attribute must not end early and the string must not end before its close.
            EXPECT_NE(attribute[i], '"') << block;
            decoded += attribute[i];
        }
    }
    std::string script;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (decoded[i] == '\\') {
            const char next = decoded[++i];
            script += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            EXPECT_NE(decoded[i], '\'') << block;
            script += decoded[i];
        }
    }
    return script;
}

class IphoneRender : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        contactTable().destroy();
        chatPageBuffer().clear();
        programState().timeZoneBias = 0;
    }
    void TearDown() override {
        resetProgramState();
        contactTable().destroy();
        chatPageBuffer().clear();
    }
    std::vector<std::string> blocksOf(const std::string& jid, int mode = kViewer) {
        const int row = test::rowOfJid(jid);
        EXPECT_GE(row, 0) << jid;
        return test::pageBlocks(test::renderIphoneRow(row, mode), mode);
    }
    test::TempDir dir;
};

TEST_F(IphoneRender, EveryBodyWithTheResourceFolder) {
    const std::string resources = test::iphoneFixtureResources("basic");
    test::loadIphoneFolder(test::iphoneFixtureData("basic"), resources);
    const std::string media = resources + kAnnMedia;
    const std::vector<std::string> expected{
        senderLine("Ann", "2023-03-08 20:26:40") + textBody("a&lt;b&gt;&c"),
        senderLine("Me", "2023-03-08 20:28:20") + textBody("See you at 8"),
        senderLine("Ann", "2023-03-08 20:30:00") + imageViewer("file://" + media + "3/a/3a1f0c52-sunset.jpg"),
        // the picture's file is not there
        senderLine("Ann", "2023-03-08 20:31:40") + kImageMarker,
        // voice notes and videos are linked whether or not their file is there
        senderLine("Me", "2023-03-08 20:33:20") + voiceViewer(media + "5/c/5c3f2e74-hello.opus"),
        senderLine("Ann", "2023-03-08 20:35:00") + voiceViewer(media + "6/d/6d403f85-lost.opus"),
        senderLine("Ann", "2023-03-08 20:36:40") + videoViewer(media + "7/e/7e514096-clip.mp4"),
        senderLine("Me", "2023-03-08 20:38:20") + videoViewer(media + "8/f/8f6251a7-gone.mp4"),
        // no media item at all: the bare Library/ folder is not a picture
        senderLine("Ann", "2023-03-08 20:38:30") + kImageMarker,
        // two media items, two blocks
        senderLine("Ann", "2023-03-08 20:38:40") + imageViewer("file://" + media + "1/0/10a7b2c8-first.jpg"),
        senderLine("Ann", "2023-03-08 20:38:40") + imageViewer("file://" + media + "1/0/10a7b2c8-second.jpg"),
        // a location and a row without kind are text, possibly empty; no push name, no sender
        senderLine("Ann", "2023-03-08 20:38:50") + textBody(""),
        senderLine("", "2023-03-08 20:39:00") + textBody("kind unknown"),
        // (the row without ZISFROMME adds nothing)
        senderLine("", "2023-03-08 20:41:40") + textBody(""),
    };
    EXPECT_EQ(blocksOf(kAnn), expected);
}

// Saved pages go out in pieces while they are built; put together they are the page built whole.
TEST_F(IphoneRender, APageHandedOverInPiecesIsTheWholePage) {
    test::loadIphoneFolder(test::iphoneFixtureData("basic"), test::iphoneFixtureResources("basic"));
    const int row = test::rowOfJid(kAnn);
    const std::string whole = test::renderIphoneRow(row, kViewer);
    std::string joined;
    ChatPageBuffer page;
    page.setSink([&](std::string_view part) { joined += part; }, 200);
    CIphoneWeiXin source(chosenPhoneFolder());
    renderContact(source, contactTable().row(row), kViewer, page);
    page.handOver();
    EXPECT_EQ(joined, whole);
}

TEST_F(IphoneRender, WithoutResourceFolder) {
    test::loadIphoneFolder(test::iphoneFixtureData("basic"));
    const std::vector<std::string> blocks = blocksOf(kAnn);
    ASSERT_EQ(blocks.size(), 14u);
    EXPECT_EQ(blocks[2], senderLine("Ann", "2023-03-08 20:30:00") + kImageMarker);
    EXPECT_EQ(blocks[4], senderLine("Me", "2023-03-08 20:33:20") +
                             voiceViewer(std::string(kAnnMedia) + "5/c/5c3f2e74-hello.opus"));
    EXPECT_EQ(blocks[6], senderLine("Ann", "2023-03-08 20:36:40") +
                             videoViewer(std::string(kAnnMedia) + "7/e/7e514096-clip.mp4"));
    EXPECT_EQ(blocks[9], senderLine("Ann", "2023-03-08 20:38:40") + kImageMarker);
}

TEST_F(IphoneRender, GroupSendersAndPushNames) {
    test::loadIphoneFolder(test::iphoneFixtureData("basic"));
    const std::vector<std::string> expected{
        senderLine("", "2022-11-13 02:40:00") + textBody(""),
        // a push name is page text like a message: its markup is shown, not obeyed
        senderLine("Clara &lt;3", "2022-11-13 02:40:10") + textBody("Dinner at six?"),
        senderLine("", "2022-11-13 02:40:20") + textBody("Who brings dessert?"),
        senderLine("Me", "2022-11-13 02:40:30") + textBody("I do"),
    };
    EXPECT_EQ(blocksOf("491511000000-1577836800@g.us"), expected);
    // A sent message shows "Me" whatever its push name says.
    EXPECT_EQ(blocksOf(kAnn)[1].find("My own name"), std::string::npos);
}

TEST_F(IphoneRender, ChatWithoutMessages) {
    test::loadIphoneFolder(test::iphoneFixtureData("basic"));
    const int dora = test::rowOfJid("4915110000004@s.whatsapp.net");
    EXPECT_EQ(test::renderIphoneRow(dora, kViewer), std::string(pageHead(kViewer)) + "<div>No message</div>");
    EXPECT_EQ(test::renderIphoneRow(dora, kStandAlone), std::string(pageHead(kStandAlone)));
}

TEST_F(IphoneRender, HostilePathsStayInsideTheirAttribute) {
    const std::string resources = test::iphoneFixtureResources("hostile");
    test::loadIphoneFolder(test::iphoneFixtureData("hostile"), resources);
    const std::vector<std::string> blocks = blocksOf("hostile@s.whatsapp.net");
    ASSERT_EQ(blocks.size(), 11u);
    // A push name made of markup is text.
    EXPECT_NE(blocks[0].find("&lt;img src=x onerror=alert(1)&gt; </span>"), std::string::npos);
    // Quotes, a backslash and "&" in a picture's name: percent-encoded in its file address.
    EXPECT_EQ(blocks[0].substr(blocks[0].find("<div>&nbsp;")),
              imageViewer("file://" + resources + "Library/Media/h/it%27s%5Ca%26%22b%22.jpg"));
    // In a link the script receives exactly the path, and nothing ends the attribute early.
    const std::string voice = resources + "Library/Media/h/quo'te\\\"&<v>.opus";
    EXPECT_EQ(scriptArgumentOf(blocks[1], "PlayMyWav"), voice);
    EXPECT_NE(blocks[1].find("quo\\'te\\\\&quot;&amp;&lt;v&gt;.opus"), std::string::npos) << blocks[1];
    EXPECT_EQ(scriptArgumentOf(blocks[2], "PlayMyVideo"), resources + "Library/Media/h/#frag?x=1%20.mp4");
    // Only dots, or no name: a folder, not a picture.
    EXPECT_EQ(blocks[4].substr(blocks[4].find("<div class=\"content\"><SPAN class=\"MsgHistory\">")),
              kImageMarker);
    EXPECT_EQ(blocks[5].substr(blocks[5].find("<div class=\"content\"><SPAN class=\"MsgHistory\">")),
              kImageMarker);
}

TEST_F(IphoneRender, PathsWithBackslashesAreDoubledForTheScript) {
    test::makeIphoneFolder(
        dir.path(),
        "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID) VALUES (1, 'a@s');"
        "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGETYPE, ZMESSAGEDATE, ZFROMJID) VALUES "
        "(1, 0, 3, 86400.5, 'a@s');"
        "INSERT INTO ZWAMEDIAITEM (Z_PK, ZMESSAGE, ZMEDIALOCALPATH) VALUES (1, 1, 'x.opus');");
    test::loadIphoneFolder(dir.path());
    // A resource folder as Windows would name it: each backslash reaches the script as one.
    programState().resourceFolder = "C:\\r\\";
    const std::vector<std::string> blocks = blocksOf("a@s");
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0], senderLine("", "2001-01-02 00:00:00") + voiceViewer("C:\\\\r\\\\Library/x.opus"));
}

TEST_F(IphoneRender, AChatThatCannotBeReadSaysSoAndNeverShowsAnother) {
    test::loadIphoneFolder(test::iphoneFixtureData("basic"));
    const int ben = test::rowOfJid("4915110000002@s.whatsapp.net");
    test::renderIphoneRow(ben, kViewer);
    // The store went away after the list was filled: the page says why, and carries nothing of
    // the chat rendered before it.
    programState().messageDbPath = dir.path() + "missing.sqlite";
    const std::string notice = "<div>This chat could not be read: unable to open database file</div>";
    EXPECT_EQ(test::renderIphoneRow(ben, kViewer), std::string(pageHead(kViewer)) + notice);
    const int dora = test::rowOfJid("4915110000004@s.whatsapp.net");
    EXPECT_EQ(test::renderIphoneRow(dora, kViewer),
              std::string(pageHead(kViewer)) + notice + "<div>No message</div>");
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "missing.sqlite"));

    // The chat query cannot run (no ZWAMEDIAITEM): the page says so.
    contactTable().destroy();
    test::makeIphoneFolder(
        dir.path(),
        "CREATE TABLE ZWACHATSESSION (Z_PK INTEGER PRIMARY KEY, ZCONTACTJID VARCHAR, "
        "ZPARTNERNAME VARCHAR);"
        "CREATE TABLE ZWAPROFILEPICTUREITEM (Z_PK INTEGER PRIMARY KEY, ZJID VARCHAR, ZPATH VARCHAR);"
        "CREATE TABLE ZWAMESSAGE (Z_PK INTEGER PRIMARY KEY, ZISFROMME INTEGER, ZMESSAGETYPE "
        "INTEGER, ZMESSAGEDATE TIMESTAMP, ZPUSHNAME VARCHAR, ZTEXT VARCHAR, ZFROMJID VARCHAR, "
        "ZTOJID VARCHAR);"
        "INSERT INTO ZWACHATSESSION VALUES (1, 'a@s', 'A');"
        "INSERT INTO ZWAMESSAGE VALUES (1, 0, 0, 5.5, NULL, 'hi', 'a@s', NULL);",
        true);
    test::loadIphoneFolder(dir.path());
    const int a = test::rowOfJid("a@s");
    ASSERT_EQ(contactTable().row(a).messageCount, 1);
    EXPECT_EQ(test::renderIphoneRow(a, kStandAlone),
              std::string(pageHead(kStandAlone)) +
                  "<div>This chat could not be read: no such table: ZWAMEDIAITEM</div>");
}

}  // namespace
}  // namespace talvio
