// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <map>
#include <set>

#include "fixture_test_support.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "tools/android_fixture_builder.h"
#include "tools/database_build.h"

namespace talvio::fixture::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;

const fs::path kBuilt = TALVIO_BUILT_FIXTURES;
const fs::path kSample = fs::path(TALVIO_BUILD_DIR) / "samples" / "android" / "com.whatsapp";
const fs::path kModernSample = fs::path(TALVIO_BUILD_DIR) / "samples" / "android-modern" / "com.whatsapp";
const fs::path kBasicSql = fs::path(TALVIO_TEST_DATA) / "android" / "basic";

fs::path withSuffix(const fs::path& file, const char* suffix) {
    fs::path result = file;
    result += suffix;
    return result;
}

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

TEST(BuiltFolders, HaveTheRealLayoutInWalModeAndAreCleanlyClosed) {
    expectModernLayout(kModernSample);
    for (const fs::path& folder : {kSample, kBuilt / "basic" / "com.whatsapp", kModernSample}) {
        SCOPED_TRACE(folder.string());
        if (folder != kModernSample)
            expectRealLayout(folder);
        for (const char* name : {"msgstore.db", "wa.db"}) {
            const fs::path database = folder / "databases" / name;
            EXPECT_TRUE(DatabaseBuild::hasWalHeader(database)) << name;
            EXPECT_FALSE(fs::exists(withSuffix(database, "-wal"))) << name;
            EXPECT_FALSE(fs::exists(withSuffix(database, "-shm"))) << name;
        }
    }
}

TEST(BuiltFolders, WalTailStaysInTheWalAsCommittedFrames) {
    const fs::path msgstore = kBuilt / "basic-wal" / "com.whatsapp" / "databases" / "msgstore.db";
    ASSERT_GT(fs::file_size(withSuffix(msgstore, "-wal")), 0u);
    ASSERT_TRUE(fs::exists(withSuffix(msgstore, "-shm")));
    const std::string annasCount =
        "SELECT count(*) FROM messages WHERE key_remote_jid = '491111111111@s.whatsapp.net'";

    // The main file alone, as the viewer reads it once the -wal is moved aside.
    EXPECT_EQ(queryInt(openSnapshot(msgstore), annasCount), 2);

    // A normal open replays the -wal: the tail is real, committed data. On a copy, so that
    // the built folder keeps its -wal for the tests of other parts.
    TempDir copy;
    for (const char* suffix : {"", "-wal", "-shm"}) {
        fs::copy_file(withSuffix(msgstore, suffix), withSuffix(copy.path() / "msgstore.db", suffix));
    }
    Database replayed;
    ASSERT_EQ(replayed.open((copy.path() / "msgstore.db").string(), Database::Access::ReadWriteExisting),
              SQLITE_OK);
    EXPECT_EQ(queryInt(replayed, annasCount), 3);
}

TEST(SampleFolder, HoldsTheCasesTheViewerMustHandle) {
    const Database wa = openSnapshot(kSample / "databases" / "wa.db");
    const Database msgstore = openSnapshot(kSample / "databases" / "msgstore.db");

    EXPECT_THAT(queryColumn(wa, "SELECT display_name FROM wa_contacts"),
                IsSupersetOf({"<img src=x onerror=alert(1)>", "<null>", ""}));
    EXPECT_EQ(queryInt(wa, "SELECT count(*) FROM wa_contacts WHERE jid LIKE '%@g.us'"), 2);
    EXPECT_GT(
        queryInt(wa,
                 "SELECT count(*) FROM wa_contacts WHERE ifnull(display_name, '') = '' AND wa_name <> ''"),
        0);
    EXPECT_GT(queryInt(wa, "SELECT count(*) FROM wa_contacts WHERE display_name IS NULL AND wa_name IS NULL"),
              0);

    // Per contact: messages, in the order of wa.db.
    std::set<std::string> silent;
    for (const std::string& jid : queryColumn(wa, "SELECT jid FROM wa_contacts")) {
        Statement count(msgstore, "SELECT count(*) FROM messages WHERE key_remote_jid = ?");
        count.bind(1, std::string_view(jid));
        ASSERT_TRUE(count.step());
        if (count.int64(0) == 0)
            silent.insert(jid);
    }
    EXPECT_FALSE(silent.empty()) << "a contact without messages";
    EXPECT_EQ(silent.count("4915'2@s.whatsapp.net"), 0u) << "the jid with a quote has messages";

    EXPECT_THAT(queryColumn(msgstore, "SELECT DISTINCT media_wa_type FROM messages"),
                IsSupersetOf({"0", "1", "2", "3", "8", "9", "13", "15"}));
    EXPECT_EQ(queryInt(msgstore, "SELECT key_remote_jid = '-1' FROM messages ORDER BY _id LIMIT 1"), 1);
    EXPECT_GT(queryInt(msgstore,
                       "SELECT count(*) FROM messages WHERE status = 6 AND media_wa_type = '0' "
                       "AND data IS NULL AND key_remote_jid LIKE '%@g.us'"),
              0);
    EXPECT_EQ(queryInt(msgstore,
                       "SELECT count(DISTINCT key_remote_jid) FROM messages WHERE key_remote_jid "
                       "LIKE '%@g.us' AND key_from_me = 0 AND status <> 6 AND remote_resource <> ''"),
              2);
    for (const char* text : {"%<b>bold</b>%", "%\"hi\"%'fine'%", "%\\Users\\%", "%\n%", "%你好%", "%شكرا%"}) {
        Statement found(msgstore, "SELECT count(*) FROM messages WHERE data LIKE ?");
        found.bind(1, std::string_view(text));
        ASSERT_TRUE(found.step());
        EXPECT_GT(found.int64(0), 0) << text;
    }
    const std::int64_t timestampsOutside2019To2024 = queryInt(
        msgstore,
        "SELECT count(*) FROM messages WHERE timestamp < 1546300800000 OR timestamp >= 1735689600000");
    EXPECT_EQ(timestampsOutside2019To2024, 0);
}

