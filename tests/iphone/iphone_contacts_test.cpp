// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iphone_test_support.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/database.h"
#include "sources/iphone_statistics.h"
#include "sources/iphone_weixin.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace talvio {
namespace {

class RecordingProgress : public ProgressTarget {
public:
    void onProgress() override { reports.push_back(programState().progressPercent); }
    std::vector<int> reports;
};

class IphoneContacts : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        contactTable().destroy();
    }
    void TearDown() override {
        resetProgramState();
        contactTable().destroy();
    }
    test::TempDir dir;
};

using Row = std::tuple<std::string, std::string, std::string, int, std::string>;

std::vector<Row> tableRows() {
    std::vector<Row> rows;
    for (const ContactEntry& e : contactTable().rows()) {
        rows.emplace_back(e.jid, e.displayName, e.picturePath, e.messageCount, e.lastMessageTime);
    }
    return rows;
}

// The basic fixture holds one case per chat: see tests/data/iphone/basic/chatstorage.sql.
TEST_F(IphoneContacts, RowsOfTheBasicFolder) {
    test::loadIphoneFolder(test::iphoneFixtureData("basic"));
    const std::vector<Row> expected{
        // 14 rows name Ann as sender or receiver: the notice that names her as both counts once,
        // and the row without ZISFROMME counts too (only the page passes it over). 700000900.875
        // is cut to whole seconds.
        {"4915110000001@s.whatsapp.net", "Ann Becker", "Media/Profile/4915110000001-1612345678.jpg", 14,
         "700000900"},
        {"491511000000-1577836800@g.us", "Family 👪", "", 4, "690000030"},
        // Two pictures, one row: the newer picture. No partner name, and no fallback. Whole-second
        // dates are stored as integers and read unchanged.
        {"4915110000002@s.whatsapp.net", "", "Media/Profile/4915110000002-1650000000.jpg", 5, "650000500"},
        // The quote in the jid no longer costs the chat its figures.
        {"o'neil@s.whatsapp.net", "Liam O'Neil", "", 2, "600000001"},
        // Without messages: empty time, below every chat with messages, as is the placeholder.
        {"4915110000004@s.whatsapp.net", "Dora", "", 0, ""},
        {"UnGroupedFriend", "UnGrouped Friend", "", 0, ""},
    };
    EXPECT_EQ(tableRows(), expected);
    // The join without DISTINCT: five chats, one of them with two picture rows.
    EXPECT_EQ(contactTable().capacity(), 7);
}

TEST_F(IphoneContacts, EmptyChatListGivesEmptyTable) {
    test::makeIphoneFolder(
        dir.path(),
        "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGEDATE, ZFROMJID) VALUES (1, 0, 5.5, 'a@x');");
    RecordingProgress progress;
    programState().progressWindow = &progress;
    test::loadIphoneFolder(dir.path());
    EXPECT_FALSE(contactTable().exists());
    EXPECT_EQ(contactTable().count(), 0);
    EXPECT_TRUE(progress.reports.empty());
}

TEST_F(IphoneContacts, ProgressAtTheSpecifiedRows) {
    std::string sql;
    for (int i = 1; i <= 99; ++i) {
        sql += "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID) VALUES (" + std::to_string(i) + ", 'c" +
               std::to_string(i) + "@s.whatsapp.net');\n";
        sql += "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGEDATE, ZFROMJID) VALUES (" +
               std::to_string(i) + ", 0, " + std::to_string(1000 + i) + ".5, 'c" + std::to_string(i) +
               "@s.whatsapp.net');\n";
    }
    test::makeIphoneFolder(dir.path(), sql);
    RecordingProgress progress;
    programState().progressWindow = &progress;
    test::loadIphoneFolder(dir.path());
    ASSERT_EQ(contactTable().count(), 100);
    // Contact rows at count 25 and 75 (of 99 chats), statistics rows 25 and 75 and sort
    // positions 25 and 75 (of 100 rows), in the bands 0-10, 10-30 and 30-50.
    EXPECT_EQ(progress.reports, (std::vector<int>{2, 7, 15, 25, 35, 45}));
    EXPECT_EQ(contactTable().row(0).jid, "c99@s.whatsapp.net");
}

