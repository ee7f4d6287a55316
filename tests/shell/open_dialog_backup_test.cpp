// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The open dialog on the phone's WhatsApp folder: its backups, their key, the contacts file.
#include "backup/backup_writer.h"
#include "shell/backup_rows.h"
#include "shell/load_workflow.h"
#include "shell/open_dialog.h"
#include "shell/open_memory.h"
#include "shell/progress_dialog.h"
#include "tests/sources/android_sql.h"
#include "tests/support/android_folder.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>
#include <memory>

namespace talvio {
namespace {

using test::contactRow;
using test::messageRow;
using test::WindowTest;

constexpr int kDataEdit = 1010;
const char* const kCurrent = "Databases/msgstore.db.crypt15";
const char* const kDated = "Databases/msgstore-2024-01-31.1.db.crypt15";
// The row an Android list always has for messages of no chat.
const char* const kUngrouped = "UnGrouped Friend";

std::string hexWithSpaces(const backup::KeyMaterial& key) {
    static const char* const kHex = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < key.bytes().size(); ++i) {
        if (i > 0 && i % 4 == 0)
            text += ' ';
        text += kHex[key.bytes()[i] >> 4];
        text += kHex[key.bytes()[i] & 15];
    }
    return text;
}

class OpenBackup : public WindowTest {
protected:
    // The phone's WhatsApp folder below Android/media/com.whatsapp/, as copied over USB: the
    // current backup (Anna, Bo), a dated one (Anna only) and the contacts backup, all under `key`.
    void makeStorage() {
        test::TempDir plain;
        test::makeAndroidFolder(plain.path(),
                                messageRow("491@s.whatsapp.net", 0, "0", "1496226000123", "hallo") +
                                    messageRow("492@s.whatsapp.net", 0, "0", "1500000000000", "moin"),
                                contactRow("491@s.whatsapp.net", "Anna", nullptr) +
                                    contactRow("492@s.whatsapp.net", "Bo", nullptr));
        writeEncrypted(plain.path() + "databases/msgstore.db", kCurrent, {});
        writeEncrypted(plain.path() + "databases/wa.db", "Backups/wa.db.crypt15", {.featureTable = false});
        test::TempDir older;
        test::makeAndroidFolder(older.path(),
                                messageRow("491@s.whatsapp.net", 0, "0", "1400000000000", "alt"), "");
        writeEncrypted(older.path() + "databases/msgstore.db", kDated, {});
        std::filesystem::create_directories(storage() + "Media/WhatsApp Images");
    }
    void writeEncrypted(const std::string& from, const std::string& to,
                        const backup::BackupWriteOptions& options) {
        const std::string plain = test::readFile(from);
        const auto bytes = backup::writeBackup(
            std::span(reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size()), key, options);
        ASSERT_FALSE(bytes.empty());
        test::writeFile(storage() + to, std::string(bytes.begin(), bytes.end()));
    }
    std::string storage() const { return folder.path() + "Android/media/com.whatsapp/WhatsApp/"; }
    // The folder the user picks: the copy of the phone's "Android" folder.
    QString picked() const { return QString::fromStdString(folder.path() + "Android"); }

    void chooseStorage(COpenWeiXinDataDlg& dialog) {
        dialog.setKind(kSourceAndroid);
        dialog.pathEdit(kDataEdit)->setText(picked());
    }
    QStringList listedNames() {
        QStringList names;
        for (int i = 0; i < window().contactList()->topLevelItemCount(); ++i)
            names.append(window().contactList()->topLevelItem(i)->text(0));
        names.sort();
        return names;
    }
    std::string settingsFile(const char* name) const { return home.path() + "settings/" + name; }

    backup::KeyMaterial key = backup::randomKey(backup::KeyKind::Digits);
    // Made once the test's own folders are set: the window makes its picture folder at once.
    void SetUp() override {
        WindowTest::SetUp();
        m_window = std::make_unique<CMireloDlg>();
    }
    void TearDown() override {
        m_window.reset();
        WindowTest::TearDown();
    }
    CMireloDlg& window() { return *m_window; }

