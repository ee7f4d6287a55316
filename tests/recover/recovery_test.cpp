// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/recovery.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "sources/database.h"
#include "temp_dir.h"

namespace talvio::recover {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kChina = -8 * 60;
constexpr std::int64_t kMax = 9223372036854775807;
// The chat table of the WeChat id "wxid_abc".
constexpr char kTable[] = "Chat_cdebbea2056901bfd390f03a4e892e6e";

struct Row {
    std::int64_t mesSvrId;
    std::int64_t createTime;
    std::string message;
    std::int64_t status, imgStatus, type, des;

    bool operator==(const Row&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Row& r) {
        return os << "{" << r.mesSvrId << ", " << r.createTime << ", '" << r.message << "', " << r.status
                  << ", " << r.imgStatus << ", " << r.type << ", " << r.des << "}";
    }
};

// A chat table as an iPhone WeChat MM.sqlite holds it.
std::string chatTableSql(const std::string& quotedName) {
    return "CREATE TABLE " + quotedName +
           " (TableVer integer default 1, MesLocalID integer primary key autoincrement, "
           "MesSvrID integer default 0, CreateTime integer default 0, Message text, Status integer default "
           "0, "
           "ImgStatus integer default 0, Type integer, Des integer);";
}

class Recovery : public ::testing::Test {
protected:
    void SetUp() override {
        m_dbPath = m_dir.file("MM.sqlite");
        Database db;
        ASSERT_EQ(db.open(m_dbPath, Database::Access::Create), 0);
        ASSERT_EQ(db.exec(chatTableSql(kTable)), 0);
    }

    void exec(const std::string& sql) {
        Database db;
        ASSERT_EQ(db.open(m_dbPath, Database::Access::ReadWriteExisting), 0);
        ASSERT_EQ(db.exec(sql), 0) << db.lastError();
    }

    std::vector<Row> rows(const std::string& quotedTable = std::string("\"") + kTable + "\"") const {
        Database db;
        EXPECT_EQ(db.open(m_dbPath, Database::Access::ReadWriteExisting), 0);
        Statement select(db, "select MesSvrID, CreateTime, Message, Status, ImgStatus, Type, Des from " +
                                 quotedTable + " order by MesLocalID");
        EXPECT_TRUE(select.ok()) << db.lastError();
        std::vector<Row> result;
        while (select.step()) {
            result.push_back({select.int64(0), select.int64(1), std::string(select.textView(2)),
                              select.int64(3), select.int64(4), select.int64(5), select.int64(6)});
        }
        return result;
    }

    RecoverResult recover(const std::string& text, std::int64_t startValue = kMax,
                          const std::string& id = "wxid_abc") {
        return runRecovery({m_dir.write("chat.txt", text), m_dbPath, id, startValue}, kChina);
    }

    test::TempDir m_dir;
    std::string m_dbPath;
};

const std::string kThreeGroups =
    "2015-09-08 09:37:26\nhello\n4\n"
    "2015-09-08 09:37:27\n  good bye  \n2\n"
    "2015-09-08 09:37:28\nlast\n7\n";

TEST_F(Recovery, EveryGroupBecomesARowWithIdsCountingDown) {
    const RecoverResult result = recover(kThreeGroups);
    EXPECT_FALSE(result.refusal);
    EXPECT_EQ(result.tableName, kTable);
    EXPECT_EQ(result.report.inserted, 3u);
    EXPECT_THAT(result.notices(), ElementsAre(Notice{"添加完成!!!!!", ""}));
    // Type 4 is Des 1, any other type Des 0; ImgStatus and Type are always 1.
    EXPECT_THAT(rows(), ElementsAre(Row{kMax, 1441676246, "hello", 4, 1, 1, 1},
                                    Row{kMax - 1, 1441676247, "good bye", 2, 1, 1, 0},
                                    Row{kMax - 2, 1441676248, "last", 7, 1, 1, 0}));
}

TEST_F(Recovery, QuotesAndSqlInAMessageAreStoredAsTyped) {
    const std::string attack = "x', 1, 1, 1, 1); drop table " + std::string(kTable) + "; --";
    const RecoverResult result = recover(
        "2015-09-08 09:37:26\nfirst\n4\n"
        "2015-09-08 09:37:27\nit's \"quoted\"\n2\n"
        "2015-09-08 09:37:28\n" +
            attack + "\n2\n",
        100);
    EXPECT_THAT(result.report.failures, IsEmpty());
    const std::vector<Row> stored = rows();
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0].mesSvrId, 100);
    EXPECT_EQ(stored[1].mesSvrId, 99);
    EXPECT_EQ(stored[1].message, "it's \"quoted\"");
    EXPECT_EQ(stored[2].mesSvrId, 98);
    EXPECT_EQ(stored[2].message, attack);
}

