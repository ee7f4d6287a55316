// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The open dialog on an iPhone computer backup: which rows show, the password, Cancel.
#include "shell/load_workflow.h"
#include "shell/open_dialog.h"
#include "shell/password_row.h"
#include "shell/progress_dialog.h"
#include "tests/iphone/iphone_test_support.h"
#include "window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <sys/stat.h>

#include <filesystem>
#include <memory>

namespace talvio {
namespace {

using test::WindowTest;

constexpr int kIPhoneDataEdit = 1014;
constexpr const char* kPassword = "Fr\xc3\xbchling 7";
const QList<int> kIPhoneRows{1040, 1014, 1018, 1041, 1019, 1020};
const QList<int> kBackupRows{1040, 1014, 1018};

class OpenIphoneBackup : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        m_window = std::make_unique<CMireloDlg>();
    }
    void TearDown() override {
        m_window.reset();
        WindowTest::TearDown();
    }
    QStringList listedNames() {
        QStringList names;
        for (int i = 0; i < m_window->contactList()->topLevelItemCount(); ++i)
            names.append(m_window->contactList()->topLevelItem(i)->text(0));
        return names;
    }
    std::string backup(const char* name, const std::string& password = {}, unsigned rounds = 8) {
        const std::string path = folder.path() + name + "/";
        test::makeIphoneBackup("basic", path, password, rounds);
        return path;
    }

    std::unique_ptr<CMireloDlg> m_window;
};

TEST_F(OpenIphoneBackup, RowsFollowWhatTheDataPathIs) {
    const std::string plain = backup("plain");
    const std::string encrypted = backup("encrypted", kPassword);
    COpenWeiXinDataDlg dialog(nullptr);
    dialog.setKind(kSourceIPhone);
    EXPECT_TRUE(dialog.hintLabel()->text().contains("computer backup"));
    EXPECT_TRUE(dialog.hintLabel()->text().contains("group.net.whatsapp.WhatsApp.shared"));
    PasswordRow* row = dialog.passwordRow();
    QLineEdit* path = dialog.pathEdit(kIPhoneDataEdit);

    path->setText(QString::fromStdString(test::iphoneFixtureData("basic")));
    EXPECT_EQ(dialog.visibleControls(), kIPhoneRows);
    EXPECT_TRUE(row->isHidden());
    // A backup brings its media: no resource row, and a password only when it is encrypted.
    path->setText(QString::fromStdString(plain));
    EXPECT_EQ(dialog.visibleControls(), kBackupRows);
    EXPECT_TRUE(row->isHidden());
    path->setText(QString::fromStdString(encrypted));
    EXPECT_EQ(dialog.visibleControls(), kBackupRows);
    EXPECT_FALSE(row->isHidden());
    EXPECT_EQ(row->passwordEdit()->echoMode(), QLineEdit::Password);
    row->showButton()->click();
    EXPECT_EQ(row->passwordEdit()->echoMode(), QLineEdit::Normal);
    row->passwordEdit()->setText("typed");
    // Gone with the backup: another path forgets what was typed.
    path->setText(QString::fromStdString(plain));
    EXPECT_TRUE(row->isHidden());
    EXPECT_TRUE(row->passwordEdit()->text().isEmpty());
    path->setText(QString::fromStdString(encrypted));
    dialog.setKind(kSourceAndroid);
    EXPECT_TRUE(row->isHidden());
}

