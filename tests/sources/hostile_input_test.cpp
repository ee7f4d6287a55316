// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "android_sql.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/program_state.h"
#include "sources/text_convert.h"
#include "tests/support/android_folder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace talvio {
namespace {

using test::contactRow;
using test::messageRow;

class HostileAndroidInput : public test::SourceTest {
protected:
    // Loads, then renders every row; returns the pages' bodies joined.
    std::string loadAndRenderAll() {
        test::loadAndroidFolder(dir.path());
        std::string all;
        for (int i = 0; i < contactTable().count(); ++i)
            all += test::renderAndroidRow(i, kViewer);
        return all;
    }
    void replaceDatabase(const char* name, const std::string& bytes) {
        const std::string path = dir.path() + "databases/" + name;
        std::filesystem::remove(path);
        test::writeFile(path, bytes);
    }
};

TEST_F(HostileAndroidInput, ForeignFilesWhereDatabasesShouldBe) {
    test::makeAndroidFolder(dir.path(), messageRow("a@s.whatsapp.net", 0, "0", "1600000000000", "hi"),
                            contactRow("a@s.whatsapp.net", "Anna", nullptr));
    const std::string good = test::readFile(dir.path() + "databases/wa.db");
    for (const std::string& bytes : {std::string("not a database at all, just text\n"), std::string(),
                                     good.substr(0, good.size() / 2), good.substr(0, 100)}) {
        replaceDatabase("wa.db", bytes);
        test::loadAndroidFolder(dir.path());
        EXPECT_FALSE(contactTable().exists()) << bytes.size();
        EXPECT_EQ(test::readFile(dir.path() + "databases/wa.db"), bytes);
    }
    std::filesystem::remove(dir.path() + "databases/wa.db");
    std::filesystem::create_directory(dir.path() + "databases/wa.db");
    test::loadAndroidFolder(dir.path());
    EXPECT_FALSE(contactTable().exists());
}

TEST_F(HostileAndroidInput, BrokenMessageDatabaseGivesHeadOnlyPages) {
    test::makeAndroidFolder(dir.path(), "", contactRow("a@s.whatsapp.net", "Anna", nullptr));
    replaceDatabase("msgstore.db", std::string(4096, '\x5a'));
    const std::string pages = loadAndRenderAll();
    ASSERT_EQ(contactTable().count(), 2);
    // The page says why it is empty, rather than passing the chat off as one without messages.
    const std::string page =
        std::string(pageHead(kViewer)) +
        "<div>This chat could not be read: file is not a database</div><div>No message</div>";
    EXPECT_EQ(pages, page + page);
}

TEST_F(HostileAndroidInput, MessagesTableLackingColumns) {
    test::makeAndroidFolder(dir.path(), "", contactRow("a@s.whatsapp.net", "Anna", nullptr));
    replaceDatabase("msgstore.db", "");
    test::runSql(
        dir.path() + "databases/msgstore.db",
        "CREATE TABLE messages(_id INTEGER PRIMARY KEY, key_remote_jid TEXT, timestamp INTEGER);"
        "INSERT INTO messages(key_remote_jid, timestamp) VALUES('a@s.whatsapp.net', 1600000000000);");
    const std::string pages = loadAndRenderAll();
    // The statistics need only these two columns; the page query needs more and fails.
    EXPECT_EQ(contactTable().row(0).messageCount, 1);
    EXPECT_EQ(pages.find("SenderNameMe\">"), std::string::npos);
    EXPECT_NE(pages.find("<div>This chat could not be read: no such column: "), std::string::npos) << pages;
}

// A table replaced by a view that never ends would keep the load reading for ever; real stores hold
// tables, so reads through views are refused and the load ends at once.
TEST_F(HostileAndroidInput, ANeverEndingViewIsNotRead) {
    test::makeAndroidFolder(dir.path(), "", contactRow("a@s.whatsapp.net", "Anna", nullptr));
    replaceDatabase("msgstore.db", "");
    test::runSql(dir.path() + "databases/msgstore.db",
                 "CREATE VIEW messages AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                 "SELECT 'a@s.whatsapp.net' AS key_remote_jid, 0 AS key_from_me, i AS timestamp, '0' AS "
                 "media_wa_type, 'x' AS data, NULL AS remote_resource FROM n;");
    const std::string pages = loadAndRenderAll();
    ASSERT_EQ(contactTable().count(), 2);
    EXPECT_EQ(contactTable().row(1).messageCount, 0);
    EXPECT_NE(pages.find("This chat could not be read: "), std::string::npos);
}

// The progress dialog's Cancel: once it no longer wants the load, a query stops where it is.
TEST_F(HostileAndroidInput, AQueryStopsWhenTheLoadIsNoLongerWanted) {
    test::makeAndroidFolder(dir.path(), "", contactRow("a@s.whatsapp.net", "Anna", nullptr));
    test::runSql(dir.path() + "databases/msgstore.db",
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
                 "INSERT INTO messages(key_remote_jid, key_from_me, key_id, timestamp, data) "
                 "SELECT 'a@s.whatsapp.net', 0, i, 1600000000000 + i, 'x' FROM n;");
    struct Cancelled : ProgressTarget {
        void onProgress() override {}
        bool stillWanted() override {
            ++asked;
            return false;
        }
        int asked = 0;
    } cancelled;
    programState().progressWindow = &cancelled;
    test::loadAndroidFolder(dir.path());
    programState().progressWindow = nullptr;
    EXPECT_GT(cancelled.asked, 0);
    ASSERT_TRUE(contactTable().exists());
    // The 200,000 messages were never all counted.
    for (const ContactEntry& entry : contactTable().rows())
        EXPECT_LT(entry.messageCount, 200000) << entry.jid;
    // Wanted again, the same folder loads whole.
    test::loadAndroidFolder(dir.path());
    EXPECT_EQ(contactTable().row(0).messageCount, 200000);
}

TEST_F(HostileAndroidInput, IllFormedUtf8AndWrongTypes) {
    test::makeAndroidFolder(
        dir.path(),
        messageRow("a@s.whatsapp.net", 0, "0", "1600000000000", "bad \xC3 text \xFF") +
            "INSERT INTO messages(key_remote_jid, key_from_me, key_id, media_wa_type, timestamp, data) VALUES"
            "('a@s.whatsapp.net', X'00', 'blob', X'31', 'soon', X'3C623E00'),"
            "('a@s.whatsapp.net', 99999999999999999999, 'huge', 1, 9223372036854775807, NULL);" +
            messageRow(std::string(200000, 'j').append("@s.whatsapp.net").c_str(), 0, "0", "1",
                       std::string(300000, 'x').c_str()),
        contactRow("a@s.whatsapp.net", "Ann\xE9", nullptr));
    const std::string pages = loadAndRenderAll();
    EXPECT_TRUE(isWellFormedUtf8(pages));
    EXPECT_NE(pages.find("bad \xEF\xBF\xBD text \xEF\xBF\xBD"), std::string::npos);
    EXPECT_NE(pages.find("Ann\xEF\xBF\xBD"), std::string::npos);
    // No tag that the data carried reaches the page.
    EXPECT_EQ(pages.find("<b>"), std::string::npos);
}

}  // namespace
}  // namespace talvio