TEST(SampleFolder, HasADistinctJpegForEveryListedPicture) {
    std::set<std::string> pictures;
    for (const char* name : {"4915112345678.jpg", "4915'2.jpg", "4915112345678-1561975200.jpg"}) {
        const std::string bytes = fileBytes(kSample / "cache" / "Profile Pictures" / name);
        ASSERT_GT(bytes.size(), 100u) << name;
        EXPECT_EQ(bytes.substr(0, 3), "\xFF\xD8\xFF") << name;
        pictures.insert(bytes);
    }
    EXPECT_EQ(pictures.size(), 3u);
}

TEST(ModernSampleFolder, HoldsTheCasesOfCurrentPhones) {
    Database msgstore = openSnapshot(kModernSample / "databases" / "msgstore.db");
    ASSERT_EQ(msgstore.exec("ATTACH '" + sqliteFileUri((kModernSample / "databases" / "wa.db").string()) +
                            "?mode=ro&immutable=1' AS w"),
              0);
    const std::string listed = "EXISTS (SELECT 1 FROM w.wa_contacts w WHERE w.jid = j.raw_string)";
    const std::string chatJids = "SELECT j.raw_string FROM chat c JOIN jid j ON j._id = c.jid_row_id WHERE ";
    // A person only in his chat, groups named only by their subject.
    EXPECT_THAT(queryColumn(msgstore, chatJids + "j.server = 's.whatsapp.net' AND NOT " + listed),
                ::testing::ElementsAre("447911123456@s.whatsapp.net"));
    EXPECT_EQ(queryInt(msgstore, "SELECT count(*) FROM w.wa_contacts WHERE jid LIKE '%@g.us'"), 0);
    EXPECT_THAT(queryColumn(msgstore,
                            "SELECT subject FROM chat c JOIN jid j ON j._id = c.jid_row_id "
                            "WHERE j.server = 'g.us' ORDER BY c._id"),
                ::testing::ElementsAre("Wandergruppe Alpen 🏔️", "<b>Book club</b> 📚 & friends",
                                       "Familie & Freunde 🏡"));
    // A person with chats under both her lid and her phone jid; a member known only by a lid.
    EXPECT_THAT(queryColumn(msgstore,
                            "SELECT p.raw_string FROM chat c JOIN jid_map m ON m.lid_row_id = c.jid_row_id "
                            "JOIN jid p ON p._id = m.jid_row_id JOIN chat o ON o.jid_row_id = p._id"),
                ::testing::ElementsAre("8613912345678@s.whatsapp.net"));
    EXPECT_THAT(queryColumn(msgstore,
                            "SELECT DISTINCT p.raw_string FROM message m JOIN jid s ON s._id = "
                            "m.sender_jid_row_id JOIN jid_map jm ON jm.lid_row_id = s._id JOIN jid p ON "
                            "p._id = jm.jid_row_id WHERE NOT EXISTS (SELECT 1 FROM chat o WHERE "
                            "o.jid_row_id = p._id) AND NOT EXISTS (SELECT 1 FROM w.wa_contacts w WHERE "
                            "w.jid = p.raw_string)"),
                ::testing::ElementsAre("4917098765432@s.whatsapp.net"));

    // Every marker kind, group events and deletions, each with its side table; texts only in text_data.
    EXPECT_THAT(queryColumn(msgstore, "SELECT DISTINCT message_type FROM message"),
                IsSupersetOf({"0", "1", "2", "3", "4", "5", "7", "8", "10", "11", "15", "16", "42", "66"}));
    for (const char* missing :
         {"message_type IN (1, 2, 3, 9, 20) AND NOT EXISTS (SELECT 1 FROM message_media t WHERE "
          "t.message_row_id = m._id)",
          "message_type = 7 AND chat_row_id <> -1 AND NOT EXISTS (SELECT 1 FROM message_system t WHERE "
          "t.message_row_id = m._id)",
          "message_type = 15 AND NOT EXISTS (SELECT 1 FROM message_revoked t WHERE t.message_row_id = m._id)",
          "message_type IN (8, 10) AND NOT EXISTS (SELECT 1 FROM call_log t WHERE t.call_id = m.key_id)",
          // Texts keep text_data; media, calls and deletions do not; events, cards and polls
          // may (the new subject, the card's name, the question).
          "message_type = 0 AND text_data IS NULL",
          "message_type IN (1, 2, 3, 8, 9, 10, 13, 15, 20) AND text_data IS NOT NULL",
          // Every kind of the modern pages with its side table.
          "message_type IN (5, 16) AND NOT EXISTS (SELECT 1 FROM message_location t WHERE t.message_row_id = "
          "m._id)",
          "message_type = 66 AND NOT EXISTS (SELECT 1 FROM message_poll_option t WHERE t.message_row_id = "
          "m._id)",
          "message_type = 4 AND NOT EXISTS (SELECT 1 FROM message_vcard t WHERE t.message_row_id = m._id)",
          "timestamp < 1704067200000 OR timestamp >= 1767225600000"}) {
        EXPECT_EQ(queryInt(msgstore, std::string("SELECT count(*) FROM message m WHERE ") + missing), 0)
            << missing;
    }
    for (const char* text : {"%ä%", "%你%", "%مرحبا%", "%ノ%", "%ã%", "%😊%", "%\n%", "%<b>%"}) {
        Statement found(msgstore,
                        "SELECT count(*) FROM message WHERE text_data LIKE replace(?, '\\n', char(10))");
        found.bind(1, std::string_view(text));
        ASSERT_TRUE(found.step());
        EXPECT_GT(found.int64(0), 0) << text;
    }
}

