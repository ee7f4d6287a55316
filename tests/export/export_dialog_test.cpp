// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The export dialog as the main window opens it, driven offscreen with scripted answers.
#include "export/export_dialog.h"
#include "export/export_progress.h"
#include "tests/export/page_scan.h"
#include "tests/shell/window_fixture.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <filesystem>

namespace talvio {
namespace {

namespace fs = std::filesystem;
using platform::Answer;

const std::string kSamples = std::string(TALVIO_BUILD_DIR) + "/samples/";
const std::string kIphoneData = kSamples + "iphone/group.net.whatsapp.WhatsApp.shared/";
const std::string kIphoneResources = kSamples + "iphone/net.whatsapp.WhatsApp/";
const std::string kAndroidData = kSamples + "android/com.whatsapp/";

QStringList rowTexts(const CDlgExport& dialog, int row) {
    QStringList texts;
    for (int c = 0; c < 3; ++c)
        texts << dialog.contactList()->item(row, c)->text();
    return texts;
}

std::vector<int> checked(const CDlgExport& dialog) {
    return dialog.checkedRows();
}

std::size_t indexLinkCount(const std::string& folder) {
    return test::indexLinks(folder).size();
}

class ExportDialog : public test::WindowTest {
protected:
    // Opens the dialog from the File menu's command and runs action on it while it is open.
    void withDialog(const std::function<void(CDlgExport&)>& action) {
        bool opened = false;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<CDlgExport*>(modal);
            ASSERT_NE(dialog, nullptr);
            opened = true;
            action(*dialog);
            dialog->close();
        });
        window.exportChats();
        EXPECT_TRUE(opened);
    }
    // The table of a phone folder without a window's load: rows as the loaders leave them.
    static void makeTable() {
        ContactTable& table = contactTable();
        table.create(4);
        auto add = [&table](const char* jid, const char* name, int count) {
            ContactEntry& e = table.appendRow();
            e.jid = jid;
            e.displayName = name;
            e.messageCount = count;
        };
        add("4915@s.whatsapp.net", "Anna", 3);
        add("4917-1500000000@g.us", "Hiking", 5);
        add("4930@s.whatsapp.net", "", 0);
    }
    CMireloDlg window;
    const std::string out = folder.path() + "export";
};

TEST_F(ExportDialog, ListsEveryRowOfTheTableUnchecked) {
    makeTable();
    CDlgExport dialog(&window, nullptr);
    ASSERT_EQ(dialog.contactList()->rowCount(), 4);
    EXPECT_EQ(rowTexts(dialog, 0), (QStringList{"UnGrouped Friend", "UnGroupedFriend", "0"}));
    EXPECT_EQ(rowTexts(dialog, 1), (QStringList{"Anna", "4915@s.whatsapp.net", "3"}));
    // Without a name the jid stands in both columns.
    EXPECT_EQ(rowTexts(dialog, 3), (QStringList{"4930@s.whatsapp.net", "4930@s.whatsapp.net", "0"}));
    EXPECT_TRUE(checked(dialog).empty());
    EXPECT_FALSE(dialog.selectAllBox()->isChecked());
}

