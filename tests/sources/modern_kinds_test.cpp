// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "android_sql.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/database.h"
#include "sources/modern_chat_extras.h"
#include "sources/modern_message_page.h"
#include "tests/support/android_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace talvio {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// jid 1 Anna, 2 Ben, 3 a group, 4 Ben's new number, 5 an "@lid" member that jid_map gives as 6.
const std::string kChats =
    "INSERT INTO jid(_id, user, server, type, raw_string) VALUES"
    "(1, '491', 's.whatsapp.net', 0, '491@s.whatsapp.net'),"
    "(2, '492', 's.whatsapp.net', 0, '492@s.whatsapp.net'),"
    "(3, '1203', 'g.us', 1, '1203@g.us'),"
    "(4, '493', 's.whatsapp.net', 0, '493@s.whatsapp.net'),"
    "(5, '8801', 'lid', 0, '8801@lid'),"
    "(6, '4917', 's.whatsapp.net', 0, '4917@s.whatsapp.net');"
    "INSERT INTO jid_map(lid_row_id, jid_row_id) VALUES (5, 6);"
    "INSERT INTO chat(_id, jid_row_id, subject) VALUES (10, 1, NULL), (11, 3, 'Group');";

// A message row with its _id; sender is a jid row or 0.
std::string row(int id, int chat, int fromMe, int type, const char* text, int sender = 0, int flags = 0) {
    return "INSERT INTO message(_id, chat_row_id, from_me, key_id, sender_jid_row_id, timestamp, "
           "message_type, "
           "text_data, origination_flags) VALUES(" +
           std::to_string(id) + ", " + std::to_string(chat) + ", " + std::to_string(fromMe) + ", 'K" +
           std::to_string(id) + "', " + std::to_string(sender) + ", " +
           std::to_string(1600000000000 + id * 1000) + ", " + std::to_string(type) + ", " +
           test::sqlValue(text) + ", " + std::to_string(flags) + ");";
}

class ModernKinds : public test::SourceTest {
protected:
    // The page body of the chat shown as jid, after the head.
    std::string render(const std::string& sql, const std::string& jid) {
        test::makeModernAndroidFolder(dir.path(), kChats + sql, "");
        test::loadAndroidFolder(dir.path());
        for (int i = 0; i < contactTable().count(); ++i) {
            if (contactTable().row(i).jid == jid) {
                unsupported = contactTable().row(i).unsupportedMessages;
                return test::renderAndroidRow(i, kViewer).substr(pageHead(kViewer).size());
            }
        }
        return "no row " + jid;
    }
    static std::string event(const std::string& words) {
        return "<div class=\"content\" style=\"text-align:center\"><SPAN class=\"MsgTime\">" + words +
               "</SPAN></div>";
    }
    int unsupported = -1;
};

TEST_F(ModernKinds, GroupEventsReadAsWordsWithTheirSideTables) {
    const std::string page =
        render(row(1, 11, 1, 7, "Trip <2025>") + row(2, 11, 0, 7, nullptr, 1) + row(3, 11, 0, 7, nullptr, 2) +
                   row(4, 11, 1, 7, nullptr) + row(5, 11, 0, 7, nullptr, 1) + row(6, 11, 0, 7, nullptr, 5) +
                   row(7, 11, 0, 7, nullptr, 1) + row(8, 11, 0, 7, nullptr, 2) +
                   "INSERT INTO message_system(message_row_id, action_type) VALUES (1, 11), (2, 12), (3, "
                   "28), (4, 56), "
                   "(5, 56), (6, 5), (7, 1), (8, 9999);"
                   "INSERT INTO message_system_chat_participant VALUES (2, 2), (2, 5);"
                   "INSERT INTO message_system_number_change VALUES (3, 2, 4);"
                   "INSERT INTO message_ephemeral_setting(message_row_id, setting_duration) VALUES (4, "
                   "86400), (5, 0);",
               "1203@g.us");
    // The subject is escaped; members named by number, an "@lid" one by the phone jid it maps to.
    EXPECT_THAT(page, HasSubstr(event("You created group \xE2\x80\x9CTrip &lt;2025&gt;\xE2\x80\x9D")));
    EXPECT_THAT(page, HasSubstr(event("491 added 492 and 4917")));
    EXPECT_THAT(page, HasSubstr(event("492 changed their phone number to 493")));
    EXPECT_THAT(page, HasSubstr(event("You turned on disappearing messages. New messages will disappear from "
                                      "this chat 1 day after they're sent.")));
    EXPECT_THAT(page, HasSubstr(event("491 turned off disappearing messages.")));
    EXPECT_THAT(page, HasSubstr(event("4917 left")));
    // A subject change without the new subject still says what happened; an unknown code is
    // still a line.
    EXPECT_THAT(page, HasSubstr(event("491 changed the group name")));
    EXPECT_THAT(page, HasSubstr(event("An event of this chat (code 9999)")));
    EXPECT_EQ(unsupported, 0);
}