TEST_F(Recovery, ATimeIn2045IsStoredPast32Bits) {
    recover("2045-06-01 12:00:00\nfuture\n4\n");
    const std::vector<Row> stored = rows();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].createTime, 2379902400);
}

TEST_F(Recovery, IdsWrapInsteadOfOverflowing) {
    recover("2015-09-08 09:37:26\na\n4\n2015-09-08 09:37:27\nb\n4\n", -kMax - 1);
    const std::vector<Row> stored = rows();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].mesSvrId, -kMax - 1);
    EXPECT_EQ(stored[1].mesSvrId, kMax);
}

TEST_F(Recovery, AMissingTableReportsEveryStatement) {
    const RecoverResult result = recover(kThreeGroups + "2015-09-08 09:37:29\nit's\n4\n", 100, "wxid_other");
    ASSERT_EQ(result.report.failures.size(), 4u);
    EXPECT_EQ(result.report.inserted, 0u);
    const InsertFailure& first = result.report.failures[0];
    EXPECT_EQ(first.mesSvrId, 100);
    EXPECT_THAT(first.reason, ::testing::HasSubstr("no such table"));
    EXPECT_EQ(first.notice().caption, "添加失败");
    EXPECT_EQ(first.statement, "insert into \"" + result.tableName +
                                   "\" (MesSvrID, CreateTime, Message, Status, ImgStatus, Type, Des) "
                                   "values (100, 1441676246, 'hello', 4, 1, 1, 1);");
    EXPECT_EQ(result.report.failures[3].mesSvrId, 97);
    EXPECT_THAT(result.report.failures[3].statement, ::testing::HasSubstr(", 'it''s', 4, 1, 1, 1);"));

    const std::vector<Notice> shown = result.notices();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[1], result.report.failures[1].notice());
    EXPECT_EQ(shown.back(), (Notice{"添加完成!!!!!", ""}));
    EXPECT_THAT(rows(), IsEmpty());
}

TEST_F(Recovery, AFailedStatementDoesNotStopTheNextGroup) {
    // A row with MesSvrID 99 already exists and the ids are unique, so only the second group fails.
    exec(std::string("CREATE UNIQUE INDEX svr ON ") + kTable +
         "(MesSvrID);"
         "INSERT INTO " +
         kTable + " (MesSvrID, Message) VALUES (99, 'old');");
    const RecoverResult result = recover(kThreeGroups, 100);
    ASSERT_EQ(result.report.failures.size(), 1u);
    EXPECT_EQ(result.report.failures[0].mesSvrId, 99);
    EXPECT_THAT(result.report.failures[0].reason, ::testing::HasSubstr("UNIQUE"));
    EXPECT_EQ(result.report.inserted, 2u);
    const std::vector<Row> stored = rows();
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[1].mesSvrId, 100);
    EXPECT_EQ(stored[2].mesSvrId, 98);
    EXPECT_EQ(stored[2].message, "last");
}

TEST_F(Recovery, ALaterTypeLineThatIsNoIntegerIsNotWritten) {
    const RecoverResult result = recover(
        "2015-09-08 09:37:26\na\n4\n"
        "2015-09-08 09:37:27\nb\n1, 1, 1, 1); drop table x; --\n"
        "2015-09-08 09:37:28\nc\n-3\n",
        100);
    ASSERT_EQ(result.report.failures.size(), 1u);
    EXPECT_EQ(result.report.failures[0].mesSvrId, 99);
    const std::vector<Row> stored = rows();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1].mesSvrId, 98);
    EXPECT_EQ(stored[1].status, -3);
}

