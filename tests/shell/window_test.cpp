// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/chat_text_view.h"
#include "shell/load_workflow.h"
#include "shell/open_dialog.h"
#include "shell/progress_dialog.h"
#include "sources/chat_page.h"
#include "sources/database.h"
#include "sources/phone_folder.h"
#include "tests/iphone/iphone_test_support.h"
#include "tests/sources/android_sql.h"
#include "tests/support/android_folder.h"
#include "window_fixture.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

namespace talvio {
namespace {

using test::contactRow;
using test::messageRow;
using test::WindowTest;

class MainWindow : public WindowTest {
protected:
    void makeFolder() {
        test::makeAndroidFolder(folder.path(),
                                messageRow("491@s.whatsapp.net", 0, "0", "1496226000123", "hallo <b>") +
                                    messageRow("491@s.whatsapp.net", 1, "0", "1496226999000", "hi") +
                                    messageRow("g@g.us", 0, "0", "1500000000000", "x", "4917@s.whatsapp.net"),
                                contactRow("491@s.whatsapp.net", "Anna", nullptr) +
                                    contactRow("g@g.us", nullptr, nullptr) + contactRow("nomsg", "", ""));
        std::filesystem::create_directories(folder.path() + "cache/Profile Pictures");
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.save(QString::fromStdString(folder.path() + "cache/Profile Pictures/491.jpg"));
    }
    QStringList row(int i) {
        const QTreeWidgetItem* item = window.contactList()->topLevelItem(i);
        return {item->text(0), item->text(1), item->text(2)};
    }
    CMireloDlg window;
};

TEST_F(MainWindow, StartsEmptyWithTheDefaultPicture) {
    EXPECT_EQ(window.windowTitle(), "Talvio");
    EXPECT_EQ(window.contactList()->topLevelItemCount(), 0);
    EXPECT_EQ(window.contactList()->headerItem()->text(0), "Contact");
    EXPECT_EQ(window.contactList()->headerItem()->text(1), "Recent time");
    EXPECT_EQ(window.contactList()->headerItem()->text(2), "Quantity");
    EXPECT_EQ(window.idLabel()->text(), "");
    EXPECT_EQ(window.nameLabel()->text(), "");
    EXPECT_EQ(window.pictureBox()->pixmap().size(), QSize(96, 96));
    EXPECT_FALSE(window.recoverButton()->isVisible());
}

TEST_F(MainWindow, LoadFillsTheListAndCopiesPictures) {
    makeFolder();
    setLoadPaths(kSourceAndroid, folder.path(), "");
    loadChosenFolder(window);
    ASSERT_EQ(window.contactList()->topLevelItemCount(), 4);
    EXPECT_EQ(row(0), (QStringList{"g", "2017-07-14 02:40:00", "1"}));
    EXPECT_EQ(row(1), (QStringList{"Anna", "2017-05-31 10:36:39", "2"}));
    EXPECT_EQ(row(2), (QStringList{"UnGrouped Friend", "none", "0"}));
    EXPECT_EQ(row(3), (QStringList{"nomsg", "none", "0"}));
    EXPECT_EQ(programState().currentContactIndex, -1);
    EXPECT_EQ(programState().progressWindow, nullptr);
    const std::string copy = userData() + "images/491@s.whatsapp.net.jpg";
    EXPECT_TRUE(std::filesystem::exists(copy));
    // A second load keeps the copy it finds.
    test::writeFile(copy, "kept");
    loadChosenFolder(window);
    EXPECT_EQ(test::readFile(copy), "kept");
}

TEST_F(MainWindow, AndroidLoadLeavesTheFolderAsItWasAndShowsTheMainFileAlone) {
    makeFolder();
    const std::string db = folder.path() + "databases/msgstore.db";
    // A live write-ahead log beside the database, as on a phone copy: a connection that is never
    // closed keeps SQLite from checkpointing it away.
    Database writer;
    ASSERT_EQ(writer.open(db, Database::Access::ReadWriteExisting), 0);
    ASSERT_EQ(writer.exec("PRAGMA wal_autocheckpoint=0; " +
                          messageRow("491@s.whatsapp.net", 1, "0", "1700000000000", "in the log")),
              0);
    ASSERT_TRUE(std::filesystem::exists(db + "-wal"));
    test::writeFile(db + "-shm-undelete", "earlier index");
    const auto before = test::folderSnapshot(folder.path());
    setLoadPaths(kSourceAndroid, folder.path(), "");
    loadChosenFolder(window);
    window.contactList()->setCurrentItem(window.contactList()->topLevelItem(1));
    EXPECT_EQ(test::folderSnapshot(folder.path()), before);
    // What the log holds is not shown: the count and the time are the main file's.
    EXPECT_EQ(row(1), (QStringList{"Anna", "2017-05-31 10:36:39", "2"}));
}

// A phone folder from someone else: pictures that lead out of it, a name that is markup.
TEST_F(MainWindow, HostileFolderCannotReachFilesOutsideOrMarkUpTheDetails) {
    const std::string outside = home.path() + "private/";
    std::filesystem::create_directories(outside);
    QImage secret(30, 30, QImage::Format_RGB32);
    secret.fill(Qt::blue);
    ASSERT_TRUE(secret.save(QString::fromStdString(outside + "secret.jpg")));
    ASSERT_TRUE(secret.save(QString::fromStdString(outside + "x.jpg")));
    const std::string bigPicture = outside + "big.png";
    ASSERT_TRUE(QImage(2000, 2000, QImage::Format_RGB32).save(QString::fromStdString(bigPicture)));
    const std::string markup = "x<img src=\"" + bigPicture + "\" width=2000 height=2000>";
    // From cache/Profile Pictures/ three steps up is the temporary folder that holds both folders.
    const std::string homeName = std::filesystem::path(home.path()).parent_path().filename().string();
    const std::string climber = "../../../" + homeName + "/private/x@s.whatsapp.net";
    ASSERT_TRUE(std::filesystem::exists(folder.path() + "../" + homeName + "/private/x.jpg"));
    test::makeAndroidFolder(folder.path(), messageRow("492@s.whatsapp.net", 0, "0", "1496226000123", "hi"),
                            contactRow("492@s.whatsapp.net", markup.c_str(), nullptr) +
                                contactRow(climber.c_str(), "Climber", nullptr));
    std::filesystem::create_directories(folder.path() + "cache/Profile Pictures");
    std::filesystem::create_symlink(outside + "secret.jpg", folder.path() + "cache/Profile Pictures/492.jpg");
    const auto before = test::folderSnapshot(folder.path());
    setLoadPaths(kSourceAndroid, folder.path(), "");
    loadChosenFolder(window);
    // Nothing from outside the phone folder reaches the pictures folder.
    EXPECT_TRUE(!std::filesystem::exists(userData() + "images") ||
                std::filesystem::is_empty(userData() + "images"));

    window.contactList()->setCurrentItem(window.contactList()->topLevelItem(0));
    ASSERT_EQ(programState().currentContactName, markup);
    EXPECT_EQ(window.nameLabel()->text(), QString::fromStdString("Name: " + markup));
    // Shown as the letters it is: a rich label would lay out the 2000-pixel picture.
    EXPECT_LT(window.nameLabel()->sizeHint().height(), 100);
    EXPECT_EQ(window.pictureBox()->pixmap().toImage(), window.defaultPicture().toImage());
    QTest::mouseClick(window.pictureBox(), Qt::LeftButton);
    EXPECT_TRUE(desktop.openedImages.isEmpty());
    window.contactList()->setCurrentItem(window.contactList()->topLevelItem(2));
    EXPECT_EQ(programState().currentContactName, "Climber");
    EXPECT_EQ(window.pictureBox()->pixmap().toImage(), window.defaultPicture().toImage());
    EXPECT_EQ(test::folderSnapshot(folder.path()), before);
}

// The drive with the phone copy is gone after the list was filled: the next chat says it could not
// be read, and the previous one's messages never appear under its name.
TEST_F(MainWindow, AChatThatCannotBeReadNeverShowsThePreviousOne) {
    makeFolder();
    setLoadPaths(kSourceAndroid, folder.path(), "");
    loadChosenFolder(window);
    window.contactList()->setCurrentItem(window.contactList()->topLevelItem(1));
    auto* view = qobject_cast<ChatTextView*>(window.chatView());
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->toPlainText().contains("hallo"));
    std::filesystem::remove(folder.path() + "databases/msgstore.db");
    window.contactList()->setCurrentItem(window.contactList()->topLevelItem(0));
    EXPECT_EQ(window.nameLabel()->text(), "Name: g");
    EXPECT_FALSE(view->toPlainText().contains("hallo"));
    EXPECT_TRUE(view->toPlainText().contains("This chat could not be read: unable to open database file"));
}

TEST_F(MainWindow, HostileJidsCannotPlacePicturesOutsideTheImagesFolder) {
    EXPECT_EQ(profilePictureCopyPath("/u/", "../../etc/x@s.whatsapp.net"),
              "/u/images/_.._etc_x@s.whatsapp.net.jpg");
    EXPECT_EQ(profilePictureCopyPath("/u/", ".."), "/u/images/_.jpg");
    EXPECT_EQ(profilePictureCopyPath("/u/", "a\nb"), "/u/images/a_b.jpg");
    EXPECT_EQ(profilePictureCopyPath("/u/", "4915@s.whatsapp.net"), "/u/images/4915@s.whatsapp.net.jpg");
}

TEST_F(MainWindow, ProgressReportsDuringTheListFill) {
    std::string contacts;
    for (int i = 1; i < 100; ++i)
        contacts += contactRow(("p" + std::to_string(i)).c_str(), "n", nullptr);
    test::makeAndroidFolder(folder.path(), "", contacts);
    setLoadPaths(kSourceAndroid, folder.path(), "");
    struct Recorder : ProgressTarget {
        void onProgress() override { seen.push_back(programState().progressPercent); }
        std::vector<int> seen;
    } recorder;
    programState().progressWindow = &recorder;
    contactTable().destroy();
    CChatSoftware& android = window.chooseSource(kSourceAndroid);
    android.setFolder(chosenPhoneFolder());
    android.LoadContacts(contactTable());
    recorder.seen.clear();
    PopulateContactList(window, *window.currentSource());
    EXPECT_EQ(recorder.seen, (std::vector<int>{25, 75}));
    recorder.seen.clear();
    PopulateContactList(window, window.chooseSource(kSourceIPhone));
    EXPECT_EQ(recorder.seen, (std::vector<int>{62, 87}));
    programState().progressWindow = nullptr;
}

TEST_F(MainWindow, SelectionRendersAndFillsTheDetails) {
    makeFolder();
    setLoadPaths(kSourceAndroid, folder.path(), "");
    loadChosenFolder(window);
    window.contactList()->setCurrentItem(window.contactList()->topLevelItem(1));
    EXPECT_EQ(programState().currentContactIndex, 1);
    EXPECT_EQ(programState().currentContactName, "Anna");
    EXPECT_EQ(window.idLabel()->text(), "ID: 491");
    EXPECT_EQ(window.nameLabel()->text(), "Name: Anna");
    EXPECT_EQ(window.numberLabel()->text(), "");
    auto* view = qobject_cast<ChatTextView*>(window.chatView());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->toPlainText().contains("hallo &lt;b&gt;"));
    // The 40 x 20 picture is stretched over the whole box.
    const QImage shown = window.pictureBox()->pixmap().toImage();
    EXPECT_EQ(shown.size(), QSize(96, 96));
    EXPECT_EQ(QColor(shown.pixel(2, 2)).red() > 200, true);
    QTest::mouseClick(window.pictureBox(), Qt::LeftButton);
    ASSERT_EQ(desktop.openedImages.size(), 1);
    EXPECT_TRUE(desktop.openedImages[0].endsWith("cache/Profile Pictures/491.jpg"));

