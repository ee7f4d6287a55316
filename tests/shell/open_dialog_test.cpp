// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/open_dialog.h"
#include "tests/support/android_folder.h"
#include "window_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

namespace talvio {
namespace {

using test::WindowTest;

class OpenDialog : public WindowTest {
protected:
    QString dataPath() const { return QString::fromStdString(folder.path()).chopped(1); }
    void makeIPhoneFolder(bool chatStorage, bool contacts) {
        if (chatStorage)
            test::writeFile(folder.path() + "ChatStorage.sqlite", "");
        if (contacts)
            test::writeFile(folder.path() + "Contacts.sqlite", "");
    }
    QPushButton* button(COpenWeiXinDataDlg& dialog, const char* text) {
        for (auto* b : dialog.findChildren<QPushButton*>()) {
            if (b->text() == QLatin1String(text))
                return b;
        }
        return nullptr;
    }
};

TEST_F(OpenDialog, LayoutsAndHintsPerKind) {
    COpenWeiXinDataDlg dialog(nullptr);
    EXPECT_EQ(dialog.kind(), -1);
    EXPECT_EQ(dialog.visibleControls(), (QList<int>{1039, 1010, 1012}));
    EXPECT_EQ(dialog.hintLabel()->text(),
              "Hint: Data path is required, resource path is not absolute required.");
    dialog.setKind(1);
    EXPECT_EQ(dialog.visibleControls(), (QList<int>{1040, 1014, 1018, 1041, 1019, 1020}));
    EXPECT_TRUE(dialog.hintLabel()->text().startsWith("Hint: Data path is required"));
    EXPECT_TRUE(
        dialog.hintLabel()->text().contains("\"net.whatsapp.WhatsApp\" folder exported from iPhone."));
    dialog.setKind(0);
    // Android shows its media row beside a "com.whatsapp" folder.
    EXPECT_EQ(dialog.visibleControls(), (QList<int>{1039, 1010, 1012, 1038, 1011, 1013}));
    EXPECT_TRUE(
        dialog.hintLabel()->text().startsWith("Android WhatsApp data path is the \"com.whatsapp\" folder"));
}

TEST_F(OpenDialog, MessagesOfOkInOrder) {
    COpenWeiXinDataDlg dialog(nullptr);
    QPushButton* ok = button(dialog, "OK");
    ok->click();
    dialog.setKind(0);
    ok->click();
    dialog.pathEdit(1010)->setText(dataPath());
    ok->click();  // neither database file
    std::filesystem::create_directories(folder.path() + "databases");
    test::writeFile(folder.path() + "databases/msgstore.db", "");
    ok->click();  // wa.db missing
    dialog.setKind(1);
    dialog.pathEdit(1014)->setText(dataPath());
    makeIPhoneFolder(true, false);
    ok->click();
    ASSERT_EQ(desktop.messages.size(), 5u);
    EXPECT_EQ(desktop.messages[0].text, "Please set WhatsApp type at first.");
    EXPECT_EQ(desktop.messages[0].caption, "");
    EXPECT_EQ(desktop.messages[1].text, "Please set WhatsApp data folder.");
    const QString android =
        "Couldn't find the database file. \rData path must be set to \"com.whatsapp\" folder "
        "exported from android phone.";
    EXPECT_EQ(desktop.messages[2].text, android);
    EXPECT_EQ(desktop.messages[2].caption, platform::programName());
    EXPECT_EQ(desktop.messages[3].text, android);
    EXPECT_EQ(desktop.messages[4].text,
              "Couldn't find the database file. \rData path must be set to "
              "\"group.net.whatsapp.WhatsApp.shared\" folder.");
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(programState().messageDbPath.empty());
}

TEST_F(OpenDialog, AcceptedAndroidPathGetsItsSlashAndIsSaved) {
    test::makeAndroidFolder(folder.path(), "", "");
    settingsRecord().sourceKind = 1;
    settingsRecord().iphoneDataPath = "/phone/shared/";
    settingsRecord().iphoneResourcePath = "/phone/res/";
    COpenWeiXinDataDlg dialog(nullptr);
    EXPECT_EQ(dialog.kind(), 1);
    EXPECT_EQ(dialog.pathEdit(1014)->text(), "/phone/shared/");
    dialog.setKind(0);
    dialog.pathEdit(1010)->setText(dataPath());
    button(dialog, "OK")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(programState().sourceKind, 0);
    EXPECT_EQ(programState().dataFolder, folder.path());
    EXPECT_EQ(programState().messageDbPath, folder.path() + "databases/msgstore.db");
    EXPECT_EQ(programState().contactDbPath, folder.path() + "databases/wa.db");
    EXPECT_EQ(programState().resourceFolder, "");

    SettingsRecord saved;
    LoadSettings(platform::settingsFolder().toStdString(), saved);
    EXPECT_EQ(saved.sourceKind, 0);
    EXPECT_EQ(saved.androidDataPath, folder.path());
    EXPECT_EQ(saved.iphoneDataPath, "/phone/shared/");
    EXPECT_EQ(saved.iphoneResourcePath, "/phone/res/");
}

TEST_F(OpenDialog, IPhoneWithoutResourceFolderAndOverLongPaths) {
    makeIPhoneFolder(true, true);
    COpenWeiXinDataDlg dialog(nullptr);
    dialog.setKind(1);
    dialog.pathEdit(1014)->setText(QString::fromStdString(folder.path() + std::string(300, 'x')));
    button(dialog, "OK")->click();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(desktop.messages[0].text.contains("too long"));
    EXPECT_EQ(dialog.result(), 0);

    dialog.pathEdit(1014)->setText(dataPath());
    button(dialog, "OK")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(programState().sourceKind, 1);
    EXPECT_EQ(programState().messageDbPath, folder.path() + "ChatStorage.sqlite");
    EXPECT_EQ(programState().resourceFolder, "");
}

TEST_F(OpenDialog, BrowseKeepsTypedTextAndCancelChangesNothing) {
    COpenWeiXinDataDlg dialog(nullptr);
    dialog.setKind(1);
    dialog.pathEdit(1014)->setText("/typed");
    desktop.folders = {"/picked/res", ""};
    dialog.browseButton(1020)->click();
    EXPECT_EQ(dialog.pathEdit(1014)->text(), "/typed");
    EXPECT_EQ(dialog.pathEdit(1019)->text(), "/picked/res/");
    dialog.browseButton(1018)->click();
    EXPECT_EQ(dialog.pathEdit(1014)->text(), "/typed");
}

TEST_F(OpenDialog, EnterAndEscapeDoNotCloseIt) {
    COpenWeiXinDataDlg dialog(nullptr);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QTest::keyClick(dialog.pathEdit(1010), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(OpenDialog, UnwritableSettingsStillAcceptTheFolder) {
    test::makeAndroidFolder(folder.path(), "", "");
    // A file where the settings folder should be: neither opened nor created for writing.
    test::writeFile(home.path() + "blocked", "x");
    platform::setSettingsFolder(QString::fromStdString(home.path() + "blocked/talvio/"));
    COpenWeiXinDataDlg dialog(nullptr);
    dialog.setKind(0);
    dialog.pathEdit(1010)->setText(dataPath());
    button(dialog, "OK")->click();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "Save setting failure. Please run it as administrator.");
    EXPECT_EQ(desktop.messages[0].owner, nullptr);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace talvio
