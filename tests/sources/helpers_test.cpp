// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "sources/contact_table.h"
#include "sources/html_escape.h"
#include "sources/message_time.h"
#include "sources/program_state.h"
#include "sources/text_convert.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace talvio {
namespace {

TEST(TimeValueOf, MillisecondsSecondsAndJunk) {
    EXPECT_EQ(TimeValueOf("1496226000123"), 1496226000);
    EXPECT_EQ(TimeValueOf("412345678"), 412345678);
    EXPECT_EQ(TimeValueOf(""), 0);
    EXPECT_EQ(TimeValueOf("abc"), 0);
    EXPECT_EQ(TimeValueOf("  -42x"), -42);
    EXPECT_EQ(TimeValueOf("+7"), 7);
    // Saturates instead of wrapping: 12 digits are not cut, and exceed 32 bits.
    EXPECT_EQ(TimeValueOf("999999999999"), 2147483647);
    EXPECT_EQ(TimeValueOf("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(TimeValueOf("-999999999999"), -999999999);  // 13 characters: the sign counts too
}

class FormatMessageTimeTest : public ::testing::Test {
protected:
    void SetUp() override { resetProgramState(); }
    void TearDown() override { resetProgramState(); }
    std::string shown(int kind, int bias, const char* raw) {
        programState().sourceKind = kind;
        programState().timeZoneBias = bias;
        return FormatMessageTime(raw);
    }
};

TEST_F(FormatMessageTimeTest, AndroidAndIPhoneBases) {
    EXPECT_EQ(shown(kSourceAndroid, 0, "1496226000123"), "2017-05-31 10:20:00");
    EXPECT_EQ(shown(kSourceIPhone, 0, "86400"), "2001-01-02 00:00:00");
    // Any kind but Android counts from 2001, the value before any choice (-1) included.
    EXPECT_EQ(shown(kSourceNone, 0, "86400"), "2001-01-02 00:00:00");
}

TEST_F(FormatMessageTimeTest, NoneForMissingZeroAndNegative) {
    for (const char* raw : {"0", "", "x12", "-5"})
        EXPECT_EQ(shown(kSourceAndroid, 0, raw), "none") << raw;
    // A shift that takes the time below 1970 has no date: "none", not garbage.
    EXPECT_EQ(shown(kSourceAndroid, 300, "3600"), "none");
}

TEST_F(FormatMessageTimeTest, WholeHourShiftOfTheStandardBias) {
    EXPECT_EQ(shown(kSourceAndroid, -480, "1496226000123"), "2017-05-31 18:20:00");
    EXPECT_EQ(shown(kSourceAndroid, 300, "1496226000123"), "2017-05-31 05:20:00");
    EXPECT_EQ(shown(kSourceAndroid, -330, "1496226000123"), "2017-05-31 15:20:00");
}

TEST_F(FormatMessageTimeTest, IPhoneDatesAreRealCalendarDates) {
    // 2024-02-29 12:00:00 UTC and 2023-03-01 00:00:00 UTC, as seconds since 2001: shifting the
    // year of a 1970-based breakdown by 31 would show a day off or a February 29 that never was.
    EXPECT_EQ(shown(kSourceIPhone, 0, "730900800"), "2024-02-29 12:00:00");
    EXPECT_EQ(shown(kSourceIPhone, 0, "699321600"), "2023-03-01 00:00:00");
    EXPECT_EQ(shown(kSourceIPhone, 0, "699321600.75"), "2023-03-01 00:00:00");
}

TEST(JidToNumber, PartBeforeTheFirstAt) {
    EXPECT_EQ(JidToNumber("4915112345678@s.whatsapp.net"), "4915112345678");
    EXPECT_EQ(JidToNumber("UnGroupedFriend"), "UnGroupedFriend");
    EXPECT_EQ(JidToNumber("@s.whatsapp.net"), "");
    EXPECT_EQ(JidToNumber("a@b@c"), "a");
    EXPECT_EQ(JidToNumber(""), "");
}

TEST(SortContactsByLastTime, NewestFirstFirstOfEqualKeysWins) {
    ContactTable table;
    table.create(5);
    table.row(0).lastMessageTime = "5";
    const char* keys[] = {"9", "9", "0"};
    const char* names[] = {"first nine", "second nine", "zero"};
    for (int i = 0; i < 3; ++i) {
        ContactEntry& e = table.appendRow();
        e.lastMessageTime = keys[i];
        e.displayName = names[i];
    }
    std::vector<int> positions;
    SortContactsByLastTime(table, [&](int p) { positions.push_back(p); });
    EXPECT_EQ(table.row(0).displayName, "first nine");
    EXPECT_EQ(table.row(1).displayName, "second nine");
    EXPECT_EQ(table.row(2).jid, "UnGroupedFriend");
    EXPECT_EQ(table.row(3).displayName, "zero");
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 3}));
}