TEST_F(OpenIphoneBackup, APasswordOpensTheBackupAndIsKeptNowhere) {
    const std::string encrypted = backup("encrypted", kPassword);
    const auto before = test::folderSnapshot(encrypted);
    setLoadPaths(kSourceIPhone, test::iphoneFixtureData("basic"), test::iphoneFixtureResources("basic"));
    loadChosenFolder(*m_window);
    const QStringList fromFolder = listedNames();
    ASSERT_FALSE(fromFolder.isEmpty());

    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<COpenWeiXinDataDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setKind(kSourceIPhone);
        dialog->pathEdit(kIPhoneDataEdit)->setText(QString::fromStdString(encrypted));
        dialog->passwordRow()->passwordEdit()->setText(QString::fromUtf8(kPassword));
        okButton(*dialog)->click();
        EXPECT_TRUE(dialog->passwordRow()->passwordEdit()->text().isEmpty());
    });
    runLoadWorkflow(*m_window);

    EXPECT_TRUE(desktop.messages.empty()) << desktop.messageTexts().join('\n').toStdString();
    EXPECT_EQ(listedNames(), fromFolder);
    EXPECT_EQ(programState().dataFolder, encrypted);
    // Its media are decrypted into a folder of our own, which the players take as the media's.
    const std::string privateFolder = programState().privateMediaFolder;
    EXPECT_EQ(programState().resourceFolder, privateFolder);
    EXPECT_NE(privateFolder.find("talvio-iphone-"), std::string::npos);
    struct stat status {};
    ASSERT_EQ(::stat(privateFolder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    // Another folder loaded, the backup's private folder is gone.
    setLoadPaths(kSourceIPhone, test::iphoneFixtureData("basic"), test::iphoneFixtureResources("basic"));
    loadChosenFolder(*m_window);
    EXPECT_EQ(programState().privateMediaFolder, "");
    EXPECT_FALSE(std::filesystem::exists(privateFolder));
    EXPECT_EQ(test::folderSnapshot(encrypted), before);
    SettingsRecord saved;
    LoadSettings(platform::settingsFolder().toStdString(), saved);
    EXPECT_EQ(saved.sourceKind, kSourceIPhone);
    EXPECT_EQ(saved.iphoneDataPath, encrypted);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path())) {
        if (entry.is_regular_file()) {
            EXPECT_EQ(test::readFile(entry.path().string()).find("hling 7"), std::string::npos)
                << entry.path();
        }
    }
}

TEST_F(OpenIphoneBackup, AWrongPasswordOrCancelKeepsTheDialog) {
    // Real key derivation takes seconds; enough rounds here for Cancel to come first.
    const std::string encrypted = backup("encrypted", kPassword, 4'000'000);
    COpenWeiXinDataDlg dialog(m_window.get());
    dialog.setKind(kSourceIPhone);
    dialog.pathEdit(kIPhoneDataEdit)->setText(QString::fromStdString(encrypted));
    okButton(dialog)->click();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(desktop.messages[0].text.contains("enter the password"));

    QTimer::singleShot(200, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<CDlgProgress*>(widget); progress && progress->isVisible())
                progress->cancelButton()->click();
        }
    });
    dialog.passwordRow()->passwordEdit()->setText(QString::fromUtf8(kPassword));
    okButton(dialog)->click();
    EXPECT_EQ(desktop.messages.size(), 1u);  // a Cancel says nothing
    EXPECT_FALSE(dialog.openedFolder().has_value());
    EXPECT_EQ(dialog.passwordRow()->passwordEdit()->text(), QString::fromUtf8(kPassword));
}

TEST_F(OpenIphoneBackup, AWrongPasswordIsSaidAndKeptToBeCorrected) {
    const std::string encrypted = backup("encrypted", kPassword);
    COpenWeiXinDataDlg dialog(m_window.get());
    dialog.setKind(kSourceIPhone);
    dialog.pathEdit(kIPhoneDataEdit)->setText(QString::fromStdString(encrypted));
    dialog.passwordRow()->passwordEdit()->setText("fruhling 7");
    okButton(dialog)->click();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(desktop.messages[0].text.contains("This password does not open this backup"));
    EXPECT_FALSE(desktop.messages[0].text.contains("fruhling"));
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_FALSE(dialog.openedFolder().has_value());
    EXPECT_EQ(dialog.passwordRow()->passwordEdit()->text(), "fruhling 7");
}

}  // namespace
}  // namespace talvio
