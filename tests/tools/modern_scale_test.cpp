// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fixture_test_support.h"
#include "sources/android_modern.h"
#include "sources/android_weixin.h"
#include "sources/contact_table.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "tools/database_build.h"
#include "tools/scale_generator.h"
#include "tools/scale_modern.h"

namespace talvio::fixture::test {
namespace {

namespace fs = std::filesystem;

// A chat's jid as the viewer shows it: through jid_map where that knows the "@lid".
constexpr const char* kShownJid =
    "(SELECT COALESCE(p.raw_string, j.raw_string) FROM jid j LEFT JOIN jid_map m ON m.lid_row_id = j._id "
    "LEFT JOIN jid p ON p._id = m.jid_row_id WHERE j._id = %s)";

std::string shown(const char* jidRow) {
    char sql[512];
    std::snprintf(sql, sizeof sql, kShownJid, jidRow);
    return sql;
}

// A modern folder and the legacy one of the same seed, to hold it against.
class ModernGeneratedFolder : public ::testing::Test {
protected:
    static constexpr std::size_t kContacts = 400;
    static constexpr std::int64_t kMessages = 8000;

    static void SetUpTestSuite() {
        s_dir = new TempDir;
        ScaleGenerator::Options options{kContacts, kMessages, folder(), 7, false, AndroidLayout::Modern};
        ASSERT_EQ(ScaleGenerator::build(options), std::nullopt);
        options.out = s_dir->path() / "legacy";
        options.layout = AndroidLayout::Legacy;
        ASSERT_EQ(ScaleGenerator::build(options), std::nullopt);
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    static fs::path folder() { return s_dir->path() / "modern"; }
    // msgstore.db with the legacy one attached as "l" and wa.db as "w".
    static Database msgstore() {
        Database db = openSnapshot(folder() / "databases" / "msgstore.db");
        for (const auto& [file, name] :
             {std::pair{s_dir->path() / "legacy" / "databases" / "msgstore.db", "l"},
              std::pair{folder() / "databases" / "wa.db", "w"}}) {
            EXPECT_EQ(db.exec("ATTACH '" + sqliteFileUri(file.string()) + "?mode=ro&immutable=1' AS " + name),
                      0);
        }
        return db;
    }

    static TempDir* s_dir;
};
TempDir* ModernGeneratedFolder::s_dir = nullptr;

TEST_F(ModernGeneratedFolder, HasTheModernLayoutInWalMode) {
    expectModernLayout(folder());
    EXPECT_TRUE(DatabaseBuild::hasWalHeader(folder() / "databases" / "msgstore.db"));
    EXPECT_TRUE(DatabaseBuild::hasWalHeader(folder() / "databases" / "wa.db"));
    const Database db = msgstore();
    EXPECT_EQ(queryInt(db, "SELECT count(*) FROM main.message"), kMessages);
    EXPECT_EQ(queryInt(db, "SELECT chat_row_id FROM main.message ORDER BY _id LIMIT 1"), -1);
}

TEST_F(ModernGeneratedFolder, HoldsTheLegacyRowsOfTheSameSeedInTheirChats) {
    const Database db = msgstore();
    // Every legacy row is there, in the chat of the same jid once lids are resolved, of the
    // same kind (group events become kind 7), with the same text and the same writer.
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM l.messages o LEFT JOIN main.message n ON n.key_id = o.key_id "
                       "AND n.from_me = o.key_from_me AND n.timestamp = o.timestamp WHERE n._id IS NULL"),
              0);
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM l.messages o JOIN main.message n ON n.key_id = o.key_id "
                       "JOIN main.chat c ON c._id = n.chat_row_id WHERE " +
                           shown("c.jid_row_id") + " IS NOT o.key_remote_jid"),
              0);
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM l.messages o JOIN main.message n ON n.key_id = o.key_id WHERE "
                       "n.message_type <> CASE WHEN o.status = 6 AND o.media_wa_type = '0' THEN 7 "
                       "ELSE CAST(o.media_wa_type AS INTEGER) END OR (n.message_type = 0 AND n.text_data IS "
                       "NOT o.data)"),
              0);
    // A writer under a lid that jid_map does not resolve cannot be told from the legacy row.
    EXPECT_EQ(
        queryInt(
            db,
            "SELECT count(*) FROM l.messages o JOIN main.message n ON n.key_id = o.key_id "
            "JOIN main.jid s ON s._id = n.sender_jid_row_id "
            "LEFT JOIN main.jid_map m ON m.lid_row_id = s._id LEFT JOIN main.jid p ON p._id = m.jid_row_id "
            "WHERE (s.server <> 'lid' OR p._id IS NOT NULL) "
            "AND COALESCE(p.raw_string, s.raw_string) IS NOT o.remote_resource"),
        0);
    EXPECT_EQ(
        queryInt(
            db,
            "SELECT count(*) FROM l.messages o JOIN main.message n ON n.key_id = o.key_id "
            "WHERE n.sender_jid_row_id = 0 AND o.key_from_me = 0 AND ifnull(o.remote_resource, '') <> ''"),
        0);
}

