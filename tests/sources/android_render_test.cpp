// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "android_sql.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/program_state.h"
#include "tests/support/android_folder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace talvio {
namespace {

using test::contactRow;
using test::messageRow;

const std::string kNb = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";

std::string senderLine(const std::string& sender, const std::string& time) {
    return R"(<div class="content"><SPAN class="SenderNameMe">)" + sender +
           R"( </span> <span class="MsgTime">)" + time + "</span><br/></div>";
}

std::string textBody(const std::string& text) {
    return R"(<div class="content"><SPAN class="MsgHistory">)" + kNb + text + "</span></div>";
}

std::string marker(const std::string& name) {
    return R"(<div class="content"><SPAN class="MsgHistory">)" + kNb + "[" + name + "]</SPAN></div>";
}

class AndroidRender : public test::SourceTest {
protected:
    // Selects the row of jid as the contact selection does and renders it.
    std::string render(const std::string& jid, int mode = kViewer) {
        for (int i = 0; i < contactTable().count(); ++i) {
            const ContactEntry& e = contactTable().row(i);
            if (e.jid != jid)
                continue;
            const std::string page = test::renderAndroidRow(i, mode);
            const std::string head(pageHead(mode));
            EXPECT_EQ(page.rfind(head, 0), 0u);
            return page.substr(std::min(head.size(), page.size()));
        }
        ADD_FAILURE() << "no row " << jid;
        return {};
    }
};

TEST_F(AndroidRender, EveryBodyKindAndSender) {
    const char* group = "120363@g.us";
    test::makeAndroidFolder(
        dir.path(),
        messageRow("a@s.whatsapp.net", 0, "0", "1496226000123", "a<b>&c \"q\" 'x' \\") +
            messageRow("a@s.whatsapp.net", 1, "1", "1496226001000", nullptr) +
            messageRow("a@s.whatsapp.net", 0, "2", "1496226002000", nullptr) +
            messageRow("a@s.whatsapp.net", 0, "3", "1496226003000", nullptr) +
            messageRow("a@s.whatsapp.net", 0, "8", "1496226004000", nullptr) +
            messageRow("a@s.whatsapp.net", 0, "9", "1496226005000", "report.pdf") +
            messageRow("a@s.whatsapp.net", 0, nullptr, nullptr, nullptr) +
            messageRow(group, 0, "0", "1496226006000", "hello", "4917@s.whatsapp.net") +
            messageRow(group, 1, "0", "1496226007000", "mine", "") +
            messageRow(group, 0, "0", "1496226008000", "event", ""),
        contactRow("a@s.whatsapp.net", "Anna", nullptr) + contactRow(group, "Family", nullptr));
    test::loadAndroidFolder(dir.path());

    EXPECT_EQ(render("a@s.whatsapp.net"),
              // Oldest first; a NULL time sorts first and shows "none".
              senderLine("Anna", "none") + textBody("") + senderLine("Anna", "2017-05-31 10:20:00") +
                  textBody("a&lt;b&gt;&c \"q\" 'x' \\") + senderLine("Me", "2017-05-31 10:20:01") +
                  R"(<div class="content"><SPAN class="MsgHistory">)" + kNb + "[Image]</span></div>" +
                  senderLine("Anna", "2017-05-31 10:20:02") + marker("Audio") +
                  senderLine("Anna", "2017-05-31 10:20:03") + marker("Video") +
                  senderLine("Anna", "2017-05-31 10:20:04") + marker("Call") +
                  senderLine("Anna", "2017-05-31 10:20:05") + textBody("report.pdf"));
    EXPECT_EQ(render(group), senderLine("4917", "2017-05-31 10:20:06") + textBody("hello") +
                                 senderLine("Me", "2017-05-31 10:20:07") + textBody("mine") +
                                 senderLine("Family", "2017-05-31 10:20:08") + textBody("event"));
}

TEST_F(AndroidRender, EmptyChatsAndThePlaceholder) {
    test::makeAndroidFolder(dir.path(), "", contactRow("a@s.whatsapp.net", "Anna", nullptr));
    test::loadAndroidFolder(dir.path());
    EXPECT_EQ(render("a@s.whatsapp.net"), "<div>No message</div>");
    EXPECT_EQ(render("UnGroupedFriend"), "<div>No message</div>");
    // A stand-alone page of an empty chat is the head alone.
    EXPECT_EQ(render("a@s.whatsapp.net", kStandAlone), "");
}

TEST_F(AndroidRender, HostileNamesAndNumbersShowLiterally) {
    test::makeAndroidFolder(
        dir.path(),
        messageRow("x@s.whatsapp.net", 0, "0", "1600000000000", "hi") +
            messageRow("g@g.us", 0, "0", "1600000000000", "hi", "<script>@s.whatsapp.net") +
            messageRow("q'@s.whatsapp.net", 0, "0", "1600000000000", "quoted jid"),
        contactRow("x@s.whatsapp.net", "<img src=x onerror=alert(1)>", nullptr) +
            contactRow("g@g.us", "G", nullptr) + contactRow("q'@s.whatsapp.net", "Q", nullptr));
    test::loadAndroidFolder(dir.path());
    EXPECT_EQ(render("x@s.whatsapp.net"),
              senderLine("&lt;img src=x onerror=alert(1)&gt;", "2020-09-13 12:26:40") + textBody("hi"));
    EXPECT_EQ(render("g@g.us"), senderLine("&lt;script&gt;", "2020-09-13 12:26:40") + textBody("hi"));
    EXPECT_EQ(render("q'@s.whatsapp.net"), senderLine("Q", "2020-09-13 12:26:40") + textBody("quoted jid"));
}

// A page saved rather than shown goes out in pieces while it is built; put together they are the
// page built whole, and the buffer never holds much more than a piece.
TEST_F(AndroidRender, APageHandedOverInPiecesIsTheWholePage) {
    std::string messages;
    for (int i = 0; i < 40; ++i)
        messages += messageRow("a@s.whatsapp.net", i % 2, "0", std::to_string(1600000000000 + i).c_str(),
                               ("message " + std::to_string(i)).c_str());
    test::makeAndroidFolder(dir.path(), messages, contactRow("a@s.whatsapp.net", "Anna", nullptr));
    test::loadAndroidFolder(dir.path());
    const std::string whole = std::string(pageHead(kStandAlone)) + render("a@s.whatsapp.net", kStandAlone);
    for (const std::size_t piece : {std::size_t{1}, std::size_t{300}}) {
        std::string joined;
        std::size_t largest = 0;
        int pieces = 0;
        {
            ChatPageBuffer page;
            page.setSink(
                [&](std::string_view part) {
                    joined += part;
                    // (The first piece holds the page's head, which comes in one go.)
                    if (pieces++ > 0)
                        largest = std::max(largest, part.size());
                },
                piece);
            CAndroidWeiXin source(chosenPhoneFolder());
            ContactEntry entry = contactTable().row(contactTable().row(0).jid == "a@s.whatsapp.net" ? 0 : 1);
            entry.messageCount = 40;
            renderContact(source, entry, kStandAlone, page);
            page.handOver();
            EXPECT_TRUE(page.text().empty());
        }
        EXPECT_EQ(joined, whole) << piece;
        EXPECT_GT(pieces, 4) << piece;
        // One message block (about 250 bytes) beyond the piece at most.
        EXPECT_LT(largest, piece + 400) << piece;
    }
    // Without a sink the buffer holds the whole page again.
    EXPECT_EQ(std::string(pageHead(kStandAlone)) + render("a@s.whatsapp.net", kStandAlone), whole);
}

// The message database went away between the listing and the selection: each chat says it could
// not be read, and never shows the chat rendered before it.
TEST_F(AndroidRender, ADatabaseGoneAfterTheListingNeverShowsAnotherChat) {
    test::makeAndroidFolder(dir.path(),
                            messageRow("a@s.whatsapp.net", 0, "0", "1600000000000", "hi") +
                                messageRow("b@s.whatsapp.net", 0, "0", "1600000001000", "other"),
                            contactRow("a@s.whatsapp.net", "Anna", nullptr) +
                                contactRow("b@s.whatsapp.net", "B", nullptr) +
                                contactRow("c@s.whatsapp.net", "C", nullptr));
    test::loadAndroidFolder(dir.path());
    EXPECT_NE(render("a@s.whatsapp.net").find("hi"), std::string::npos);
    std::filesystem::remove(dir.path() + "databases/msgstore.db");
    const std::string notice = "<div>This chat could not be read: unable to open database file</div>";
    EXPECT_EQ(render("b@s.whatsapp.net"), notice);
    // Row c has no messages: "No message" follows the notice.
    EXPECT_EQ(render("c@s.whatsapp.net"), notice + "<div>No message</div>");
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "databases/msgstore.db"));
}

}  // namespace
}  // namespace talvio