    std::unique_ptr<CMireloDlg> m_window;
};

TEST(KeyTyping, CountsDigitsAndNeverQuotesThem) {
    EXPECT_EQ(keyTypingStatus(""), "");
    EXPECT_EQ(keyTypingStatus("ab cd-EF"), "6 of 64 digits");
    EXPECT_EQ(keyTypingStatus(QString(64, 'a')), QString::fromUtf8("64 digits \u2014 looks right"));
    EXPECT_EQ(keyTypingStatus(QString(32, 'a') + "\n - \t" + QString(32, 'F')),
              QString::fromUtf8("64 digits \u2014 looks right"));
    EXPECT_EQ(keyTypingStatus(QString(66, '1')), QString::fromUtf8("66 digits \u2014 2 too many"));
    EXPECT_EQ(keyTypingStatus("12g4"), "Only digits 0-9 and letters a-f");
    EXPECT_EQ(keyTypingStatus("12\u00e94"), "Only digits 0-9 and letters a-f");
}

TEST_F(OpenBackup, KeyRowsShowOnlyForAWhatsAppFolderWithBackups) {
    makeStorage();
    test::TempDir plainStorage;
    test::makeAndroidFolder(plainStorage.path(), "", "");
    std::filesystem::rename(plainStorage.path() + "databases", plainStorage.path() + "Databases");
    test::TempDir dataFolder;
    test::makeAndroidFolder(dataFolder.path(), "", "");

    COpenWeiXinDataDlg dialog(nullptr);
    const QSize classic = dialog.size();
    dialog.setKind(kSourceAndroid);
    EXPECT_TRUE(dialog.hintLabel()->text().contains("Android/media/com.whatsapp/WhatsApp"));
    BackupRows* rows = dialog.backupRows();
    EXPECT_TRUE(rows->isHidden());

    dialog.pathEdit(kDataEdit)->setText(picked());
    EXPECT_FALSE(rows->isHidden());
    EXPECT_GT(dialog.height(), classic.height());
    EXPECT_EQ(dialog.visibleControls(), (QList<int>{1039, 1010, 1012}));
    ASSERT_EQ(rows->backupChoice()->count(), 2);
    EXPECT_EQ(rows->backupChoice()->itemText(0), "Current backup (msgstore.db.crypt15)");
    EXPECT_EQ(rows->backupChoice()->itemText(1), "2024-01-31 (msgstore-2024-01-31.1.db.crypt15)");
    EXPECT_EQ(rows->keyEdit()->echoMode(), QLineEdit::Password);
    rows->showKeyButton()->click();
    EXPECT_EQ(rows->keyEdit()->echoMode(), QLineEdit::Normal);

    // The rows go with the folder, and the dialog is as it always was without them.
    for (const std::string& other : {plainStorage.path(), dataFolder.path(), std::string("/nowhere")}) {
        dialog.pathEdit(kDataEdit)->setText(QString::fromStdString(other));
        EXPECT_TRUE(rows->isHidden()) << other;
        EXPECT_EQ(dialog.size(), classic) << other;
    }
    dialog.pathEdit(kDataEdit)->setText(picked());
    dialog.setKind(kSourceIPhone);
    EXPECT_TRUE(rows->isHidden());
    EXPECT_EQ(dialog.size(), classic);
}

TEST_F(OpenBackup, TypedKeyWithSpacesOpensTheCurrentBackupAndTheListShowsIt) {
    makeStorage();
    const auto before = test::folderSnapshot(folder.path());
    const std::string digits = hexWithSpaces(key);
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<COpenWeiXinDataDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        chooseStorage(*dialog);
        dialog->backupRows()->keyEdit()->setText(QString::fromStdString(digits));
        EXPECT_EQ(dialog->backupRows()->keyStatus()->text(),
                  QString::fromUtf8("64 digits \u2014 looks right"));
        okButton(*dialog)->click();
        EXPECT_TRUE(dialog->backupRows()->keyEdit()->text().isEmpty());
    });
    runLoadWorkflow(window());

    EXPECT_TRUE(desktop.messages.empty()) << desktop.messageTexts().join('\n').toStdString();
    EXPECT_EQ(listedNames(), (QStringList{"Anna", "Bo", kUngrouped}));
    EXPECT_EQ(programState().dataFolder, storage());
    EXPECT_EQ(programState().messageDbPath, storage() + kCurrent);
    EXPECT_EQ(test::folderSnapshot(folder.path()), before);

    // The settings file keeps its layout and the WhatsApp folder; neither file holds the key.
    SettingsRecord saved;
    LoadSettings(platform::settingsFolder().toStdString(), saved);
    EXPECT_EQ(saved.sourceKind, kSourceAndroid);
    EXPECT_EQ(saved.androidDataPath, storage());
    EXPECT_EQ(test::readFile(settingsFile("para.dll")).size(), 1044u);
    std::string compact = digits;
    std::erase(compact, ' ');
    for (const char* name : {"para.dll", "open.ini", "window.ini"}) {
        const std::string text = test::readFile(settingsFile(name));
        EXPECT_EQ(text.find(compact.substr(0, 16)), std::string::npos) << name;
        EXPECT_EQ(text.find(digits.substr(0, 9)), std::string::npos) << name;
    }
    const OpenChoices remembered = OpenMemory(platform::settingsFolder()).restore();
    EXPECT_EQ(remembered.androidFolderKind, "storage");
    EXPECT_EQ(remembered.backupName, "msgstore.db.crypt15");
    EXPECT_EQ(remembered.keyFile, "");
}