TEST_F(ModernGeneratedFolder, KeepsDetailsInTheSideTablesAndTextsOnlyInTextData) {
    const Database db = msgstore();
    EXPECT_EQ(queryInt(db, "SELECT count(*) FROM message WHERE message_type <> 0 AND text_data IS NOT NULL"),
              0);
    EXPECT_EQ(queryInt(db, "SELECT count(*) FROM message WHERE message_type = 0 AND text_data IS NULL"), 0);
    // Received group messages name their writer, who is a jid row.
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM message m JOIN chat c ON c._id = m.chat_row_id JOIN jid g ON "
                       "g._id = c.jid_row_id LEFT JOIN jid s ON s._id = m.sender_jid_row_id "
                       "WHERE g.server = 'g.us' AND m.from_me = 0 AND s._id IS NULL"),
              0);
    EXPECT_GT(queryInt(db, "SELECT count(*) FROM message WHERE sender_jid_row_id <> 0"), 100);
    struct Side {
        const char* kinds;
        const char* table;
        const char* link;
    };
    for (const Side& side : {Side{"1, 2, 3, 9, 13, 20", "message_media", "t.message_row_id = m._id"},
                             Side{"7", "message_system", "t.message_row_id = m._id"},
                             Side{"15", "message_revoked", "t.message_row_id = m._id"},
                             Side{"8, 10", "call_log", "t.call_id = m.key_id"}}) {
        SCOPED_TRACE(side.table);
        const std::string missing =
            std::string("SELECT count(*) FROM message m WHERE m.chat_row_id <> -1 AND ") +
            "m.message_type IN (" + side.kinds + ") AND NOT EXISTS (SELECT 1 FROM " + side.table +
            " t WHERE " + side.link + ")";
        EXPECT_EQ(queryInt(db, missing), 0);
        EXPECT_GT(queryInt(db, std::string("SELECT count(*) FROM ") + side.table), 0);
    }
    // Quotes copy the message they quote.
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM message_quoted q WHERE NOT EXISTS (SELECT 1 FROM message m "
                       "WHERE m.key_id = q.key_id AND m.chat_row_id = q.parent_message_chat_row_id)"),
              0);
    EXPECT_GT(queryInt(db, "SELECT count(*) FROM message_quoted"), 0);
    // Every message is in a chat (but the first), every chat has a jid, every group a subject.
    EXPECT_EQ(
        queryInt(db,
                 "SELECT count(*) FROM message m WHERE m.chat_row_id <> -1 AND NOT EXISTS "
                 "(SELECT 1 FROM chat c JOIN jid j ON j._id = c.jid_row_id WHERE c._id = m.chat_row_id)"),
        0);
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM chat c JOIN jid j ON j._id = c.jid_row_id "
                       "WHERE j.server = 'g.us' AND ifnull(c.subject, '') = ''"),
              0);
}

