// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "fixture_test_support.h"
#include "tools/database_build.h"
#include "tools/scale_generator.h"
#include "tools/scale_messages.h"
#include "tools/scale_plan.h"

namespace talvio::fixture::test {
namespace {

namespace fs = std::filesystem;
using ::testing::Each;
using ::testing::Ge;

std::int64_t sum(const std::vector<std::int64_t>& sizes) {
    return std::accumulate(sizes.begin(), sizes.end(), std::int64_t{0});
}

TEST(ScalePlan, IsUnevenAddsUpAndGivesEveryChatSomething) {
    struct Case {
        std::size_t chats;
        std::int64_t messages;
    };
    for (const Case c : {Case{2000, 1'000'000}, Case{50, 5000}, Case{3, 10}, Case{100, 40}, Case{1, 7}}) {
        SCOPED_TRACE(std::to_string(c.chats) + " chats, " + std::to_string(c.messages) + " messages");
        Random random(3);
        const auto sizes = ScalePlan::chatSizes(c.chats, c.messages, random);
        ASSERT_EQ(sizes.size(), c.chats);
        EXPECT_EQ(sum(sizes), c.messages);
        EXPECT_TRUE(std::is_sorted(sizes.begin(), sizes.end(), std::greater<>()));
        EXPECT_GE(static_cast<double>(sizes.front()), 0.1 * static_cast<double>(c.messages));
        if (c.messages >= static_cast<std::int64_t>(c.chats)) {
            EXPECT_THAT(sizes, Each(Ge(1)));
        }
    }

    Random random(3);
    const auto big = ScalePlan::chatSizes(2000, 1'000'000, random);
    EXPECT_GE(big.front(), 100'000);
    // Zipf-like: the busiest tenth of the chats holds most of the messages, the median chat little.
    EXPECT_GT(sum({big.begin(), big.begin() + 200}), 500'000);
    EXPECT_LT(big[1000], 1000);
}

// One small generated folder, shared by the cases that look at it.
class GeneratedFolder : public ::testing::Test {
protected:
    static constexpr std::size_t kContacts = 120;
    static constexpr std::int64_t kMessages = 6000;

    static void SetUpTestSuite() {
        s_dir = new TempDir;
        ASSERT_EQ(ScaleGenerator::build({kContacts, kMessages, folder(), 7, true}), std::nullopt);
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    static fs::path folder() { return s_dir->path() / "seed7"; }
    static Database msgstore() { return openSnapshot(folder() / "databases" / "msgstore.db"); }
    static Database wa() { return openSnapshot(folder() / "databases" / "wa.db"); }

    static TempDir* s_dir;
};
TempDir* GeneratedFolder::s_dir = nullptr;

TEST_F(GeneratedFolder, HasTheRealLayoutAndTheRequestedSize) {
    expectRealLayout(folder());
    EXPECT_TRUE(DatabaseBuild::hasWalHeader(folder() / "databases" / "msgstore.db"));
    EXPECT_TRUE(DatabaseBuild::hasWalHeader(folder() / "databases" / "wa.db"));
    EXPECT_EQ(queryInt(wa(), "SELECT count(*) FROM wa_contacts"), static_cast<std::int64_t>(kContacts));
    EXPECT_EQ(queryInt(msgstore(), "SELECT count(*) FROM messages"), kMessages);
    EXPECT_EQ(queryInt(wa(), "SELECT count(*) FROM wa_contacts WHERE jid LIKE '%@g.us'"), 6);
}

TEST_F(GeneratedFolder, SpreadsMessagesUnevenlyOverTheChats) {
    Database db = msgstore();
    const std::int64_t largest =
        queryInt(db, "SELECT count(*) c FROM messages GROUP BY key_remote_jid ORDER BY c DESC LIMIT 1");
    EXPECT_GE(largest, kMessages / 10);

    // Some contacts have no messages at all.
    ASSERT_EQ(db.exec("ATTACH '" + sqliteFileUri((folder() / "databases" / "wa.db").string()) +
                      "?mode=ro&immutable=1' AS w"),
              0);
    EXPECT_GT(queryInt(db,
                       "SELECT count(*) FROM w.wa_contacts c WHERE NOT EXISTS "
                       "(SELECT 1 FROM messages m WHERE m.key_remote_jid = c.jid)"),
              0);
    // Every received group message names its writer, and the writer is a member.
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM messages WHERE key_remote_jid LIKE '%@g.us' AND key_from_me = 0 "
                       "AND status <> 6 AND ifnull(remote_resource, '') = ''"),
              0);
    EXPECT_EQ(
        queryInt(db,
                 "SELECT count(*) FROM messages m WHERE key_remote_jid LIKE '%@g.us' AND key_from_me = 0 "
                 "AND NOT EXISTS (SELECT 1 FROM group_participants p WHERE p.gjid = m.key_remote_jid "
                 "AND p.jid = m.remote_resource)"),
        0);
    EXPECT_GT(
        queryInt(db, "SELECT count(*) FROM messages WHERE key_remote_jid LIKE '%@g.us' AND key_from_me = 0"),
        100);
}

TEST_F(GeneratedFolder, HoldsEveryKindWithTheNullsRealRowsHave) {
    const Database db = msgstore();
    std::vector<std::string> kinds;
    for (int kind : ScaleMessages::kKinds)
        kinds.push_back(std::to_string(kind));
    EXPECT_THAT(queryColumn(db, "SELECT DISTINCT media_wa_type FROM messages ORDER BY media_wa_type + 0"),
                ::testing::ElementsAreArray(kinds));

    EXPECT_THAT(queryColumn(db, "SELECT key_remote_jid FROM messages ORDER BY _id LIMIT 1"),
                ::testing::ElementsAre("-1"));
    // Text rows carry data and no media; media rows the opposite; system rows neither.
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM messages WHERE media_wa_type = '0' AND status <> 6 "
                       "AND (data IS NULL OR media_url IS NOT NULL OR media_mime_type IS NOT NULL)"),
              0);
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM messages WHERE media_wa_type IN ('1','2','3','9','13','20') "
                       "AND (data IS NOT NULL OR media_url IS NULL OR media_hash IS NULL)"),
              0);
    EXPECT_GT(queryInt(db, "SELECT count(*) FROM messages WHERE media_wa_type = '0' AND status = 6"), 0);
    EXPECT_EQ(queryInt(db, "SELECT count(*) FROM messages WHERE status = 6 AND data IS NOT NULL"), 0);
    // Replies point at frozen copies of what they quote.
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM messages m WHERE quoted_row_id <> 0 AND NOT EXISTS "
                       "(SELECT 1 FROM messages_quotes q WHERE q._id = m.quoted_row_id)"),
              0);
}