// The one-pass figures must be the per-chat aggregate's, value for value, whatever the rows hold.
class OnePassStatistics : public IphoneContacts {
protected:
    // Loads, then asks the per-chat aggregate for every row of the table and compares.
    void expectPerChatFigures(const std::string& sql, bool bare = false) {
        test::makeIphoneFolder(dir.path(), sql, bare);
        test::loadIphoneFolder(dir.path());
        ASSERT_TRUE(contactTable().exists());
        Database db;
        ASSERT_EQ(db.open(dir.path() + "ChatStorage.sqlite", Database::Access::ReadOnlySnapshot), 0);
        Statement perChat(db, kIphoneStatisticsQuery);
        for (const ContactEntry& entry : contactTable().rows()) {
            ChatStatistics figures;
            ASSERT_TRUE(readChatStatistics(perChat, entry.jid, figures)) << entry.jid;
            EXPECT_EQ(entry.messageCount, figures.messageCount) << entry.jid;
            EXPECT_EQ(entry.lastMessageTime, figures.lastMessageTime) << entry.jid;
        }
        // And the specified query text itself, with the jid spliced in, where it can run.
        for (const ContactEntry& entry : contactTable().rows()) {
            if (entry.jid.find('\'') != std::string::npos)
                continue;
            Statement spliced(db, "SELECT MAX(ZMESSAGEDATE), COUNT(1) FROM ZWAMESSAGE WHERE ZFROMJID='" +
                                      entry.jid + "' OR ZTOJID='" + entry.jid + "';");
            ASSERT_TRUE(spliced.step());
            EXPECT_EQ(entry.messageCount, std::atoi(spliced.text(1))) << entry.jid;
            EXPECT_EQ(entry.lastMessageTime, cutAtFirstDot(spliced.text(0))) << entry.jid;
        }
    }

    // Chats whose jids differ in case, blanks and bytes, and a chat without a jid at all.
    static std::string chats() {
        return "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID) VALUES (1, 'a@s'), (2, 'A@s'), (3, 'a@s '), "
               "(4, NULL), (5, 'it''s@s'), (6, 'mixed@s'), (7, 'idle@s'), (8, 'b@s');\n";
    }
};

TEST_F(OnePassStatistics, SenderReceiverAndCornerValues) {
    expectPerChatFigures(chats() +
                         "INSERT INTO ZWAMESSAGE (Z_PK, ZMESSAGEDATE, ZFROMJID, ZTOJID) VALUES "
                         // a sent and a received message, and one to and from the same jid
                         "(1, 10.5, 'a@s', NULL), (2, 11.25, NULL, 'a@s'), (3, 9.75, 'a@s', 'a@s'),"
                         // one between two chats of the table counts for both
                         "(4, 12.5, 'a@s', 'b@s'),"
                         // case and a trailing blank are other jids
                         "(5, 99.5, 'A@s', NULL), (6, 98.5, 'a@s ', 'A@s'),"
                         // a message of no date counts, but gives no maximum
                         "(7, NULL, 'b@s', NULL),"
                         // the empty jid of a chat without ZCONTACTJID meets empty jids of messages
                         "(8, 3.5, '', NULL),"
                         // the quote that broke the specified query text
                         "(9, 4.5, 'it''s@s', NULL),"
                         // mixed storage classes: an integer beats smaller reals, text beats numbers,
                         // a blob beats text, as SQLite orders them
                         "(10, 1e9, 'mixed@s', NULL), (11, 1000000001, NULL, 'mixed@s'),"
                         "(12, 'abc.def', 'mixed@s', NULL), (13, x'41422E43', 'mixed@s', NULL),"
                         // jids stored as blobs are never equal to a text jid
                         "(14, 500.5, x'614073', NULL);");
    const ContactTable& table = contactTable();
    EXPECT_EQ(table.row(test::rowOfJid("a@s")).messageCount, 4);
    EXPECT_EQ(table.row(test::rowOfJid("a@s")).lastMessageTime, "12");
    EXPECT_EQ(table.row(test::rowOfJid("b@s")).messageCount, 2);
    EXPECT_EQ(table.row(test::rowOfJid("mixed@s")).lastMessageTime, "AB");
    EXPECT_EQ(table.row(test::rowOfJid("idle@s")).lastMessageTime, "");
}

