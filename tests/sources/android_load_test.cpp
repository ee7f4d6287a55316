// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "android_sql.h"
#include "sources/android_weixin.h"
#include "sources/contact_table.h"
#include "sources/database.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "tests/support/android_folder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace talvio {
namespace {

using test::contactRow;
using test::messageRow;

class RecordingProgress : public ProgressTarget {
public:
    void onProgress() override { reports.push_back(programState().progressPercent); }
    std::vector<int> reports;
};

class AndroidLoad : public test::SourceTest {
protected:
    const ContactEntry* find(const std::string& jid) {
        for (const ContactEntry& e : contactTable().rows()) {
            if (e.jid == jid)
                return &e;
        }
        return nullptr;
    }
};

TEST_F(AndroidLoad, NamesCountsTimesAndOrder) {
    test::makeAndroidFolder(dir.path(),
                            messageRow("a@s.whatsapp.net", 0, "0", "1496226000123", "hi") +
                                messageRow("a@s.whatsapp.net", 1, "0", "1496226999000", "yo") +
                                messageRow("b@s.whatsapp.net", 0, "1", "1500000000000", nullptr) +
                                messageRow("-1", 0, "0", "1", nullptr),
                            contactRow("a@s.whatsapp.net", "", "Anna") +
                                contactRow("b@s.whatsapp.net", "Bert", "B") +
                                contactRow("c@s.whatsapp.net", nullptr, nullptr));
    test::loadAndroidFolder(dir.path());
    const ContactTable& table = contactTable();
    ASSERT_EQ(table.count(), 4);
    EXPECT_EQ(table.capacity(), 4);
    EXPECT_EQ(table.row(0).jid, "b@s.whatsapp.net");
    EXPECT_EQ(table.row(0).displayName, "Bert");
    EXPECT_EQ(table.row(1).jid, "a@s.whatsapp.net");
    EXPECT_EQ(table.row(1).displayName, "Anna");
    EXPECT_EQ(table.row(1).messageCount, 2);
    EXPECT_EQ(table.row(1).lastMessageTime, "1496226999000");
    EXPECT_EQ(table.row(1).picturePath, "cache/Profile Pictures/a.jpg");
    // Rows without messages, the placeholder among them, end at the bottom.
    const ContactEntry* placeholder = find("UnGroupedFriend");
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(placeholder->displayName, "UnGrouped Friend");
    EXPECT_EQ(placeholder->messageCount, 0);
    EXPECT_EQ(placeholder->lastMessageTime, "");
    EXPECT_EQ(placeholder->picturePath, "");
    const ContactEntry* c = find("c@s.whatsapp.net");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->displayName, "c");
    EXPECT_EQ(c->messageCount, 0);
    EXPECT_EQ(c->lastMessageTime, "");
}

TEST_F(AndroidLoad, JidsWithQuotesAndHugeJidsGetTheirFigures) {
    const std::string longJid = std::string(1500, '7') + "@s.whatsapp.net";
    test::makeAndroidFolder(
        dir.path(),
        messageRow("4915'2@s.whatsapp.net", 0, "0", "1600000000000", "quoted") +
            messageRow(longJid.c_str(), 0, "0", "1500000000000", "long"),
        contactRow("4915'2@s.whatsapp.net", "Quote", nullptr) + contactRow(longJid.c_str(), "Long", nullptr));
    test::loadAndroidFolder(dir.path());
    ASSERT_NE(find("4915'2@s.whatsapp.net"), nullptr);
    EXPECT_EQ(find("4915'2@s.whatsapp.net")->messageCount, 1);
    ASSERT_NE(find(longJid), nullptr);
    EXPECT_EQ(find(longJid)->messageCount, 1);
}

TEST_F(AndroidLoad, DuplicateContactRowsBothGetFigures) {
    test::makeAndroidFolder(
        dir.path(), messageRow("a@s.whatsapp.net", 0, "0", "1600000000000", "x"),
        contactRow("a@s.whatsapp.net", "Home", nullptr) + contactRow("a@s.whatsapp.net", "Work", nullptr));
    test::loadAndroidFolder(dir.path());
    ASSERT_EQ(contactTable().count(), 3);
    EXPECT_EQ(contactTable().row(0).messageCount, 1);
    EXPECT_EQ(contactTable().row(1).messageCount, 1);
}