TEST_F(ModernGeneratedFolder, SomeChatsAndGroupMembersGoByLidsThatJidMapResolves) {
    const Database db = msgstore();
    const std::int64_t chats = queryInt(db, "SELECT count(*) FROM chat");
    const std::int64_t lidChats =
        queryInt(db, "SELECT count(*) FROM chat c JOIN jid j ON j._id = c.jid_row_id WHERE j.server = 'lid'");
    EXPECT_GT(lidChats, chats / 100);
    EXPECT_LT(lidChats, chats / 15);
    EXPECT_EQ(
        queryInt(db,
                 "SELECT count(*) FROM chat c JOIN jid j ON j._id = c.jid_row_id WHERE j.server = 'lid' "
                 "AND NOT EXISTS (SELECT 1 FROM jid_map m JOIN jid p ON p._id = m.jid_row_id "
                 "WHERE m.lid_row_id = j._id AND p.server = 's.whatsapp.net')"),
        0);
    // Some people have an older chat under the phone jid beside the lid one, others only the lid one.
    const std::string lidPeople =
        "SELECT count(*) FROM chat c JOIN jid_map m ON m.lid_row_id = c.jid_row_id WHERE ";
    EXPECT_GT(queryInt(db, lidPeople + "EXISTS (SELECT 1 FROM chat o WHERE o.jid_row_id = m.jid_row_id)"), 0);
    EXPECT_GT(queryInt(db, lidPeople + "NOT EXISTS (SELECT 1 FROM chat o WHERE o.jid_row_id = m.jid_row_id)"),
              0);
    EXPECT_GT(queryInt(db,
                       "SELECT count(*) FROM message m JOIN jid s ON s._id = m.sender_jid_row_id "
                       "JOIN jid_map jm ON jm.lid_row_id = s._id WHERE s.server = 'lid'"),
              0);
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM jid_map m JOIN jid l ON l._id = m.lid_row_id JOIN jid p ON "
                       "p._id = m.jid_row_id WHERE l.server <> 'lid' OR p.server <> 's.whatsapp.net'"),
              0);
}

TEST_F(ModernGeneratedFolder, WaDbLeavesOutSomePeopleAndMostGroups) {
    const Database db = msgstore();
    const std::string listed = "EXISTS (SELECT 1 FROM w.wa_contacts w WHERE w.jid = j.raw_string)";
    const std::string chatJids = "SELECT count(*) FROM chat c JOIN jid j ON j._id = c.jid_row_id WHERE ";
    const std::int64_t people = queryInt(db, chatJids + "j.server = 's.whatsapp.net'");
    const std::int64_t listedPeople = queryInt(db, chatJids + "j.server = 's.whatsapp.net' AND " + listed);
    EXPECT_LT(listedPeople, people);
    EXPECT_GT(listedPeople, people * 8 / 10);
    const std::int64_t groups = queryInt(db, chatJids + "j.server = 'g.us'");
    EXPECT_GT(groups, 0);
    EXPECT_LT(queryInt(db, chatJids + "j.server = 'g.us' AND " + listed), groups / 2);
    EXPECT_EQ(queryInt(db, "SELECT count(*) FROM w.wa_contacts WHERE jid LIKE '%@lid'"), 0);
}

TEST_F(ModernGeneratedFolder, ReadsBackAsOneRowPerPersonWithEveryMessageCounted) {
    resetProgramState();
    setLoadPaths(kSourceAndroid, folder().string(), "");
    CAndroidWeiXin(chosenPhoneFolder()).LoadContacts(contactTable());
    std::int64_t counted = 0;
    int lidRows = 0;
    for (const ContactEntry& entry : contactTable().rows()) {
        counted += entry.messageCount;
        lidRows += entry.jid.ends_with("@lid");
    }
    // All but the first row, which is in no chat, and the status posts, which are no chat either.
    const std::int64_t statusPosts =
        queryInt(msgstore(),
                 "SELECT count(*) FROM message m JOIN chat c ON c._id = m.chat_row_id JOIN jid j ON "
                 "j._id = c.jid_row_id WHERE j.raw_string = 'status@broadcast'");
    EXPECT_GT(statusPosts, 0);
    EXPECT_EQ(counted, kMessages - 1 - statusPosts);
    EXPECT_EQ(lidRows, 0);
    contactTable().destroy();
    resetProgramState();
}

TEST_F(ModernGeneratedFolder, IsTheSameForTheSameSeedAndDiffersForAnother) {
    ScaleGenerator::Options options{kContacts, kMessages, s_dir->path() / "again",
                                    7,         false,     AndroidLayout::Modern};
    ASSERT_EQ(ScaleGenerator::build(options), std::nullopt);
    options.out = s_dir->path() / "seed8";
    options.seed = 8;
    ASSERT_EQ(ScaleGenerator::build(options), std::nullopt);
    for (const char* name : {"msgstore.db", "wa.db"}) {
        const std::string first = fileBytes(folder() / "databases" / name);
        EXPECT_EQ(first, fileBytes(s_dir->path() / "again" / "databases" / name)) << name;
        EXPECT_NE(first, fileBytes(s_dir->path() / "seed8" / "databases" / name)) << name;
    }
}