TEST_F(OnePassStatistics, LargeAndIntegralDates) {
    // Reals that SQLite writes with an exponent, negative ones, and ties of 5 and 5.0.
    expectPerChatFigures(chats() +
                         "INSERT INTO ZWAMESSAGE (Z_PK, ZMESSAGEDATE, ZFROMJID, ZTOJID) VALUES "
                         "(1, 1e20, 'a@s', NULL), (2, -3.5, 'b@s', NULL), (3, -7.25, NULL, 'b@s'),"
                         "(4, 5, 'mixed@s', NULL), (5, 5.0, 'mixed@s', NULL), (6, 0.5, 'idle@s', NULL),"
                         "(7, 9007199254740993, 'A@s', NULL), (8, 9007199254740992.0, 'A@s', NULL);");
}

// Columns that compare in other ways than plain text (a collation, a numeric affinity) are read
// per chat, so that the figures still match.
TEST_F(OnePassStatistics, OddColumnDeclarations) {
    const std::string tables =
        "CREATE TABLE ZWACHATSESSION (Z_PK INTEGER PRIMARY KEY, ZCONTACTJID VARCHAR, ZPARTNERNAME VARCHAR);"
        "CREATE TABLE ZWAPROFILEPICTUREITEM (Z_PK INTEGER PRIMARY KEY, ZJID VARCHAR, ZPATH VARCHAR);"
        "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID) VALUES (1, 'a@s'), (2, '123'), (3, 'A@s');";
    expectPerChatFigures(tables +
                             "CREATE TABLE ZWAMESSAGE (Z_PK INTEGER PRIMARY KEY, ZMESSAGEDATE TIMESTAMP, "
                             "ZFROMJID VARCHAR COLLATE NOCASE, ZTOJID VARCHAR);"
                             "INSERT INTO ZWAMESSAGE VALUES (1, 1.5, 'A@S', NULL), (2, 2.5, 'a@s', NULL);",
                         true);
    EXPECT_EQ(contactTable().row(test::rowOfJid("a@s")).messageCount, 2);

    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path());
    contactTable().destroy();
    expectPerChatFigures(tables +
                             "CREATE TABLE ZWAMESSAGE (Z_PK INTEGER PRIMARY KEY, ZMESSAGEDATE TIMESTAMP, "
                             "ZFROMJID INTEGER, ZTOJID INTEGER);"
                             "INSERT INTO ZWAMESSAGE VALUES (1, 1.5, 123, NULL), (2, 2.5, NULL, '123');",
                         true);
    EXPECT_EQ(contactTable().row(test::rowOfJid("123")).messageCount, 2);
}

// Bad input: each case ends as specified, and the folder is left exactly as it was.
class IphoneBadInput : public IphoneContacts {
protected:
    void replaceChatStorage(const std::string& bytes) {
        const std::string path = dir.path() + "ChatStorage.sqlite";
        std::filesystem::remove_all(path);
        test::writeFile(path, bytes);
    }
    // Loads and renders every row; the folder must not change.
    void loadAndRenderAll() {
        const auto before = test::folderSnapshot(dir.path());
        test::loadIphoneFolder(dir.path());
        for (int i = 0; i < contactTable().count(); ++i)
            test::renderIphoneRow(i, kViewer);
        EXPECT_EQ(test::folderSnapshot(dir.path()), before);
    }
};