TEST_F(AndroidLoad, OnePassFiguresEqualThePerJidAggregate) {
    // Times of every storage class, NULL times, keys that are not text, and a key that only differs
    // from a jid in case: each row must get exactly what the per-jid aggregate gives.
    test::makeAndroidFolder(
        dir.path(),
        messageRow("int@s", 0, "0", "1500000000000", "a") +
            messageRow("int@s", 0, "0", "1600000000000", "b") +
            messageRow("int@s", 0, "0", nullptr, "null time") + messageRow("null@s", 0, "0", nullptr, "x") +
            messageRow("real@s", 0, "0", "1500000000000.5", "x") +
            messageRow("real@s", 0, "0", "1400000000000", "y") +
            messageRow("text@s", 0, "0", "'later'", "x") +
            messageRow("text@s", 0, "0", "1700000000000", "y") + messageRow("INT@s", 0, "0", "1", "case") +
            "INSERT INTO messages(key_remote_jid, key_id, timestamp) VALUES(CAST('int@s' AS BLOB), 'b1', "
            "1800000000000);"
            "INSERT INTO messages(key_remote_jid, key_id, timestamp) VALUES('blobtime@s', 'b2', X'0102');",
        contactRow("int@s", "I", nullptr) + contactRow("null@s", "N", nullptr) +
            contactRow("real@s", "R", nullptr) + contactRow("text@s", "T", nullptr) +
            contactRow("blobtime@s", "B", nullptr) + contactRow("none@s", "Z", nullptr));
    test::loadAndroidFolder(dir.path());
    Database db;
    ASSERT_EQ(db.open(dir.path() + "databases/msgstore.db", Database::Access::ReadOnlySnapshot), 0);
    Statement perJid(db, "SELECT MAX(timestamp), COUNT(1) FROM messages WHERE key_remote_jid=?;");
    for (const ContactEntry& e : contactTable().rows()) {
        perJid.reset();
        perJid.bind(1, e.jid);
        ASSERT_TRUE(perJid.step());
        EXPECT_EQ(e.lastMessageTime, perJid.text(0) != nullptr ? perJid.text(0) : "") << e.jid;
        EXPECT_EQ(e.messageCount, perJid.int64(1)) << e.jid;
    }
    EXPECT_EQ(find("int@s")->messageCount, 3);
    EXPECT_EQ(find("int@s")->lastMessageTime, "1600000000000");
    EXPECT_EQ(find("text@s")->lastMessageTime, "later");
}

TEST_F(AndroidLoad, ProgressAtTheSpecifiedRows) {
    std::string contacts;
    for (int i = 1; i < 100; ++i)
        contacts += contactRow(("p" + std::to_string(i) + "@s.whatsapp.net").c_str(), "n", nullptr);
    test::makeAndroidFolder(dir.path(), "", contacts);
    RecordingProgress progress;
    programState().progressWindow = &progress;
    test::loadAndroidFolder(dir.path());
    ASSERT_EQ(contactTable().count(), 100);
    // 99 refreshes at 0 while the contacts arrive, then statistics and sort bands.
    std::vector<int> expected(99, 0);
    for (int p : {15, 25, 35, 45})
        expected.push_back(p);
    EXPECT_EQ(progress.reports, expected);
}

TEST_F(AndroidLoad, EmptyOrMissingContactsGiveAnEmptyTable) {
    test::makeAndroidFolder(dir.path(), messageRow("a@s.whatsapp.net", 0, "0", "1", "x"), "");
    test::loadAndroidFolder(dir.path());
    EXPECT_FALSE(contactTable().exists());

    std::filesystem::remove(dir.path() + "databases/wa.db");
    test::loadAndroidFolder(dir.path());
    EXPECT_FALSE(contactTable().exists());
    // Reading never creates the missing database.
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "databases/wa.db"));
}

TEST_F(AndroidLoad, MissingMessagesKeepsInitialFigures) {
    test::makeAndroidFolder(dir.path(), "", contactRow("a@s.whatsapp.net", "Anna", nullptr));
    std::filesystem::remove(dir.path() + "databases/msgstore.db");
    test::loadAndroidFolder(dir.path());
    ASSERT_EQ(contactTable().count(), 2);
    EXPECT_EQ(find("UnGroupedFriend")->lastMessageTime, "0");
    EXPECT_EQ(find("a@s.whatsapp.net")->messageCount, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "databases/msgstore.db"));
}

TEST_F(AndroidLoad, WalFolderStaysByteIdentical) {
    test::makeAndroidFolder(dir.path(), messageRow("a@s.whatsapp.net", 0, "0", "1600000000000", "x"),
                            contactRow("a@s.whatsapp.net", "Anna", nullptr));
    // Leave a live write-ahead log beside the database, as on a phone copy: a second connection
    // that is never closed keeps SQLite from checkpointing it away.
    Database writer;
    ASSERT_EQ(writer.open(dir.path() + "databases/msgstore.db", Database::Access::ReadWriteExisting), 0);
    ASSERT_EQ(writer.exec("PRAGMA wal_autocheckpoint=0; " +
                          messageRow("a@s.whatsapp.net", 1, "0", "1700000000000", "in the log")),
              0);
    ASSERT_TRUE(std::filesystem::exists(dir.path() + "databases/msgstore.db-wal"));
    const auto before = test::folderSnapshot(dir.path());

    test::loadAndroidFolder(dir.path());
    ASSERT_TRUE(contactTable().exists());
    test::renderAndroidRow(0, kViewer);

    EXPECT_EQ(test::folderSnapshot(dir.path()), before);
}

}  // namespace
}  // namespace talvio