    // A group without a name: the number stands for the name, "Name: " stays bare.
    window.contactList()->setCurrentItem(window.contactList()->topLevelItem(0));
    EXPECT_EQ(programState().currentContactName, "g");
    EXPECT_EQ(window.idLabel()->text(), "ID: g");
    EXPECT_EQ(window.nameLabel()->text(), "Name: g");
    EXPECT_EQ(window.pictureBox()->pixmap().toImage(), window.defaultPicture().toImage());
    QTest::mouseClick(window.pictureBox(), Qt::LeftButton);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "No Image!");
}

TEST_F(MainWindow, PictureClickWithoutASelection) {
    QTest::mouseClick(window.pictureBox(), Qt::LeftButton);
    ASSERT_EQ(desktop.messageTexts(), QStringList{"No Image!"});
}

TEST_F(MainWindow, UndecodablePictureShowsTheDefault) {
    makeFolder();
    test::writeFile(folder.path() + "cache/Profile Pictures/491.jpg", "not a picture");
    setLoadPaths(kSourceAndroid, folder.path(), "");
    loadChosenFolder(window);
    window.contactList()->setCurrentItem(window.contactList()->topLevelItem(1));
    EXPECT_EQ(window.pictureBox()->pixmap().toImage(), window.defaultPicture().toImage());
}