TEST(ModernSampleFolder, ShowsAsOnePersonPerRowWithGroupsNamedByTheirSubject) {
    resetProgramState();
    programState().timeZoneBias = 0;
    setLoadPaths(kSourceAndroid, kModernSample.string(), "");
    CAndroidWeiXin source(chosenPhoneFolder());
    source.LoadContacts(contactTable());
    std::map<std::string, const ContactEntry*> rows;
    for (const ContactEntry& entry : contactTable().rows())
        rows[entry.jid] = &entry;
    ASSERT_EQ(rows.count("8613912345678@s.whatsapp.net"), 1u);
    EXPECT_EQ(rows["8613912345678@s.whatsapp.net"]->messageCount, 6);  // both of Li Na's chats
    EXPECT_EQ(rows.count("123456789012345@lid"), 0u);
    ASSERT_EQ(rows.count("447911123456@s.whatsapp.net"), 1u);
    EXPECT_EQ(rows["447911123456@s.whatsapp.net"]->displayName, "447911123456");
    EXPECT_EQ(rows["4915112345678@s.whatsapp.net"]->displayName, "Lena Hoffmann");
    ASSERT_EQ(rows.count("120363051234567891@g.us"), 1u);
    EXPECT_EQ(rows["120363051234567891@g.us"]->displayName, "<b>Book club</b> 📚 & friends");

    const auto render = [&](const std::string& jid) {
        for (int i = 0; i < contactTable().count(); ++i) {
            if (contactTable().row(i).jid != jid)
                continue;
            renderContact(source, contactTable().row(i), kViewer, chatPageBuffer());
        }
        return chatPageBuffer().text();
    };
    // Members by the phone number jid_map gives their lid, or by the lid where it gives none.
    EXPECT_THAT(render("120363041234567890@g.us"), HasSubstr(">4917098765432 <"));
    const std::string club = render("120363051234567891@g.us");
    EXPECT_THAT(club, HasSubstr(">555444333222111 <"));
    EXPECT_THAT(club, HasSubstr(">8613912345678 <"));
    EXPECT_THAT(club, HasSubstr("&lt;b&gt;Next meeting&lt;/b&gt;"));
    contactTable().destroy();
    resetProgramState();
}