TEST_F(GeneratedFolder, MixesScriptsOverFiveYearsEndingIn2025) {
    const Database db = msgstore();
    EXPECT_GE(queryInt(db, "SELECT min(timestamp) FROM messages"), ScaleGenerator::kFirstTimestamp);
    EXPECT_LE(queryInt(db, "SELECT max(timestamp) FROM messages"), ScaleGenerator::kLastTimestamp);
    constexpr std::int64_t kFourYears = 4LL * 365 * 24 * 3600 * 1000;
    EXPECT_GT(queryInt(db, "SELECT max(timestamp) - min(timestamp) FROM messages"), kFourYears);

    // A sample from each script: accented Latin, Chinese, Arabic, emoji.
    for (const char* sample : {"é", "ü", "你", "م", "😂"}) {
        Statement found(db, "SELECT count(*) FROM messages WHERE instr(data, ?) > 0");
        found.bind(1, std::string_view(sample));
        ASSERT_TRUE(found.step());
        EXPECT_GT(found.int64(0), 0) << sample;
    }
    const Database names = wa();
    EXPECT_GT(queryInt(names, "SELECT count(*) FROM wa_contacts WHERE display_name <> ''"), 0);
    EXPECT_GT(queryInt(names,
                       "SELECT count(*) FROM wa_contacts WHERE ifnull(display_name, '') = '' "
                       "AND wa_name IS NOT NULL"),
              0);
    EXPECT_GT(
        queryInt(names, "SELECT count(*) FROM wa_contacts WHERE display_name IS NULL AND wa_name IS NULL"),
        0);
}

TEST_F(GeneratedFolder, IsTheSameForTheSameSeedAndDiffersForAnother) {
    const fs::path again = s_dir->path() / "seed7-again";
    const fs::path other = s_dir->path() / "seed8";
    ASSERT_EQ(ScaleGenerator::build({kContacts, kMessages, again, 7, true}), std::nullopt);
    ASSERT_EQ(ScaleGenerator::build({kContacts, kMessages, other, 8, true}), std::nullopt);
    for (const char* name : {"msgstore.db", "wa.db"}) {
        const std::string first = fileBytes(folder() / "databases" / name);
        EXPECT_EQ(first, fileBytes(again / "databases" / name)) << name;
        EXPECT_NE(first, fileBytes(other / "databases" / name)) << name;
    }
    std::vector<std::string> pictures;
    for (const auto& entry : fs::directory_iterator(folder() / "cache" / "Profile Pictures")) {
        pictures.push_back(entry.path().filename().string());
        EXPECT_EQ(fileBytes(entry.path()), fileBytes(again / "cache" / "Profile Pictures" / pictures.back()));
    }
    EXPECT_FALSE(pictures.empty());
}

}  // namespace
}  // namespace talvio::fixture::test