TEST_F(MainWindow, EnterAndEscapeAndTheLayoutRules) {
    window.setStartUpDialogEnabled(false);
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    QTest::keyClick(window.contactList(), Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    window.resize(1200, 800);
    QApplication::processEvents();
    const QSize client = window.centralWidget()->size();
    // In the window's client area: the list and the chat lie in the two sides of a splitter.
    const auto inClient = [&](QWidget* part) {
        return QRect(part->mapTo(window.centralWidget(), QPoint(0, 0)), part->size());
    };
    const QRect list = inClient(window.contactList());
    const QRect chat = inClient(window.chatView());
    EXPECT_EQ(list.width(), 193 * 6 / 4);
    EXPECT_EQ(list.bottom() + 1, client.height() - 10);
    EXPECT_EQ(chat.right() + 1, client.width() - 10);
    EXPECT_EQ(chat.bottom() + 1, client.height() - 10);
}

TEST_F(MainWindow, StartUpLoadsSettingsBeforeTheFirstDialog) {
    SettingsRecord saved;
    saved.sourceKind = 1;
    saved.iphoneDataPath = "/from/settings/";
    ASSERT_FALSE(SaveSettings(platform::settingsFolder().toStdString(), saved).has_value());
    bool sawDialog = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<COpenWeiXinDataDlg*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        sawDialog = true;
        EXPECT_EQ(dialog->kind(), 1);
        EXPECT_EQ(dialog->pathEdit(1014)->text(), "/from/settings/");
        dialog->reject();
    });
    poll.start();
    window.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return sawDialog; }, 3000));
    // Cancel leaves the window empty and usable.
    EXPECT_EQ(window.currentSource(), nullptr);
    EXPECT_EQ(window.contactList()->topLevelItemCount(), 0);
}