TEST(AndroidFixtureBuilder, LayoutPicksTheTablesTheRowsGoTo) {
    TempDir dir;
    writeFile(
        dir.path() / "msgstore.sql",
        "INSERT INTO jid (user, server, raw_string) VALUES ('491', 's.whatsapp.net', '491@s.whatsapp.net');");
    writeFile(dir.path() / "wa.sql", "");
    AndroidFixtureBuilder::Options options{dir.path(), dir.path() / "mixed", std::nullopt, false,
                                           AndroidLayout::Mixed};
    ASSERT_EQ(AndroidFixtureBuilder::build(options), std::nullopt);
    expectModernLayout(options.out, true);
    // The legacy layout has no jid table for these rows.
    options.out = dir.path() / "legacy";
    options.layout = AndroidLayout::Legacy;
    const auto failure = AndroidFixtureBuilder::build(options);
    ASSERT_TRUE(failure.has_value());
    EXPECT_THAT(*failure, HasSubstr("no such table: jid"));
}

TEST(AndroidFixtureBuilder, RebuildReplacesWhatAnEarlierBuildLeft) {
    TempDir dir;
    const fs::path out = dir.path() / "com.whatsapp";
    AndroidFixtureBuilder::Options options{kBasicSql, out, kBasicSql / "wal-tail.sql", false};
    ASSERT_EQ(AndroidFixtureBuilder::build(options), std::nullopt);
    const fs::path msgstore = out / "databases" / "msgstore.db";
    ASSERT_TRUE(fs::exists(withSuffix(msgstore, "-wal")));
    writeFile(out / "cache" / "Profile Pictures" / "stale.jpg", "old");
    writeFile(out / "notes.txt", "not ours");

    options.walTail.reset();
    ASSERT_EQ(AndroidFixtureBuilder::build(options), std::nullopt);
    EXPECT_FALSE(fs::exists(withSuffix(msgstore, "-wal")));
    EXPECT_FALSE(fs::exists(withSuffix(msgstore, "-shm")));
    EXPECT_FALSE(fs::exists(out / "cache" / "Profile Pictures" / "stale.jpg"));
    EXPECT_TRUE(fs::exists(out / "notes.txt"));
    EXPECT_EQ(queryInt(openSnapshot(msgstore), "SELECT count(*) FROM messages"), 15);
}

TEST(AndroidFixtureBuilder, ReportsBadInputWithoutLeavingAHalfBuiltDatabase) {
    TempDir dir;
    const fs::path out = dir.path() / "out";

    auto failure = AndroidFixtureBuilder::build({dir.path(), out, std::nullopt, false});
    ASSERT_TRUE(failure.has_value());
    EXPECT_THAT(*failure, HasSubstr("neither msgstore.sql nor wa.sql"));

    writeFile(dir.path() / "msgstore.sql",
              "INSERT INTO messages (key_remote_jid, no_such_column) VALUES ('a', 1);");
    failure = AndroidFixtureBuilder::build({dir.path(), out, std::nullopt, false});
    ASSERT_TRUE(failure.has_value());
    EXPECT_THAT(*failure, HasSubstr("msgstore.sql"));
    EXPECT_THAT(*failure, HasSubstr("no_such_column"));
    EXPECT_FALSE(fs::exists(out / "databases" / "msgstore.db"));

    fs::remove(dir.path() / "msgstore.sql");
    writeFile(dir.path() / "wa.sql", "");
    writeFile(dir.path() / "pictures.txt", "# comment\n\n491.jpg\nphotos/492.jpg\n");
    failure = AndroidFixtureBuilder::build({dir.path(), out, std::nullopt, false});
    ASSERT_TRUE(failure.has_value());
    EXPECT_THAT(*failure, HasSubstr("pictures.txt:4"));
}

TEST(AndroidFixtureBuilder, BareSqlBringsItsOwnTablesAndMissingFilesMeanMissingDatabases) {
    TempDir dir;
    const fs::path out = dir.path() / "out";
    writeFile(dir.path() / "wa.sql",
              "CREATE TABLE wa_contacts (jid TEXT); INSERT INTO wa_contacts VALUES ('x');");
    ASSERT_EQ(AndroidFixtureBuilder::build({dir.path(), out, std::nullopt, true}), std::nullopt);

    const fs::path wa = out / "databases" / "wa.db";
    EXPECT_TRUE(DatabaseBuild::hasWalHeader(wa));
    EXPECT_EQ(queryColumn(openSnapshot(wa), "SELECT name FROM pragma_table_info('wa_contacts')"),
              std::vector<std::string>{"jid"});
    EXPECT_FALSE(fs::exists(out / "databases" / "msgstore.db"));
}

}  // namespace
}  // namespace talvio::fixture::test