TEST_F(IphoneBadInput, ForeignFilesWhereTheStoreShouldBe) {
    test::makeIphoneFolder(dir.path(),
                           "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID) VALUES (1, 'a@s');"
                           "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGEDATE, ZFROMJID, ZTEXT) VALUES "
                           "(1, 0, 5.5, 'a@s', 'hi');");
    const std::string good = test::readFile(dir.path() + "ChatStorage.sqlite");
    for (const std::string& bytes : {std::string("not a database at all\n"), std::string(),
                                     good.substr(0, good.size() / 2), good.substr(0, 100)}) {
        replaceChatStorage(bytes);
        loadAndRenderAll();
        EXPECT_LE(contactTable().count(), 2) << bytes.size();
    }
    std::filesystem::remove(dir.path() + "ChatStorage.sqlite");
    std::filesystem::create_directory(dir.path() + "ChatStorage.sqlite");
    loadAndRenderAll();
    EXPECT_FALSE(contactTable().exists());
}

// A contact with several profile pictures is one chat: one row, where its first picture row came,
// with the picture requested last; undated pictures count as oldest.
TEST_F(IphoneBadInput, EachChatOnceWhateverItsPictures) {
    test::makeIphoneFolder(
        dir.path(),
        "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID, ZPARTNERNAME) VALUES (1, 'a@s', 'Ann'), "
        "(2, 'b@s', 'Bo'), (3, 'c@s', 'Cy');"
        "INSERT INTO ZWAPROFILEPICTUREITEM (Z_PK, ZREQUESTDATE, ZJID, ZPATH) VALUES "
        "(1, 300, 'a@s', 'a-new'), (2, 100, 'a@s', 'a-old'), (3, 200, 'b@s', 'b-mid'), "
        "(4, NULL, 'b@s', 'b-undated'), (5, 250, 'b@s', 'b-new'), (6, 10, 'b@s', 'b-old'),"
        "(7, NULL, 'c@s', 'c-1'), (8, NULL, 'c@s', 'c-2');"
        "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGEDATE, ZFROMJID, ZTEXT) VALUES "
        "(1, 0, 5, 'a@s', 'hi'), (2, 0, 6, 'b@s', 'yo'), (3, 0, 7, 'c@s', 'hey');");
    loadAndRenderAll();
    std::vector<std::string> rows;
    for (const ContactEntry& e : contactTable().rows())
        rows.push_back(e.jid + " " + e.picturePath + " " + std::to_string(e.messageCount));
    EXPECT_EQ(rows, (std::vector<std::string>{"c@s c-1.jpg 1", "b@s b-new.jpg 1", "a@s a-new.jpg 1",
                                              "UnGroupedFriend  0"}));
}