TEST(SortContactsByLastTime, SelectionSwapsReorderTies) {
    // The swap that brings the newest row forward moves the first tie behind the second:
    // the order users have always seen, so it is kept.
    ContactTable table;
    table.create(4);
    table.row(0).lastMessageTime = "1";
    const char* keys[] = {"1", "3"};
    for (const char* key : keys)
        table.appendRow().lastMessageTime = key;
    table.row(1).displayName = "tie";
    SortContactsByLastTime(table, {});
    EXPECT_EQ(table.row(0).lastMessageTime, "3");
    EXPECT_EQ(table.row(1).displayName, "tie");
    EXPECT_EQ(table.row(2).jid, "UnGroupedFriend");
}

TEST(SortContactsByLastTime, SameOrderAsTheSelectionSortOnManyTies) {
    // The order of the selection sort that users have always seen, written out the slow way.
    const auto reference = [](std::vector<ContactEntry> rows) {
        for (std::size_t p = 0; p < rows.size(); ++p) {
            std::size_t best = p;
            for (std::size_t r = p + 1; r < rows.size(); ++r) {
                if (TimeValueOf(rows[r].lastMessageTime) > TimeValueOf(rows[best].lastMessageTime))
                    best = r;
            }
            std::swap(rows[p], rows[best]);
        }
        return rows;
    };
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int round = 0; round < 20; ++round) {
        ContactTable table;
        const int count = 1 + static_cast<int>(next() % 400);
        table.create(count + 1);
        // Few distinct times, so that ties are everywhere; some rows have none at all.
        const std::uint32_t distinct = 1 + next() % 12;
        for (int i = 0; i < count; ++i) {
            ContactEntry& e = table.appendRow();
            e.jid = std::to_string(i);
            if (next() % 5 != 0)
                e.lastMessageTime = std::to_string(1'600'000'000 + next() % distinct);
        }
        const std::vector<ContactEntry> expected = reference(table.rows());
        SortContactsByLastTime(table, {});
        ASSERT_EQ(table.count(), static_cast<int>(expected.size()));
        for (int i = 0; i < table.count(); ++i)
            ASSERT_EQ(table.row(i).jid, expected[static_cast<std::size_t>(i)].jid)
                << "round " << round << " row " << i;
    }
}

TEST(EnsureDirectory, CreatesChainsAndRefusesTheRoot) {
    test::TempDir dir;
    const std::string deep = dir.path() + "a/b";
    EXPECT_TRUE(EnsureDirectory(deep));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "a"));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_TRUE(EnsureDirectory(deep + "/"));
    EXPECT_FALSE(EnsureDirectory("/"));
    EXPECT_FALSE(EnsureDirectory(""));
    // A file in the way cannot become a folder.
    test::writeFile(dir.path() + "file", "x");
    EXPECT_FALSE(EnsureDirectory(dir.path() + "file/sub"));
}

TEST(Conversions, RoundTripOfWellFormedText) {
    const std::string text = "Ünïcödé 中文 العربية 😀 <b>";
    EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
    EXPECT_EQ(WideToAnsi(AnsiToWide(text)), text);
    EXPECT_EQ(Utf8ToAnsi(text), text);
    EXPECT_EQ(Utf8ToWide("😀"), std::u16string(u"\xD83D\xDE00"));
}

TEST(Conversions, IllFormedInputBecomesReplacementCharacters) {
    // A stray continuation byte, a truncated sequence, an overlong form and an encoded surrogate.
    EXPECT_EQ(Utf8ToAnsi("a\x80z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(Utf8ToAnsi("a\xE4\xB8"), "a\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(WideToUtf8(std::u16string(u"x\xD800y")), "x\xEF\xBF\xBDy");
    EXPECT_EQ(WideToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
    EXPECT_TRUE(isWellFormedUtf8(Utf8ToAnsi("\xFF\xFE\xF5 ok")));
    EXPECT_EQ(Utf8ToAnsi("\xEF\xBF\xBD"), "\xEF\xBF\xBD");
}

TEST(Conversions, EscapingTouchesOnlyAngleBrackets) {
    EXPECT_EQ(escapeText("a<b>&c \"q\" 'x' \\"), "a&lt;b&gt;&c \"q\" 'x' \\");
    EXPECT_EQ(escapeText("<\x80>"), "&lt;\xEF\xBF\xBD&gt;");
}

}  // namespace
}  // namespace talvio