TEST(MixedGeneratedFolder, KeepsTheDataInTheLegacyTableAndTheNewestRowsInTheNewOne) {
    TempDir dir;
    ASSERT_EQ(ScaleGenerator::build({120, 3000, dir.path(), 3, false, AndroidLayout::Mixed}), std::nullopt);
    expectModernLayout(dir.path(), true);
    const Database db = openSnapshot(dir.path() / "databases" / "msgstore.db");
    EXPECT_EQ(queryInt(db, "SELECT count(*) FROM messages"), 3000);
    EXPECT_EQ(queryInt(db, "SELECT count(*) FROM message"), ScaleModernMessages::kMixedRows);
    EXPECT_EQ(queryInt(db, "SELECT count(*) FROM chat"), queryInt(db, "SELECT count(*) FROM chat_list"));
    // The copies are the newest rows, each in the chat of its jid.
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM message n JOIN chat c ON c._id = n.chat_row_id JOIN jid j ON "
                       "j._id = c.jid_row_id JOIN messages o ON o.key_id = n.key_id AND o.key_remote_jid = "
                       "j.raw_string AND o.timestamp = n.timestamp AND o._id > 3000 - " +
                           std::to_string(ScaleModernMessages::kMixedRows)),
              ScaleModernMessages::kMixedRows);
    EXPECT_FALSE(hasModernMessages(db));
}

}  // namespace
}  // namespace talvio::fixture::test

namespace talvio::fixture::test {
namespace {

TEST(KindsGeneratedFolder, TurnsAShareOfTheLargestChatIntoOtherKindsWithTheirSideTables) {
    TempDir dir;
    ScaleGenerator::Options options{200, 4000, dir.path(), 5, false, AndroidLayout::Modern};
    options.kindsPercent = 20;
    ASSERT_EQ(ScaleGenerator::build(options), std::nullopt);
    const Database db = openSnapshot(dir.path() / "databases" / "msgstore.db");
    const std::string largest =
        "(SELECT chat_row_id FROM message WHERE chat_row_id > 0 GROUP BY chat_row_id ORDER BY count(*) DESC "
        "LIMIT 1)";
    const std::int64_t total = queryInt(db, "SELECT count(*) FROM message WHERE chat_row_id = " + largest);
    // A fifth of the chat changed: new kinds, or texts with a quote, reactions, an edit or a mark.
    const std::int64_t changed = queryInt(
        db,
        "SELECT count(*) FROM message m WHERE chat_row_id = " + largest +
            " AND (message_type IN (4, 5, 66) OR origination_flags = 1 OR EXISTS (SELECT 1 FROM "
            "message_edit_info e WHERE e.message_row_id = m._id) OR EXISTS (SELECT 1 FROM message_add_on a "
            "WHERE a.parent_message_row_id = m._id AND a.key_id LIKE 'KA%') OR EXISTS (SELECT 1 FROM "
            "message_call_log c WHERE c.message_row_id = m._id AND m.key_id LIKE 'K%'))");
    EXPECT_GT(changed, total / 20);
    for (const char* missing :
         {"message_type = 66 AND NOT EXISTS (SELECT 1 FROM message_poll_option t WHERE t.message_row_id = "
          "m._id)",
          "message_type = 15 AND NOT EXISTS (SELECT 1 FROM message_revoked t WHERE t.message_row_id = m._id)",
          "message_type IN (8, 10) AND NOT EXISTS (SELECT 1 FROM message_call_log t WHERE t.message_row_id = "
          "m._id)"}) {
        EXPECT_EQ(queryInt(db, std::string("SELECT count(*) FROM message m WHERE ") + missing), 0) << missing;
    }
    // Places, cards and polls are the largest chat's alone, each on a message of its kind.
    for (const char* table : {"message_location", "message_vcard", "message_poll"}) {
        EXPECT_GT(queryInt(db, std::string("SELECT count(*) FROM ") + table), 0) << table;
        EXPECT_EQ(queryInt(db, std::string("SELECT count(*) FROM ") + table +
                                   " t JOIN message m ON m._id = t.message_row_id WHERE m.chat_row_id <> " +
                                   largest + " OR m.message_type NOT IN (4, 5, 66)"),
                  0)
            << table;
    }
}

}  // namespace
}  // namespace talvio::fixture::test
