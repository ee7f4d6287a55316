// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/recover_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <ostream>

#include "sources/database.h"
#include "sources/program_state.h"
#include "temp_dir.h"
#include "tests/support/fake_desktop.h"

namespace talvio::recover {

void PrintTo(const Notice& notice, std::ostream* os) {
    *os << "{\"" << notice.text << "\", \"" << notice.caption << "\"}";
}

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using FakeDesktop = talvio::test::FakeDesktop;

constexpr std::int64_t kMax = 9223372036854775807;
// The chat table of the WeChat id "wxid_abc".
constexpr char kTable[] = "Chat_cdebbea2056901bfd390f03a4e892e6e";
const Notice kFinished{"添加完成!!!!!", ""};

class RecoverDialog : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        programState().timeZoneBias = -8 * 60;
    }
    void TearDown() override { resetProgramState(); }

    std::vector<Notice> shown() {
        std::vector<Notice> notices;
        for (const FakeDesktop::Message& m : desktop.messages) {
            EXPECT_EQ(m.buttons, platform::Buttons::Ok);
            notices.push_back({m.text.toStdString(), m.caption.toStdString()});
        }
        desktop.messages.clear();
        return notices;
    }
    static std::string text(const CDlgRecoverToDatabase& dialog, int box) {
        return dialog.box(box)->text().toStdString();
    }
    static void type(CDlgRecoverToDatabase& dialog, int box, const std::string& text) {
        dialog.box(box)->setText(QString::fromStdString(text));
    }

    std::string makeDatabase() {
        const std::string path = dir.file("MM.sqlite");
        Database db;
        EXPECT_EQ(db.open(path, Database::Access::Create), 0);
        EXPECT_EQ(
            db.exec(std::string("CREATE TABLE ") + kTable +
                    " (TableVer integer default 1, MesLocalID integer primary key autoincrement, "
                    "MesSvrID integer default 0, CreateTime integer default 0, Message text, "
                    "Status integer default 0, ImgStatus integer default 0, Type integer, Des integer);"),
            0);
        return path;
    }
    // "MesSvrID CreateTime Message Status ImgStatus Type Des", one text per row.
    std::vector<std::string> rows(const std::string& path) const {
        Database db;
        EXPECT_EQ(db.open(path, Database::Access::ReadWriteExisting), 0);
        Statement select(db, std::string("select MesSvrID, CreateTime, Message, Status, ImgStatus, Type, Des "
                                         "from ") +
                                 kTable + " order by MesLocalID");
        std::vector<std::string> result;
        while (select.step()) {
            std::string row = select.text(0);
            for (int column = 1; column < 7; ++column)
                row += std::string(" ") + select.text(column);
            result.push_back(row);
        }
        return result;
    }

    FakeDesktop desktop;
    test::TempDir dir;
};

TEST_F(RecoverDialog, OpensModallyAndClosesWithItsKeys) {
    std::string title;
    QTimer::singleShot(0, [&title] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        title = modal->windowTitle().toStdString();
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    runRecoverTool(nullptr);
    EXPECT_EQ(title, "恢复到数据库");

    CDlgRecoverToDatabase dialog(nullptr);
    dialog.show();
    EXPECT_EQ(text(dialog, kStartValueBox), "9223372036854775807");
    type(dialog, kTextFileBox, "/typed.txt");
    QTest::keyClick(dialog.box(kTextFileBox), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.members().textFilePath, "");

    dialog.show();
    dialog.close();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.members().textFilePath, "");

    // Enter is OK: it reads every box, and a start value that is no integer keeps the dialog open.
    dialog.show();
    type(dialog, kIdOrTableNameBox, "wxid_abc");
    type(dialog, kStartValueBox, "12abc");
    QTest::keyClick(dialog.box(kIdOrTableNameBox), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_THAT(shown(), ElementsAre(Notice{"请输入一个整数。", ""}));
    EXPECT_EQ(dialog.members().textFilePath, "/typed.txt");
    EXPECT_EQ(dialog.members().idOrTableName, "wxid_abc");
    EXPECT_EQ(dialog.members().startValue, kMax);
    type(dialog, kStartValueBox, "-5");
    QTest::keyClick(dialog.box(kTextFileBox), Qt::Key_Enter);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.members().startValue, -5);
}