TEST_F(IphoneBadInput, MissingStoreIsNeverCreated) {
    setLoadPaths(kSourceIPhone, dir.path(), "");
    CIphoneWeiXin source(chosenPhoneFolder());
    source.LoadContacts(contactTable());
    ChatPageBuffer page;
    renderContact(source, ContactEntry{}, kViewer, page);
    EXPECT_FALSE(contactTable().exists());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(IphoneBadInput, TablesAndColumnsMissing) {
    // No ZWACHATSESSION: an empty table.
    test::makeIphoneFolder(dir.path(), "CREATE TABLE ZWAMESSAGE (Z_PK INTEGER PRIMARY KEY);", true);
    loadAndRenderAll();
    EXPECT_FALSE(contactTable().exists());

    // Chats but a message table without ZTOJID: every row keeps its initial figures.
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path());
    test::makeIphoneFolder(
        dir.path(),
        "CREATE TABLE ZWACHATSESSION (Z_PK INTEGER PRIMARY KEY, ZCONTACTJID VARCHAR, "
        "ZPARTNERNAME VARCHAR);"
        "CREATE TABLE ZWAPROFILEPICTUREITEM (Z_PK INTEGER PRIMARY KEY, ZJID VARCHAR, ZPATH VARCHAR);"
        "CREATE TABLE ZWAMESSAGE (Z_PK INTEGER PRIMARY KEY, ZMESSAGEDATE TIMESTAMP, ZFROMJID VARCHAR);"
        "INSERT INTO ZWACHATSESSION VALUES (1, 'a@s', 'A');"
        "INSERT INTO ZWAMESSAGE VALUES (1, 5.5, 'a@s');",
        true);
    loadAndRenderAll();
    ASSERT_EQ(contactTable().count(), 2);
    EXPECT_EQ(contactTable().row(0).jid, "UnGroupedFriend");
    EXPECT_EQ(contactTable().row(0).lastMessageTime, "0");
    EXPECT_EQ(contactTable().row(1).messageCount, 0);
    EXPECT_EQ(contactTable().row(1).lastMessageTime, "");
}

TEST_F(IphoneBadInput, IllFormedTextAndAWalBesideTheStore) {
    test::makeIphoneFolder(
        dir.path(),
        "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID, ZPARTNERNAME) VALUES "
        "(1, 'a@s', CAST(x'416EFF6E' AS TEXT));"
        "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGEDATE, ZFROMJID, ZPUSHNAME, ZTEXT) VALUES "
        "(1, 0, 5.5, 'a@s', CAST(x'C0AF' AS TEXT), CAST(x'61E282' AS TEXT));");
    // A phone copy often carries its -wal and -shm; they must stay as they are.
    test::writeFile(dir.path() + "ChatStorage.sqlite-wal", std::string(4096, 'w'));
    test::writeFile(dir.path() + "ChatStorage.sqlite-shm", std::string(32768, 's'));
    loadAndRenderAll();
    ASSERT_EQ(contactTable().count(), 2);
    EXPECT_EQ(contactTable().row(0).displayName, "An\uFFFDn");
    const std::string page = test::renderIphoneRow(0, kViewer);
    EXPECT_NE(page.find("<SPAN class=\"SenderNameMe\">\uFFFD\uFFFD </span>"), std::string::npos);
    EXPECT_NE(page.find("&nbsp;a\uFFFD</span>"), std::string::npos);
}

TEST_F(IphoneBadInput, MessagesStillInTheLogAreShownWithoutTouchingTheFolder) {
    test::makeIphoneFolder(
        dir.path(),
        "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID, ZPARTNERNAME) VALUES (1, 'a@s', 'Ann');"
        "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGEDATE, ZFROMJID, ZTEXT) VALUES "
        "(1, 0, 100.5, 'a@s', 'in the database');");
    // WhatsApp was still running when the folder was copied: the newest message is only in the log.
    Database writer;
    ASSERT_EQ(writer.open(dir.path() + "ChatStorage.sqlite", Database::Access::ReadWriteExisting), 0);
    ASSERT_EQ(writer.exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                          "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGEDATE, ZTOJID, ZTEXT) VALUES "
                          "(2, 1, 200.25, 'a@s', 'only in the log');"),
              0);
    ASSERT_GT(std::filesystem::file_size(dir.path() + "ChatStorage.sqlite-wal"), 0u);
    const auto before = test::folderSnapshot(dir.path());

    test::loadIphoneFolder(dir.path());
    ASSERT_EQ(contactTable().count(), 2);
    EXPECT_EQ(contactTable().row(0).messageCount, 2);
    EXPECT_EQ(contactTable().row(0).lastMessageTime, "200");
    EXPECT_NE(test::renderIphoneRow(0, kViewer).find("only in the log"), std::string::npos);
    EXPECT_EQ(test::folderSnapshot(dir.path()), before);
}

}  // namespace
}  // namespace talvio
