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

namespace talvio {
namespace {

using test::contactRow;
using test::messageRow;

// jid rows: 1 Anna, 2 Paul's phone jid, 3 Paul's "@lid", 4 a group, 5 a member known only by "@lid",
// 6 that member's phone jid.
const std::string kJids =
    "INSERT INTO jid(_id, user, server, type, raw_string) VALUES"
    "(1, '491', 's.whatsapp.net', 0, '491@s.whatsapp.net'),"
    "(2, '492', 's.whatsapp.net', 0, '492@s.whatsapp.net'),"
    "(3, '8800', 'lid', 0, '8800@lid'),"
    "(4, '120363', 'g.us', 1, '120363@g.us'),"
    "(5, '8801', 'lid', 0, '8801@lid'),"
    "(6, '4917', 's.whatsapp.net', 0, '4917@s.whatsapp.net');"
    "INSERT INTO jid_map(lid_row_id, jid_row_id) VALUES (3, 2), (5, 6);"
    "INSERT INTO chat(_id, jid_row_id, subject) VALUES (10, 1, NULL), (11, 2, NULL), (12, 3, NULL), "
    "(13, 4, 'Family <3>');";

std::string message(int chat, int fromMe, int type, long long time, const char* text,
                    const char* sender = "NULL") {
    static int key = 0;
    return "INSERT INTO message(chat_row_id, from_me, key_id, sender_jid_row_id, timestamp, message_type, "
           "text_data) "
           "VALUES(" +
           std::to_string(chat) + ", " + std::to_string(fromMe) + ", 'M" + std::to_string(++key) + "', " +
           sender + ", " + std::to_string(time) + ", " + std::to_string(type) + ", " + test::sqlValue(text) +
           ");";
}

class AndroidModern : public test::SourceTest {
protected:
    const ContactEntry* find(const std::string& jid) {
        for (const ContactEntry& e : contactTable().rows()) {
            if (e.jid == jid)
                return &e;
        }
        return nullptr;
    }
    std::string render(const std::string& jid) {
        for (int i = 0; i < contactTable().count(); ++i) {
            if (contactTable().row(i).jid != jid)
                continue;
            return test::renderAndroidRow(i, kViewer).substr(pageHead(kViewer).size());
        }
        return "no row " + jid;
    }
};

TEST_F(AndroidModern, ChatsNamesFiguresAndLidMapping) {
    test::makeModernAndroidFolder(
        dir.path(),
        kJids + message(10, 0, 0, 1600000000000, "hi Anna") + message(10, 1, 1, 1600000001000, nullptr) +
            message(11, 0, 0, 1600000002000, "phone chat") + message(12, 0, 0, 1600000005000, "lid chat") +
            message(13, 0, 0, 1600000003000, "<b>hello</b>", "5") +
            message(13, 1, 2, 1600000004000, nullptr) + message(13, 0, 7, 1600000004500, nullptr, "1"),
        contactRow("491@s.whatsapp.net", "Anna", nullptr) +
            contactRow("492@s.whatsapp.net", nullptr, "Paul") +
            contactRow("499@s.whatsapp.net", "No chat", nullptr));
    test::loadAndroidFolder(dir.path());
    ASSERT_EQ(contactTable().count(), 5);  // placeholder, three wa.db rows, the group
    // The "@lid" chat is Paul's: one row with both chats' messages, newest first.
    EXPECT_EQ(contactTable().row(0).jid, "492@s.whatsapp.net");
    EXPECT_EQ(contactTable().row(0).displayName, "Paul");
    EXPECT_EQ(contactTable().row(0).messageCount, 2);
    EXPECT_EQ(contactTable().row(0).lastMessageTime, "1600000005000");
    EXPECT_EQ(find("8800@lid"), nullptr);
    ASSERT_NE(find("120363@g.us"), nullptr);
    EXPECT_EQ(find("120363@g.us")->displayName, "Family <3>");
    EXPECT_EQ(find("120363@g.us")->messageCount, 3);
    EXPECT_EQ(find("491@s.whatsapp.net")->messageCount, 2);
    EXPECT_EQ(find("499@s.whatsapp.net")->messageCount, 0);
    EXPECT_EQ(find("499@s.whatsapp.net")->lastMessageTime, "");

    const std::string nb = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
    const auto line = [](const std::string& who, const std::string& when) {
        return "<div class=\"content\"><SPAN class=\"SenderNameMe\">" + who +
               " </span> <span class=\"MsgTime\">" + when + "</span><br/></div>";
    };
    const auto text = [&](const std::string& t) {
        return "<div class=\"content\"><SPAN class=\"MsgHistory\">" + nb + t + "</span></div>";
    };
    // The member known by "@lid" is named by the phone number jid_map gives.
    EXPECT_EQ(
        render("120363@g.us"),
        line("4917", "2020-09-13 12:26:43") + text("&lt;b&gt;hello&lt;/b&gt;") +
            line("Me", "2020-09-13 12:26:44") + "<div class=\"content\"><SPAN class=\"MsgHistory\">" + nb +
            "[Audio]</SPAN></div>" + line("491", "2020-09-13 12:26:44") +
            // A system row without a message_system row is still an event of the chat.
            "<div class=\"content\" style=\"text-align:center\"><SPAN class=\"MsgTime\">An event of this "
            "chat</SPAN></div>");
    EXPECT_EQ(render("492@s.whatsapp.net"), line("Paul", "2020-09-13 12:26:42") + text("phone chat") +
                                                line("Paul", "2020-09-13 12:26:45") + text("lid chat"));
}

TEST_F(AndroidModern, EmptyWaDbStillListsEveryChat) {
    test::makeModernAndroidFolder(dir.path(), kJids + message(13, 0, 0, 1600000003000, "x", "1"), "");
    test::loadAndroidFolder(dir.path());
    ASSERT_EQ(contactTable().count(), 4);  // placeholder and the chats of 491, 492 (with its lid), the group
    EXPECT_EQ(contactTable().row(0).jid, "120363@g.us");
    EXPECT_EQ(contactTable().row(0).displayName, "Family <3>");
    ASSERT_NE(find("491@s.whatsapp.net"), nullptr);
    EXPECT_EQ(find("491@s.whatsapp.net")->displayName, "491");
}

TEST_F(AndroidModern, MixedDatabasesUseTheTableThatHoldsTheMessages) {
    // Data in the legacy table and one stray row in the new one: the legacy table is read.
    test::makeModernAndroidFolder(dir.path(),
                                  kJids + message(10, 0, 0, 1600000000000, "new") +
                                      messageRow("491@s.whatsapp.net", 0, "0", "1500000000000", "old 1") +
                                      messageRow("491@s.whatsapp.net", 0, "0", "1500000001000", "old 2"),
                                  contactRow("491@s.whatsapp.net", "Anna", nullptr), true);
    test::loadAndroidFolder(dir.path());
    EXPECT_EQ(find("491@s.whatsapp.net")->messageCount, 2);
    EXPECT_NE(render("491@s.whatsapp.net").find("old 2"), std::string::npos);

    // A legacy table holding only the opening system row, beside a filled new one: the new one is
    // read. Status posts get no row of their own.
    test::TempDir other;
    test::makeModernAndroidFolder(other.path(),
                                  kJids + message(10, 0, 0, 1600000000000, "new") +
                                      messageRow("-1", 0, "0", "1400000000000", nullptr) +
                                      "INSERT INTO jid(_id, user, server, raw_string) VALUES"
                                      "(9, 'status', 'broadcast', 'status@broadcast');"
                                      "INSERT INTO chat(_id, jid_row_id) VALUES (19, 9);" +
                                      message(19, 0, 0, 1600000000000, "a status post"),
                                  contactRow("491@s.whatsapp.net", "Anna", nullptr), true);
    test::loadAndroidFolder(other.path());
    EXPECT_EQ(find("491@s.whatsapp.net")->messageCount, 1);
    EXPECT_EQ(find("status@broadcast"), nullptr);
    EXPECT_NE(render("491@s.whatsapp.net").find("new"), std::string::npos);
}

TEST_F(AndroidModern, DatabasesWithoutJidMap) {
    test::makeModernAndroidFolder(dir.path(),
                                  "DROP TABLE jid_map;" + kJids.substr(0, kJids.find("INSERT INTO jid_map")) +
                                      "INSERT INTO chat(_id, jid_row_id) VALUES (12, 3);" +
                                      message(12, 0, 0, 1600000005000, "lid chat"),
                                  "");
    test::loadAndroidFolder(dir.path());
    ASSERT_NE(find("8800@lid"), nullptr);
    EXPECT_EQ(find("8800@lid")->messageCount, 1);
    EXPECT_NE(render("8800@lid").find("lid chat"), std::string::npos);
}

}  // namespace
}  // namespace talvio