TEST_F(RecoverDialog, BrowseButtonsWriteEveryMemberBack) {
    CDlgRecoverToDatabase dialog(nullptr);
    type(dialog, kDatabaseBox, "/typed/MM.sqlite");
    type(dialog, kIdOrTableNameBox, "wxid_abc");
    type(dialog, kStartValueBox, "100");
    desktop.openFiles = {"", "/home/me/chat.txt"};
    dialog.button(kBrowseTextFileButton)->click();
    EXPECT_EQ(text(dialog, kDatabaseBox), "/typed/MM.sqlite");
    dialog.button(kBrowseTextFileButton)->click();
    EXPECT_EQ(text(dialog, kTextFileBox), "/home/me/chat.txt");
    // Typed but never read: the members' values replace it.
    EXPECT_EQ(text(dialog, kDatabaseBox), "");
    EXPECT_EQ(text(dialog, kIdOrTableNameBox), "");
    EXPECT_EQ(text(dialog, kStartValueBox), "9223372036854775807");
    ASSERT_EQ(desktop.pickers.size(), 2u);
    EXPECT_EQ(desktop.pickers[1].filter, "文本文档 (*.txt)");
    EXPECT_EQ(desktop.pickers[1].owner, &dialog);

    type(dialog, kTextFileBox, "/typed.txt");
    desktop.openFiles = {"/x/mm.db", "/x/ChatStorage.sqlite", "", "/x/MM.SQLITE"};
    for (int i = 0; i < 4; ++i)
        dialog.button(kBrowseDatabaseButton)->click();
    ASSERT_FALSE(desktop.messages.empty());
    EXPECT_EQ(desktop.messages[0].owner, &dialog);
    const Notice wrong{"选择的数据库文件有误，数据库文件为MM.sqlite文件（暂时只支持恢复至苹果手机）", ""};
    EXPECT_THAT(shown(), ElementsAre(wrong, wrong));
    EXPECT_EQ(desktop.pickers.back().filter, "苹果手机数据库文件 (*.sqlite)");
    EXPECT_EQ(text(dialog, kDatabaseBox), "/x/MM.SQLITE");
    EXPECT_EQ(text(dialog, kTextFileBox), "/home/me/chat.txt");
}

TEST_F(RecoverDialog, CheckFormatReadsTheBoxAndReportsWhatItFinds) {
    CDlgRecoverToDatabase dialog(nullptr);
    QPushButton* check = dialog.button(kCheckFormatButton);
    check->click();
    type(dialog, kTextFileBox,
         dir.write("bad.txt", "2015-09-08 09:37:26\n\nhello\n4\n   \n2015-9-8 9:37:26\n"));
    check->click();
    type(dialog, kTextFileBox, dir.write("good.txt", "2015-09-08 09:37:26\nhello\n4\n2015-09-08 09:37:27\n"));
    check->click();
    const std::vector<Notice> notices = shown();
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[0], (Notice{"您尚未设置待恢复文件所在的路径.", ""}));
    // The line breaks reach the desktop as the text has them.
    EXPECT_THAT(notices[1].text,
                ::testing::StartsWith("第4行(时间行)格式有误,当前的内容为 2015-9-8 9:37:26\r\n\r\n"
                                      "1. 时间行格式应该类似于"));
    EXPECT_EQ(notices[1].caption, "");
    EXPECT_EQ(notices[2], (Notice{"恭喜你，格式完全正确。", ""}));
}