TEST_F(ModernKinds, CallsDeletionsEditsViewOnceAndUnknownKinds) {
    const std::string page =
        render(row(1, 10, 1, 8, nullptr) + row(2, 10, 0, 10, nullptr) + row(3, 10, 0, 90, nullptr) +
                   row(4, 10, 1, 15, nullptr) + row(5, 10, 0, 15, nullptr) + row(6, 10, 0, 64, nullptr) +
                   row(7, 10, 0, 0, "typo fixed") + row(8, 10, 0, 1, nullptr) + row(9, 10, 0, 123, nullptr) +
                   row(10, 10, 0, 124, "some text") + row(11, 10, 0, 0, "from the future") +
                   "INSERT INTO call_log(_id, jid_row_id, from_me, call_id, video_call, duration, "
                   "call_result) VALUES "
                   "(1, 1, 1, 'X', 0, 3725, 5), (2, 1, 0, 'K2', 1, 0, 2), (3, 1, 0, 'Y', 0, 59, 5);"
                   "INSERT INTO message_call_log VALUES (1, 1), (2, 2), (3, 3);"
                   "INSERT INTO message_revoked(message_row_id, revoked_key_id, admin_jid_row_id) VALUES "
                   "(4, 'K4', NULL), (5, 'K5', NULL);"
                   "INSERT INTO message_edit_info VALUES (7, 'K7', 1, 1);"
                   "INSERT INTO message_view_once_media VALUES (8, 1);"
                   "INSERT INTO message_future(message_row_id, version) VALUES (11, 9);",
               "491@s.whatsapp.net");
    EXPECT_THAT(page, HasSubstr(">\xF0\x9F\x93\x9E Voice call, outgoing, 1:02:05<"));
    EXPECT_THAT(page, HasSubstr(">\xF0\x9F\x93\x9E Missed video call<"));
    EXPECT_THAT(page, HasSubstr(">\xF0\x9F\x93\x9E Voice call, incoming, 0:59<"));
    EXPECT_THAT(page, HasSubstr("You deleted this message"));
    EXPECT_THAT(page, HasSubstr("This message was deleted<"));
    EXPECT_THAT(page, HasSubstr("This message was deleted by an admin"));
    EXPECT_THAT(page,
                HasSubstr("typo fixed</span></div><div class=\"content\"><SPAN class=\"MsgHistory\" "
                          "style=\"color:#939393;font-style:italic\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                          "edited</SPAN>"));
    EXPECT_THAT(page, HasSubstr("View-once photo"));
    EXPECT_THAT(page, Not(HasSubstr("[Image]")));
    EXPECT_THAT(page, HasSubstr("unsupported message (kind 123)"));
    // An unknown kind's text is not lost.
    EXPECT_THAT(page, HasSubstr("unsupported message (kind 124)</SPAN></div><div class=\"content\"><SPAN "
                                "class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;some text"));
    EXPECT_THAT(page, HasSubstr("unsupported message (kind 0)"));
    EXPECT_THAT(page, Not(HasSubstr("from the future")));
    EXPECT_EQ(unsupported, 2);
}

TEST_F(ModernKinds, CallsOfPhonesWithoutMessageCallLogAreFoundByTheCallId) {
    const std::string page =
        render(row(1, 10, 0, 10, nullptr) + row(2, 10, 1, 8, nullptr) +
                   "INSERT INTO call_log(jid_row_id, from_me, call_id, video_call, duration) "
                   "VALUES (1, 0, 'K1', 1, 0), (1, 0, 'K2', 0, 99), (1, 1, 'K2', 0, 61);"
                   "DROP TABLE message_call_log;",
               "491@s.whatsapp.net");
    EXPECT_THAT(page, HasSubstr(">\xF0\x9F\x93\x9E Missed video call<"));
    // The same id from the other side is another call.
    EXPECT_THAT(page, HasSubstr(">\xF0\x9F\x93\x9E Voice call, outgoing, 1:01<"));
}

TEST_F(ModernKinds, RepliesQuoteAndLinkOnlyToMessagesOnThePage) {
    const std::string longText = std::string(118, 'a') + "\xC3\xA4\xC3\xB6 tail";
    const std::string page = render(
        row(1, 10, 0, 0, longText.c_str()) + row(2, 10, 1, 0, "yes") + row(3, 10, 1, 0, "and this") +
            row(4, 10, 0, 0, "forwarded", 0, 1) +
            "INSERT INTO message_quoted(message_row_id, chat_row_id, parent_message_chat_row_id, from_me, "
            "sender_jid_row_id, key_id, message_type, text_data) VALUES "
            "(2, 10, 10, 0, 0, 'K1', 0, " +
            test::sqlValue(longText.c_str()) + "), (3, 10, 11, 0, 1, 'GONE', 1, NULL);",
        "491@s.whatsapp.net");
    // The quoted message carries the anchor the quote links to; a quote of a message that is not
    // on the page names its kind and links nowhere.
    EXPECT_THAT(page, HasSubstr("<br/></div><a id=\"m1\"></a><div class=\"content\">"));
    EXPECT_THAT(page, HasSubstr("<a href=\"#m1\""));
    EXPECT_EQ(page.find("href=\"#m3\""), std::string::npos);
    EXPECT_THAT(page,
                HasSubstr("<SPAN class=\"SenderNameMe\">491</SPAN><br/><SPAN class=\"MsgHistory\">Photo<"));
    // The start of a long text is cut between characters, never inside one.
    EXPECT_THAT(page, HasSubstr(std::string(118, 'a') + "\xC3\xA4\xE2\x80\xA6</SPAN>"));
    EXPECT_THAT(page,
                HasSubstr("italic\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;Forwarded</SPAN></div><div "
                          "class=\"content\"><SPAN class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                          "forwarded<"));
}

TEST_F(ModernKinds, ReactionsShowEachEmojiOnceWithWhoOnHover) {
    const std::string page =
        render(row(1, 11, 0, 0, "party?", 1) +
                   "INSERT INTO message_add_on(_id, chat_row_id, from_me, sender_jid_row_id, key_id, "
                   "parent_message_row_id, message_add_on_type) VALUES (1, 11, 0, 2, 'A1', 1, 56), "
                   "(2, 11, 1, 0, 'A2', 1, 56), (3, 11, 0, 5, 'A3', 1, 56), (4, 11, 0, 6, 'A4', 1, 56);"
                   "INSERT INTO message_add_on_reaction(message_add_on_row_id, reaction) VALUES "
                   "(1, '\xE2\x9D\xA4\xEF\xB8\x8F'), (2, '\xE2\x9D\xA4\xEF\xB8\x8F'), (3, '<x>'), (4, '');",
               "1203@g.us");
    EXPECT_THAT(page, HasSubstr("title=\"492, Me\">\xE2\x9D\xA4\xEF\xB8\x8F 2</span>"));
    // Text from the database is escaped; a withdrawn reaction (empty) is no reaction.
    EXPECT_THAT(page, HasSubstr("title=\"4917\">&lt;x&gt; 1</span></SPAN></div>"));
}

TEST_F(ModernKinds, PlacesContactCardsAndPolls) {
    const std::string page = render(
        row(1, 10, 0, 5, nullptr) + row(2, 10, 1, 16, nullptr) + row(3, 10, 0, 5, nullptr) +
            row(4, 10, 0, 4, "Only <Name>") + row(5, 10, 0, 14, nullptr) +
            row(6, 10, 1, 66, "Lunch & <where>?") + row(7, 10, 0, 5, nullptr) +
            "INSERT INTO message_location(message_row_id, chat_row_id, latitude, longitude, place_name, "
            "place_address, live_location_share_duration, live_location_final_latitude, "
            "live_location_final_longitude) VALUES "
            "(1, 10, -33.8567844, 151.213108, 'Opera <House>', 'Sydney', NULL, NULL, NULL), "
            "(2, 10, 1, 2, NULL, NULL, 600, 52.52, 13.405), (3, 10, 91, 0, NULL, NULL, NULL, NULL, NULL), "
            "(7, 10, 1e308, -1e308, NULL, NULL, NULL, NULL, NULL);"
            "INSERT INTO message_vcard(message_row_id, vcard) VALUES (5, 'BEGIN:VCARD\nVERSION:3.0\nFN:Eva "
            "<E>\nTEL:+1 555 0100\nEND:VCARD'), (5, 'BEGIN:VCARD\nVERSION:3.0\nFN:Tom\nTEL:+1 555 "
            "0101\nTEL:+1 555 0102\nEND:VCARD');"
            "INSERT INTO message_poll(message_row_id) VALUES (6);"
            "INSERT INTO message_poll_option(message_row_id, option_name, vote_total) VALUES (6, 'Pizza', "
            "1), "
            "(6, '<Sushi>', 3);",
        "491@s.whatsapp.net");
    EXPECT_THAT(page,
                HasSubstr("Location: Opera &lt;House&gt;, Sydney</SPAN><br/>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                          "&nbsp;<a href=\"https://www.openstreetmap.org/?mlat=-33.856784&amp;mlon=151.213108"
                          "#map=16/-33.856784/151.213108\" rel=\"noopener\">-33.856784, "
                          "151.213108</a>"));
    // A live location that ended shows where it ended; no map link for a place off the earth.
    EXPECT_THAT(page, HasSubstr("<b>Live location</b></SPAN><br/>"));
    EXPECT_THAT(page, HasSubstr("?mlat=52.520000&amp;mlon=13.405000"));
    EXPECT_THAT(page, HasSubstr("&nbsp;91.000000, 0.000000</div>"));
    EXPECT_THAT(page, HasSubstr("&nbsp;1e+308, -1e+308</div>"));
    // A card without a vCard keeps the name; several cards in one message show each.
    EXPECT_THAT(page, HasSubstr("\xF0\x9F\x91\xA4 Only &lt;Name&gt;</SPAN>"));
    EXPECT_THAT(page, HasSubstr("\xF0\x9F\x91\xA4 Eva &lt;E&gt;: +1 555 0100</SPAN>"));
    EXPECT_THAT(page, HasSubstr("\xF0\x9F\x91\xA4 Tom: +1 555 0101, +1 555 0102</SPAN>"));
    EXPECT_THAT(page, HasSubstr("<b>Poll:</b> Lunch & &lt;where&gt;?</SPAN>"));
    EXPECT_THAT(page, HasSubstr("Pizza \xE2\x80\x94 1 vote</SPAN>"));
    EXPECT_THAT(page, HasSubstr("&lt;Sushi&gt; \xE2\x80\x94 3 votes</SPAN>"));

    Database db;
    ASSERT_EQ(db.open(dir.path() + "databases/msgstore.db", Database::Access::ReadOnlySnapshot), 0);
    const ModernChatExtras extras(db, {10});
    std::string words;
    extras.appendSearchText(words, 5);
    EXPECT_EQ(words, "Eva <E>\n+1 555 0100\nTom\n+1 555 0101\n+1 555 0102");
    words.clear();
    extras.appendSearchText(words, 1);
    EXPECT_EQ(words, "Opera <House>\nSydney");
}

TEST_F(ModernKinds, MissingCompanionTablesAreNoData) {
    std::string drop;
    for (const char* table :
         {"message_system", "message_system_chat_participant", "message_quoted", "message_add_on",
          "message_add_on_reaction", "message_revoked", "message_edit_info", "message_location",
          "message_vcard", "message_poll", "message_poll_option", "call_log", "message_call_log",
          "message_future", "message_view_once_media", "message_ephemeral_setting"})
        drop += std::string("DROP TABLE ") + table + ";";
    const std::string page = render(row(1, 10, 0, 7, nullptr) + row(2, 10, 0, 8, nullptr) +
                                        row(3, 10, 0, 5, nullptr) + row(4, 10, 0, 0, "still here") + drop,
                                    "491@s.whatsapp.net");
    EXPECT_THAT(page, HasSubstr(event("An event of this chat")));
    EXPECT_THAT(page, HasSubstr(event("\xF0\x9F\x93\x9E Voice call, incoming")));
    EXPECT_THAT(page, HasSubstr("Location (no place kept)"));
    EXPECT_THAT(page, HasSubstr("still here"));
    EXPECT_THAT(page, Not(HasSubstr("could not be read")));
}

TEST(ModernKindWords, DurationsAndMapAddresses) {
    EXPECT_EQ(durationWords(7776000), "90 days");
    EXPECT_EQ(durationWords(3600), "1 hour");
    EXPECT_EQ(durationWords(90), "90 seconds");
    EXPECT_EQ(mapAddress(0, -180),
              "https://www.openstreetmap.org/?mlat=0.000000&mlon=-180.000000#map=16/0.000000/"
              "-180.000000");
    EXPECT_EQ(mapAddress(0, 180.5), "");
    EXPECT_EQ(mapAddress(1e308, 0), "");
}

}  // namespace
}  // namespace talvio