TEST_F(OpenBackup, AWrongOrMissingKeyKeepsTheDialogAndWhatTheWindowShowed) {
    makeStorage();
    test::TempDir earlier;
    test::makeAndroidFolder(earlier.path(), messageRow("493@s.whatsapp.net", 0, "0", "1496226000123", "x"),
                            contactRow("493@s.whatsapp.net", "Cleo", nullptr));
    setLoadPaths(kSourceAndroid, earlier.path(), "");
    loadChosenFolder(window());
    ASSERT_EQ(listedNames(), (QStringList{"Cleo", kUngrouped}));
    const auto before = test::folderSnapshot(folder.path());

    COpenWeiXinDataDlg dialog(&window());
    chooseStorage(dialog);
    okButton(dialog)->click();
    dialog.backupRows()->keyEdit()->setText("12 34 zz");
    okButton(dialog)->click();
    const std::string wrong = hexWithSpaces(backup::randomKey(backup::KeyKind::Digits));
    dialog.backupRows()->keyEdit()->setText(QString::fromStdString(wrong));
    okButton(dialog)->click();

    ASSERT_EQ(desktop.messages.size(), 3u);
    EXPECT_EQ(desktop.messages[0].text, "Please type the 64-digit key or choose the key file.");
    EXPECT_TRUE(desktop.messages[1].text.contains("not a hexadecimal digit"));
    EXPECT_TRUE(desktop.messages[2].text.contains("key")) << desktop.messages[2].text.toStdString();
    for (const auto& message : desktop.messages)
        EXPECT_FALSE(message.text.contains(QString::fromStdString(wrong.substr(0, 9))));
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_FALSE(dialog.openedFolder().has_value());
    // Kept, to be corrected.
    EXPECT_EQ(dialog.backupRows()->keyEdit()->text().toStdString(), wrong);
    EXPECT_EQ(programState().dataFolder, earlier.path());
    EXPECT_EQ(listedNames(), (QStringList{"Cleo", kUngrouped}));
    EXPECT_FALSE(std::filesystem::exists(settingsFile("para.dll")));
    EXPECT_EQ(test::folderSnapshot(folder.path()), before);
}

TEST_F(OpenBackup, KeyFileDatedBackupAndContactsFileAreUsedAndRemembered) {
    makeStorage();
    const std::string keyFile = home.path() + "encrypted_backup.key";
    const auto keyBytes = backup::writeRootKeyFile(key);
    test::writeFile(keyFile, std::string(keyBytes.begin(), keyBytes.end()));
    const std::string contacts = home.path() + "contacts.vcf";
    test::writeFile(contacts, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bo Berg\r\nTEL:+49 2\r\nEND:VCARD\r\n");

    COpenWeiXinDataDlg dialog(nullptr);
    chooseStorage(dialog);
    BackupRows* rows = dialog.backupRows();
    rows->keyEdit()->setText("abcd");
    desktop.openFiles = {QString::fromStdString(keyFile), QString::fromStdString(contacts)};
    rows->keyFileButton()->click();
    rows->contactsButton()->click();
    EXPECT_EQ(rows->keyFileEdit()->text().toStdString(), keyFile);
    EXPECT_FALSE(rows->keyFileEdit()->isHidden());
    EXPECT_TRUE(rows->keyEdit()->isHidden());
    EXPECT_TRUE(rows->keyEdit()->text().isEmpty());
    EXPECT_EQ(rows->keyStatus()->text(), "Key file looks right");
    EXPECT_EQ(rows->contactsEdit()->text().toStdString(), contacts);
    rows->backupChoice()->setCurrentIndex(1);
    okButton(dialog)->click();

    EXPECT_TRUE(desktop.messages.empty()) << desktop.messageTexts().join('\n').toStdString();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.openedFolder().has_value());
    EXPECT_EQ(dialog.openedFolder()->messageDbPath, storage() + kDated);
    EXPECT_EQ(dialog.openedFolder()->addressBookPath, contacts);
    EXPECT_NE(dialog.openedFolder()->heldMessageDb, nullptr);

    // The next dialog starts where this one ended.
    COpenWeiXinDataDlg next(nullptr);
    EXPECT_EQ(next.kind(), kSourceAndroid);
    EXPECT_EQ(next.pathEdit(kDataEdit)->text().toStdString(), storage());
    EXPECT_FALSE(next.backupRows()->isHidden());
    EXPECT_EQ(next.backupRows()->backupChoice()->currentIndex(), 1);
    EXPECT_EQ(next.backupRows()->keyFileEdit()->text().toStdString(), keyFile);
    EXPECT_EQ(next.backupRows()->contactsEdit()->text().toStdString(), contacts);

    // A damaged key file says so, before OK and on it.
    test::writeFile(keyFile, "not a key");
    desktop.openFiles = {QString::fromStdString(keyFile)};
    next.backupRows()->keyFileButton()->click();
    EXPECT_TRUE(next.backupRows()->keyStatus()->text().contains("not a WhatsApp key file"));
    okButton(next)->click();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(desktop.messages[0].text.contains("not a WhatsApp key file"));
    EXPECT_EQ(next.result(), 0);
}