TEST_F(Recovery, AThirtySevenCharacterNameOnlyEverNamesATable) {
    exec("CREATE TABLE victim (a);");
    std::string hostile = "Chat_\"; drop table victim; --";
    hostile.insert(5, 37 - hostile.size(), 'a');
    const RecoverResult refused = recover(kThreeGroups, 100, hostile);
    EXPECT_EQ(refused.tableName, hostile);
    EXPECT_EQ(refused.report.failures.size(), 3u);
    EXPECT_THAT(refused.report.failures[0].reason, ::testing::HasSubstr("no such table"));
    exec("SELECT count(*) FROM victim;");
    EXPECT_THAT(rows(), IsEmpty());

    // The same odd name, once it is a real table, receives the rows.
    std::string quoted = "\"";
    for (char c : hostile)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    quoted += '"';
    exec(chatTableSql(quoted));
    const RecoverResult taken = recover(kThreeGroups, 100, hostile);
    EXPECT_THAT(taken.report.failures, IsEmpty());
    EXPECT_EQ(rows(quoted).size(), 3u);
}

TEST_F(Recovery, AMissingDatabaseIsNeitherCreatedNorReportedAsFinished) {
    const std::string missing = m_dir.file("gone/MM.sqlite");
    const std::string alsoMissing = m_dir.file("MM2.sqlite");
    for (const std::string& path : {missing, alsoMissing, std::string()}) {
        SCOPED_TRACE(path);
        const RecoverResult result =
            runRecovery({m_dir.write("chat.txt", kThreeGroups), path, "wxid_abc", 100}, kChina);
        EXPECT_FALSE(result.refusal);
        EXPECT_EQ(result.report.outcome, InsertOutcome::DatabaseNotOpened);
        EXPECT_NE(result.report.databaseResult, 0);
        EXPECT_FALSE(result.report.databaseError.empty());
        EXPECT_THAT(result.notices(), ElementsAre(Notice{"数据库文件打开失败。", ""}));
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(std::filesystem::exists(alsoMissing));
}

TEST_F(Recovery, RefusalsComeBeforeTheDatabaseIsTouched) {
    struct Case {
        std::string text;
        std::string id;
        std::string expected;
    };
    const Case cases[] = {
        {kThreeGroups, "", "您还没有输入 好友微信号或表名称"},
        {kThreeGroups, "Chat_abc",
         "您输入的 好友微信号或表名称 貌似有误。因为您输入的内容为Chat_开头，但后面的字符串长度并非32位。"},
        {"2015-09-08 09:37:26\nhello\n7\n", "wxid_abc",
         "第3行格式有误，该行只能为4或2。您当前输入的内容为 7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const RecoverResult result = recover(c.text, 100, c.id);
        ASSERT_TRUE(result.refusal);
        EXPECT_THAT(result.notices(), ElementsAre(Notice{c.expected, ""}));
    }
    const RecoverResult noFile = runRecovery({m_dir.file("none.txt"), m_dbPath, "wxid_abc", 100}, kChina);
    EXPECT_THAT(noFile.notices(), ElementsAre(Notice{"文件打开失败。", ""}));
    EXPECT_THAT(rows(), IsEmpty());
}

TEST(RecoverBoxes, StartValueIsADecimal64BitInteger) {
    EXPECT_EQ(parseStartValue("9223372036854775807"), kMax);
    EXPECT_EQ(parseStartValue("-9223372036854775808"), -kMax - 1);
    EXPECT_EQ(parseStartValue(" 100 "), 100);
    EXPECT_EQ(parseStartValue("+7"), 7);
    for (const char* text : {"", " ", "abc", "12abc", "1 2", "+-1", "9223372036854775808", "0x10"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseStartValue(text));
    }
}

TEST(RecoverBoxes, OnlyAnMmSqliteFileIsTakenAsDatabase) {
    EXPECT_TRUE(isWeChatDatabasePath("C:\\x\\MM.SQLITE"));
    EXPECT_TRUE(isWeChatDatabasePath("/home/me/backup/Documents/MM.sqlite"));
    EXPECT_FALSE(isWeChatDatabasePath("C:\\x\\mm.db"));
    EXPECT_FALSE(isWeChatDatabasePath("/home/me/ChatStorage.sqlite"));
    EXPECT_FALSE(isWeChatDatabasePath("m.sqlite"));
}

}  // namespace
}  // namespace talvio::recover