TEST_F(RecoverDialog, RecoversFromTheStartValueEveryTime) {
    const std::string database = makeDatabase();
    CDlgRecoverToDatabase dialog(nullptr);
    type(dialog, kTextFileBox,
         dir.write("chat.txt",
                   "2015-09-08 09:37:26\nhello\n4\n\n2045-06-01 12:00:00\n it's mine \n2\n"
                   "2015-09-08 09:37:28\nlast\n7\n2015-09-08 09:37:29\n"));
    type(dialog, kDatabaseBox, database);
    type(dialog, kIdOrTableNameBox, "wxid_abc");
    QPushButton* recover = dialog.button(kRecoverButton);
    recover->click();
    EXPECT_THAT(shown(), ElementsAre(kFinished));
    EXPECT_EQ(desktop.pickers.size(), 0u);
    EXPECT_THAT(rows(database), ElementsAre("9223372036854775807 1441676246 hello 4 1 1 1",
                                            "9223372036854775806 2379902400 it's mine 2 1 1 0",
                                            "9223372036854775805 1441676248 last 7 1 1 0"));

    // A recovery does not use the start value up, and a bad one leaves the previous in force.
    type(dialog, kStartValueBox, "ten");
    recover->click();
    EXPECT_THAT(shown(), ElementsAre(Notice{"请输入一个整数。", ""}, kFinished));
    std::vector<std::string> stored = rows(database);
    ASSERT_EQ(stored.size(), 6u);
    EXPECT_THAT(stored[3], ::testing::StartsWith("9223372036854775807 "));

    type(dialog, kStartValueBox, "100");
    type(dialog, kIdOrTableNameBox, "wxid_without_table");
    recover->click();
    const std::vector<Notice> notices = shown();
    ASSERT_EQ(notices.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(notices[i].caption, "添加失败");
        EXPECT_THAT(notices[i].text, HasSubstr(" values (" + std::to_string(100 - i) + ", "));
    }
    EXPECT_THAT(notices[1].text, HasSubstr(", 'it''s mine', 2, 1, 1, 0);"));
    EXPECT_EQ(notices[3], kFinished);
    EXPECT_EQ(rows(database).size(), 6u);
}

// A file with many groups that all fail must not hold the user in front of a box for each.
TEST_F(RecoverDialog, ManyFailedGroupsAskBeforeShowingTheRest) {
    const std::string database = makeDatabase();
    CDlgRecoverToDatabase dialog(nullptr);
    std::string text;
    for (int i = 0; i < 8; ++i)
        text += "2015-09-08 09:37:2" + std::to_string(i) + "\nline " + std::to_string(i) + "\n4\n";
    type(dialog, kTextFileBox, dir.write("chat.txt", text));
    type(dialog, kDatabaseBox, database);
    type(dialog, kIdOrTableNameBox, "wxid_without_table");
    const auto boxes = [this] {
        std::vector<std::pair<std::string, platform::Buttons>> seen;
        for (const FakeDesktop::Message& m : desktop.messages)
            seen.emplace_back(m.caption.toStdString(), m.buttons);
        desktop.messages.clear();
        return seen;
    };
    const std::pair<std::string, platform::Buttons> failed{"添加失败", platform::Buttons::Ok};
    const std::pair<std::string, platform::Buttons> question{"", platform::Buttons::YesNo};
    const std::pair<std::string, platform::Buttons> finished{"", platform::Buttons::Ok};

    desktop.answers = {platform::Answer::Ok, platform::Answer::Ok, platform::Answer::Ok,
                       platform::Answer::No};
    dialog.button(kRecoverButton)->click();
    EXPECT_THAT(boxes(), ElementsAre(failed, failed, failed, question, finished));

    desktop.answers = {platform::Answer::Ok, platform::Answer::Ok, platform::Answer::Ok,
                       platform::Answer::Yes};
    dialog.button(kRecoverButton)->click();
    const auto all = boxes();
    ASSERT_EQ(all.size(), 10u);
    EXPECT_EQ(all[3], question);
    EXPECT_EQ(std::count(all.begin(), all.end(), failed), 8);
}

}  // namespace
}  // namespace talvio::recover
