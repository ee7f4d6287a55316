// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/text_file_check.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace talvio::recover {
namespace {

const std::string kHints =
    "1. 时间行格式应该类似于2015-09-08 09:37:26，注意时间中间的冒号必需为英文输入状态下的冒号。\r\n"
    "2. 年份必需在2000 - 2050 年间。\r\n"
    "3. 月份，日期，时分秒，均要为合乎常理的值,注意时针只能介于00点到23点之间。\r\n";

std::string errorText(const FormatCheck& check) {
    return check.error ? check.error->text : "(no error)";
}

TEST(RecoverTextCheck, ReadsGroupsOfTimeMessageAndType) {
    const FormatCheck check = checkRecoverText(
        "2015-09-08 09:37:26\n你好\n4\n"
        "2015-09-08 09:38:00\nit's me\n2\n");
    ASSERT_TRUE(check.ok()) << errorText(check);
    ASSERT_EQ(check.groups.size(), 2u);
    EXPECT_EQ(check.groups[0].time, (LocalTime{2015, 9, 8, 9, 37, 26}));
    EXPECT_EQ(check.groups[0].message, "你好");
    EXPECT_EQ(check.groups[0].type, "4");
    EXPECT_EQ(check.groups[1].message, "it's me");
    EXPECT_EQ(check.groups[1].type, "2");
    EXPECT_EQ(formatCheckNotice(check), (Notice{"恭喜你，格式完全正确。", ""}));
}

TEST(RecoverTextCheck, BlankAndSpaceOnlyLinesChangeNothing) {
    const std::string plain = "2015-09-08 09:37:26\nhello\n4\n2015-09-08 09:38:00\nbye\n2\n";
    const std::string padded =
        "\n   \n\t2015-09-08 09:37:26  \r\n\r\n  hello  \r\n \t \n4\r\n"
        "      \n2015-09-08 09:38:00\n\n\nbye\n2   \n\n  ";
    const FormatCheck a = checkRecoverText(plain);
    const FormatCheck b = checkRecoverText(padded);
    ASSERT_TRUE(a.ok());
    ASSERT_TRUE(b.ok()) << errorText(b);
    ASSERT_EQ(b.groups.size(), a.groups.size());
    for (std::size_t i = 0; i < a.groups.size(); ++i) {
        EXPECT_EQ(b.groups[i].time, a.groups[i].time);
        EXPECT_EQ(b.groups[i].message, a.groups[i].message);  // spaces around a message are not kept
        EXPECT_EQ(b.groups[i].type, a.groups[i].type);
    }
}

TEST(RecoverTextCheck, TimeLineErrorNamesTheNonEmptyLineAndItsContent) {
    // The bad time line is the 7th line of the file but the 4th non-empty one.
    const FormatCheck check =
        checkRecoverText("\n2015-09-08 09:37:26\n\nhello\n4\n  \n2015-9-8 9:37:26\nbye\n2\n");
    ASSERT_FALSE(check.ok());
    EXPECT_TRUE(check.groups.empty());
    EXPECT_EQ(check.error->text, "第4行(时间行)格式有误,当前的内容为 2015-9-8 9:37:26\r\n\r\n" + kHints);
    EXPECT_EQ(check.error->caption, "");
}

TEST(RecoverTextCheck, OnlyTheFirstTypeLineIsHeldToFourOrTwo) {
    const FormatCheck first = checkRecoverText("2015-09-08 09:37:26\nhello\n7\n");
    ASSERT_FALSE(first.ok());
    EXPECT_EQ(first.error->text, "第3行格式有误，该行只能为4或2。您当前输入的内容为 7");

    const FormatCheck second =
        checkRecoverText("2015-09-08 09:37:26\nhello\n2\n2015-09-08 09:38:00\nbye\n7\n");
    ASSERT_TRUE(second.ok()) << errorText(second);
    ASSERT_EQ(second.groups.size(), 2u);
    EXPECT_EQ(second.groups[1].type, "7");
}

TEST(RecoverTextCheck, TrailingIncompleteGroupIsDroppedButItsTimeLineChecked) {
    const FormatCheck five = checkRecoverText("2015-09-08 09:37:26\nhello\n4\n2015-09-08 09:38:00\nbye\n");
    ASSERT_TRUE(five.ok()) << errorText(five);
    ASSERT_EQ(five.groups.size(), 1u);
    EXPECT_EQ(five.groups[0].message, "hello");

    const FormatCheck badTail = checkRecoverText("2015-09-08 09:37:26\nhello\n4\nnot a time\n");
    ASSERT_FALSE(badTail.ok());
    EXPECT_EQ(badTail.error->text, "第4行(时间行)格式有误,当前的内容为 not a time\r\n\r\n" + kHints);

    // Two lines: the first type line is never reached, so there is nothing to refuse.
    const FormatCheck two = checkRecoverText("2015-09-08 09:37:26\nhello\n");
    EXPECT_TRUE(two.ok());
    EXPECT_TRUE(two.groups.empty());
}

TEST(RecoverTextCheck, PercentSignsInALineAreShownAsTyped) {
    const FormatCheck check = checkRecoverText("100%s %d done\n");
    ASSERT_FALSE(check.ok());
    EXPECT_EQ(check.error->text, "第1行(时间行)格式有误,当前的内容为 100%s %d done\r\n\r\n" + kHints);
}

TEST(RecoverTextCheck, BrokenUtf8BecomesReplacementCharacters) {
    const FormatCheck check = checkRecoverText(
        "2015-09-08 09:37:26\nab\xC4\xE3\xBA\xC3"
        "cd\n4\n");
    ASSERT_TRUE(check.ok());
    // GBK bytes of 你好: one U+FFFD per maximal ill-formed subpart.
    EXPECT_EQ(check.groups[0].message, "ab\uFFFD\uFFFD\uFFFDcd");
}

TEST(RecoverTextFile, ReadsAFileWithCrLfLinesAndAByteOrderMark) {
    test::TempDir dir;
    const std::string path = dir.write("chat.txt",
                                       "\xEF\xBB\xBF"
                                       "2015-09-08 09:37:26\r\nhello\r\n4\r\n");
    const FormatCheck check = checkRecoverFile(path);
    ASSERT_TRUE(check.ok()) << errorText(check);
    ASSERT_EQ(check.groups.size(), 1u);
    EXPECT_EQ(check.groups[0].message, "hello");
}

TEST(RecoverTextFile, EmptyPathMissingFileAndFolderAreReported) {
    test::TempDir dir;
    EXPECT_EQ(errorText(checkRecoverFile("")), "您尚未设置待恢复文件所在的路径.");
    EXPECT_EQ(errorText(checkRecoverFile(dir.file("missing.txt"))), "文件打开失败。");
    EXPECT_EQ(errorText(checkRecoverFile(dir.file(""))), "文件打开失败。");
}

}  // namespace
}  // namespace talvio::recover