TEST_F(OpenBackup, AContactsFileThatNamesNothingIsSaidBeforeDecrypting) {
    makeStorage();
    const std::string contacts = home.path() + "notes.vcf";
    test::writeFile(contacts, "shopping list\n");
    COpenWeiXinDataDlg dialog(nullptr);
    chooseStorage(dialog);
    dialog.backupRows()->keyEdit()->setText(QString::fromStdString(hexWithSpaces(key)));
    dialog.backupRows()->contactsEdit()->setText(QString::fromStdString(contacts));
    okButton(dialog)->click();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(desktop.messages[0].text.contains("is not a contacts file"))
        << desktop.messages[0].text.toStdString();
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_FALSE(dialog.openedFolder().has_value());
}

TEST_F(OpenBackup, CancelStopsTheDecryption) {
    makeStorage();
    COpenWeiXinDataDlg dialog(nullptr);
    chooseStorage(dialog);
    dialog.backupRows()->keyEdit()->setText(QString::fromStdString(hexWithSpaces(key)));
    QString title;
    // Runs at the first moment the decryption lets the windows answer.
    QTimer::singleShot(0, [&] {
        auto* progress = qobject_cast<CDlgProgress*>(QApplication::activeModalWidget());
        ASSERT_NE(progress, nullptr);
        title = progress->windowTitle();
        progress->cancelButton()->click();
    });
    okButton(dialog)->click();
    EXPECT_EQ(title, "Decrypting backup...");
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_FALSE(dialog.openedFolder().has_value());
    EXPECT_EQ(programState().sourceKind, kSourceNone);
}

TEST_F(OpenBackup, ADecryptedDatabaseOpensWithoutAKeyFromTheDialogAndTheCommandLine) {
    test::makeAndroidFolder(folder.path(), messageRow("491@s.whatsapp.net", 0, "0", "1496226000123", "hallo"),
                            contactRow("491@s.whatsapp.net", "Anna", nullptr));
    std::filesystem::rename(folder.path() + "databases", folder.path() + "Databases");
    const auto before = test::folderSnapshot(folder.path());

    COpenWeiXinDataDlg dialog(nullptr);
    dialog.setKind(kSourceAndroid);
    dialog.pathEdit(kDataEdit)->setText(QString::fromStdString(folder.path()));
    EXPECT_TRUE(dialog.backupRows()->isHidden());
    okButton(dialog)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.openedFolder().has_value());
    EXPECT_EQ(dialog.openedFolder()->messageDbPath, folder.path() + "Databases/msgstore.db");

    // Beside backups it is offered last, and needs no key either.
    test::writeFile(folder.path() + kCurrent, "only its name is read before OK");
    COpenWeiXinDataDlg both(nullptr);
    both.setKind(kSourceAndroid);
    both.pathEdit(kDataEdit)->setText(QString::fromStdString(folder.path()));
    QComboBox* choice = both.backupRows()->backupChoice();
    ASSERT_EQ(choice->count(), 2);
    EXPECT_EQ(choice->itemText(1), "Decrypted database (msgstore.db), no key needed");
    choice->setCurrentIndex(1);
    okButton(both)->click();
    EXPECT_EQ(both.result(), QDialog::Accepted);
    ASSERT_TRUE(both.openedFolder().has_value());
    EXPECT_EQ(both.openedFolder()->messageDbPath, folder.path() + "Databases/msgstore.db");
    std::filesystem::remove(folder.path() + kCurrent);

    EXPECT_TRUE(loadFolderDirectly(window(), QString::fromStdString(folder.path()), QString()));
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(listedNames(), (QStringList{"Anna", kUngrouped}));
    EXPECT_EQ(test::folderSnapshot(folder.path()), before);
}

TEST_F(OpenBackup, EncryptedBackupsOnTheCommandLineOpenTheDialogFilledIn) {
    makeStorage();
    bool sawRows = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<COpenWeiXinDataDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->kind(), kSourceAndroid);
        EXPECT_EQ(dialog->pathEdit(kDataEdit)->text(), picked());
        sawRows = !dialog->backupRows()->isHidden();
        dialog->reject();
    });
    EXPECT_FALSE(loadFolderDirectly(window(), picked(), QString()));
    EXPECT_TRUE(sawRows);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(window().contactList()->topLevelItemCount(), 0);
}

}  // namespace
}  // namespace talvio