TEST_F(MainWindow, IPhoneLoadWarnsWithoutResourcesAndListsChats) {
    test::makeIphoneFolder(folder.path(),
                           "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID, ZPARTNERNAME) VALUES "
                           "(1, 'a@s.whatsapp.net', 'Ann'), (2, 'b@s.whatsapp.net', NULL);"
                           "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGEDATE, ZFROMJID) VALUES "
                           "(1, 0, 730900800.5, 'a@s.whatsapp.net');");
    setLoadPaths(kSourceIPhone, folder.path(), "");
    loadChosenFolder(window);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text,
              "Because you didn't set resource path, so you can't see the images and play voice and video.");
    EXPECT_EQ(desktop.messages[0].caption, "");
    ASSERT_EQ(window.contactList()->topLevelItemCount(), 3);
    EXPECT_EQ(row(0), (QStringList{"Ann", "2024-02-29 12:00:00", "1"}));
    // A chat without a partner name is listed under its jid.
    EXPECT_EQ(row(2), (QStringList{"b@s.whatsapp.net", "none", "0"}));
}

TEST_F(MainWindow, HiddenRecoverButtonStillOpensTheTool) {
    QString title;
    whenModal([&](QWidget* dialog) {
        title = dialog->windowTitle();
        dialog->close();
    });
    window.recoverButton()->click();
    EXPECT_EQ(title, "恢复到数据库");
}

TEST(ProgressText, ElapsedAndRemaining) {
    EXPECT_EQ(progressStatusText(12300, 50), "Elapsed time: 12.3seconds / About12.3seconds remaining");
    EXPECT_EQ(progressStatusText(1500, 0), "Elapsed time: 1.5seconds / About0.0seconds remaining");
    EXPECT_EQ(progressStatusText(1000, 25), "Elapsed time: 1.0seconds / About3.0seconds remaining");
}

TEST_F(MainWindow, ProgressDialogFollowsThePercentage) {
    CDlgProgress dialog(&window);
    dialog.setClock([] { return qint64(12300); });
    EXPECT_EQ(dialog.windowTitle(), "Recovering... - Talvio");
    programState().progressPercent = 50;
    dialog.onProgress();
    EXPECT_EQ(dialog.position(), 50);
    EXPECT_EQ(dialog.statusText(), "Elapsed time: 12.3seconds / About12.3seconds remaining");
}

TEST_F(MainWindow, ProgressDialogCancelStopsTheLoadsQueries) {
    CDlgProgress dialog(&window);
    dialog.show();
    EXPECT_TRUE(dialog.isModal());
    EXPECT_TRUE(dialog.stillWanted());
    // Clicked where a person clicks: whatever lies on top of the button there takes the click.
    const QPoint where = dialog.cancelButton()->geometry().center();
    QWidget* target = dialog.childAt(where);
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&dialog, where));
    EXPECT_TRUE(dialog.cancelled());
    EXPECT_FALSE(dialog.stillWanted());
    programState().progressWindow = &dialog;
    EXPECT_FALSE(loadStillWanted());
    programState().progressWindow = nullptr;
}

}  // namespace
}  // namespace talvio