TEST_F(ExportDialog, SelectAllTogglesFromItsOwnState) {
    makeTable();
    CDlgExport dialog(&window, nullptr);
    dialog.selectAllBox()->click();
    EXPECT_EQ(checked(dialog), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(dialog.selectAllBox()->isChecked());
    dialog.selectAllBox()->click();
    EXPECT_TRUE(checked(dialog).empty());
    EXPECT_FALSE(dialog.selectAllBox()->isChecked());

    // Rows with messages only, whatever the user had checked; the box is left as it is.
    dialog.setRowChecked(3, true);
    dialog.withMessagesButton()->click();
    EXPECT_EQ(checked(dialog), (std::vector<int>{1, 2}));
    EXPECT_FALSE(dialog.selectAllBox()->isChecked());
    dialog.selectAllBox()->click();
    EXPECT_EQ(checked(dialog), (std::vector<int>{0, 1, 2, 3}));

    // Checked, then narrowed by the other button: the next click still clears, as its state says.
    dialog.withMessagesButton()->click();
    EXPECT_EQ(checked(dialog), (std::vector<int>{1, 2}));
    EXPECT_TRUE(dialog.selectAllBox()->isChecked());
    dialog.selectAllBox()->click();
    EXPECT_TRUE(checked(dialog).empty());
    EXPECT_FALSE(dialog.selectAllBox()->isChecked());
}

TEST_F(ExportDialog, AnEmptyTableHasNothingToExport) {
    withDialog([&](CDlgExport& dialog) {
        EXPECT_EQ(dialog.contactList()->rowCount(), 0);
        dialog.selectAllBox()->click();
        dialog.withMessagesButton()->click();
        EXPECT_EQ(dialog.contactList()->rowCount(), 0);
        dialog.exportButton()->click();
    });
    EXPECT_EQ(desktop.messageTexts(),
              QStringList{"There are no chats to export. Open a WhatsApp database first."});
    EXPECT_TRUE(desktop.pickers.empty());
}

TEST_F(ExportDialog, ExportModeIsOnExactlyWhileItIsOpenAndItsKeysAreSwallowed) {
    makeTable();
    EXPECT_FALSE(programState().exportMode);
    withDialog([&](CDlgExport& dialog) {
        EXPECT_TRUE(programState().exportMode);
        dialog.setRowChecked(1, true);
        for (QWidget* target :
             std::initializer_list<QWidget*>{&dialog, dialog.contactList(), dialog.selectAllBox(),
                                             dialog.withMessagesButton(), dialog.exportButton()}) {
            target->setFocus();
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                QTest::keyClick(target, key);
        }
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(checked(dialog), std::vector<int>{1});
        EXPECT_FALSE(dialog.selectAllBox()->isChecked());
    });
    // No key pressed Export, or anything else.
    EXPECT_TRUE(desktop.pickers.empty());
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_FALSE(programState().exportMode);
}

TEST_F(ExportDialog, ExportsTheIphoneSampleAndOpensTheFolder) {
    const auto dataBefore = test::folderSnapshot(kIphoneData);
    const auto resourcesBefore = test::folderSnapshot(kIphoneResources);
    ASSERT_TRUE(
        window.openFolder(QString::fromStdString(kIphoneData), QString::fromStdString(kIphoneResources)));
    desktop.folders = {QString(), QString::fromStdString(out)};
    desktop.answers = {Answer::Ok, Answer::Yes};
    withDialog([&](CDlgExport& dialog) {
        ASSERT_EQ(dialog.contactList()->rowCount(), 6);
        dialog.exportButton()->click();  // nothing checked yet
        dialog.selectAllBox()->click();
        dialog.exportButton()->click();  // the picker is cancelled
        EXPECT_FALSE(fs::exists(out));
        dialog.exportButton()->click();
        EXPECT_TRUE(programState().exportMode);
    });
    ASSERT_EQ(desktop.pickers.size(), 2u);
    EXPECT_EQ(desktop.pickers[0].kind, test::FakeDesktop::PickerKind::Folder);
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(desktop.messages[0].text, "Check the contacts whose chats you want to export.");
    const test::FakeDesktop::Message& closing = desktop.messages[1];
    EXPECT_EQ(closing.text, QString::fromStdString("Exported 6 chats.\nWritten into " + out +
                                                   ": 7 pages (index.html included) and 7 media files.\n\n"
                                                   "Open the folder now?"));
    EXPECT_EQ(closing.buttons, platform::Buttons::YesNo);
    EXPECT_EQ(closing.icon, platform::Icon::Information);
    EXPECT_EQ(desktop.openedAddresses, QStringList{QString::fromStdString(out)});

    EXPECT_EQ(indexLinkCount(out), 6u);
    const std::string sofia = test::readFile(out + "/46701234567.html");
    EXPECT_NE(sofia.find("<img src=\"images\\92c4e1a7-5f3b-4d08-8e61-2a7b9c0d1e3f.jpg\"/>"),
              std::string::npos);
    EXPECT_NE(sofia.find("PlayMyWav(this,'4b81d3f0-7a2c-4e95-b1d6-8f3e0a5c7b29')"), std::string::npos);
    EXPECT_GT(fs::file_size(out + "/voice/4b81d3f0-7a2c-4e95-b1d6-8f3e0a5c7b29.wav"), 44u);
    EXPECT_TRUE(fs::is_regular_file(out + "/video/c7e02b94-1d6f-4a38-9c25-6b0e8f3a1d57.mp4"));
    // The user's phone folders are as they were, and the window's selection too.
    EXPECT_EQ(test::folderSnapshot(kIphoneData), dataBefore);
    EXPECT_EQ(test::folderSnapshot(kIphoneResources), resourcesBefore);
    EXPECT_EQ(programState().currentContactIndex, -1);
    EXPECT_FALSE(programState().exportMode);
}

TEST_F(ExportDialog, ExportsTheAndroidChatsWithMessages) {
    const auto before = test::folderSnapshot(kAndroidData);
    ASSERT_TRUE(window.openFolder(QString::fromStdString(kAndroidData), QString()));
    desktop.folders = {QString::fromStdString(out)};
    desktop.answers = {Answer::No};
    withDialog([&](CDlgExport& dialog) {
        dialog.withMessagesButton()->click();
        EXPECT_EQ(checked(dialog).size(), 12u);
        dialog.exportButton()->click();
    });
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text,
              QString::fromStdString(
                  "Exported 12 chats.\nWritten into " + out +
                  ": 13 pages (index.html included) and 0 media files.\n\nOpen the folder now?"));
    EXPECT_TRUE(desktop.openedAddresses.isEmpty());
    EXPECT_EQ(indexLinkCount(out), 12u);
    EXPECT_FALSE(fs::exists(out + "/5511987654321.html"));  // no messages, not checked
    const std::string index = test::readFile(out + "/index.html");
    EXPECT_NE(index.find("&lt;img src=x onerror=alert(1)&gt;"), std::string::npos);
    EXPECT_EQ(test::folderSnapshot(kAndroidData), before);
}

TEST_F(ExportDialog, CancelStopsAfterTheCurrentChat) {
    ASSERT_TRUE(
        window.openFolder(QString::fromStdString(kIphoneData), QString::fromStdString(kIphoneResources)));
    desktop.folders = {QString::fromStdString(out)};
    // Cancel as soon as the first chat is done, while the dialog waits between chats.
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* progress = qobject_cast<CDlgExportProgress*>(QApplication::activeModalWidget());
        if (progress != nullptr && progress->bar()->value() >= 1) {
            progress->cancelButton()->click();
            poll.stop();
        }
    });
    withDialog([&](CDlgExport& dialog) {
        dialog.selectAllBox()->click();
        poll.start();
        dialog.exportButton()->click();
    });
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].icon, platform::Icon::Exclamation);
    EXPECT_TRUE(desktop.messages[0].text.startsWith(QString::fromStdString(
        "The export was cancelled after 1 of 6 chats; 5 chats were not exported.\nWritten "
        "into " +
        out + ": 2 pages (index.html included) and ")))
        << desktop.messages[0].text.toStdString();
    EXPECT_EQ(indexLinkCount(out), 1u);
}

}  // namespace
}  // namespace talvio
