// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "sources/storage_opening.h"
#include "android_sql.h"
#include "backup/backup_writer.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/whatsapp_storage.h"
#include "tests/support/android_folder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace talvio {
namespace {

namespace fs = std::filesystem;
using backup::BackupFormat;
using backup::KeyKind;
using test::contactRow;
using test::messageRow;

std::vector<std::uint8_t> bytesOf(const std::string& path) {
    const std::string text = test::readFile(path);
    return {text.begin(), text.end()};
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    test::writeFile(path, std::string(bytes.begin(), bytes.end()));
}

std::vector<std::string> listed() {
    std::vector<std::string> rows;
    for (const ContactEntry& e : contactTable().rows())
        rows.push_back(e.jid + "|" + e.displayName + "|" + std::to_string(e.messageCount) + "|" +
                       e.lastMessageTime);
    return rows;
}

// The viewer's page of the chat with `jid` in the loaded table.
std::string page(CChatSoftware& source, const std::string& jid) {
    for (const ContactEntry& entry : contactTable().rows()) {
        if (entry.jid == jid) {
            ChatPageBuffer buffer;
            renderContact(source, entry, kViewer, buffer);
            return buffer.text();
        }
    }
    return "no row " + jid;
}

class OpenStorage : public test::SourceTest {
protected:
    // A legacy "com.whatsapp" folder with names in wa.db, and the phone's WhatsApp folder holding
    // the same two databases as backups of `format`.
    void makeFolders(BackupFormat format, const backup::KeyMaterial& key) {
        test::makeAndroidFolder(
            plain,
            messageRow("a@s.whatsapp.net", 0, "0", "1600000000000", "hi") +
                messageRow("a@s.whatsapp.net", 1, "0", "1600000100000", "yo") +
                messageRow("g@g.us", 0, "0", "1700000000000", "all") +
                "INSERT INTO chat_list(key_remote_jid, subject) VALUES "
                "('a@s.whatsapp.net', NULL), ('g@g.us', 'Hikers'), ('status@broadcast', NULL);",
            contactRow("a@s.whatsapp.net", "Anna", nullptr));
        backup::BackupWriteOptions options;
        options.format = format;
        writeBytes(storage + "Databases/msgstore.db.crypt" + suffix(format),
                   backup::writeBackup(bytesOf(plain + "databases/msgstore.db"), key, options));
        options.featureTable = false;
        writeBytes(storage + "Backups/wa.db.crypt" + suffix(format),
                   backup::writeBackup(bytesOf(plain + "databases/wa.db"), key, options));
    }
    static std::string suffix(BackupFormat format) {
        return format == BackupFormat::Crypt12 ? "12" : format == BackupFormat::Crypt14 ? "14" : "15";
    }

    test::TempDir root;
    const std::string plain = root.path() + "com.whatsapp/";
    const std::string storage = root.path() + "WhatsApp/";
};

TEST_F(OpenStorage, FindsTheFolderAndOrdersItsBackups) {
    for (const char* name : {"msgstore-2023-05-01.1.db.crypt15", "msgstore.db.crypt14", "msgstore.db.crypt15",
                             "msgstore-2024-01-31.1.db.crypt15", "msgstore-increment-3.db.crypt15",
                             "msgstore.db.crypt16", "notes.txt"})
        writeBytes(storage + "Databases/" + name, {1, 2, 3});
    writeBytes(storage + "Backups/wa.db.crypt14", {1});
    writeBytes(storage + "Backups/wa.db.crypt15", {1});

    // The folder itself, the folder above it and Android/ from the storage root all lead to it.
    fs::create_directories(root.path() + "Android/media/com.whatsapp");
    fs::create_directory_symlink(storage, root.path() + "Android/media/com.whatsapp/WhatsApp");
    for (const std::string& given : {storage, root.path(), root.path() + "Android"}) {
        const auto found = findWhatsAppStorage(given);
        ASSERT_TRUE(found) << given;
        std::vector<std::string> labels;
        for (const StoredBackup& b : found->backups)
            labels.push_back(b.label);
        EXPECT_EQ(labels, (std::vector<std::string>{"Current backup (msgstore.db.crypt15)",
                                                    "Current backup (msgstore.db.crypt14)",
                                                    "2024-01-31 (msgstore-2024-01-31.1.db.crypt15)",
                                                    "2023-05-01 (msgstore-2023-05-01.1.db.crypt15)"}));
        EXPECT_EQ(fs::path(found->contactBackup).filename(), "wa.db.crypt15");
        ASSERT_EQ(found->refusals.size(), 2u);
        EXPECT_NE(found->refusals[0].find("Incremental"), std::string::npos);
    }
    EXPECT_FALSE(findWhatsAppStorage(root.path() + "elsewhere"));

    std::string refusal;
    const auto single = storageOfBackupFile(storage + "Databases/msgstore-2024-01-31.1.db.crypt15", refusal);
    ASSERT_TRUE(single);
    EXPECT_EQ(single->folder, storage);
    ASSERT_EQ(single->backups.size(), 1u);
    EXPECT_EQ(single->backups[0].date, "2024-01-31");
    EXPECT_FALSE(storageOfBackupFile(storage + "Backups/wa.db.crypt15", refusal));
    EXPECT_NE(refusal.find("not a message backup"), std::string::npos);
    EXPECT_FALSE(storageOfBackupFile(storage + "Databases/msgstore.db.crypt16", refusal));
}

TEST_F(OpenStorage, EveryFormatOpensAsTheFolderItWasMadeFrom) {
    for (const BackupFormat format : {BackupFormat::Crypt12, BackupFormat::Crypt14, BackupFormat::Crypt15}) {
        SCOPED_TRACE(suffix(format));
        fs::remove_all(root.path());
        fs::create_directories(root.path());
        const backup::KeyMaterial key =
            backup::randomKey(format == BackupFormat::Crypt15 ? KeyKind::Digits : KeyKind::BackupKeyFile);
        makeFolders(format, key);
        const auto before = test::folderSnapshot(storage);

        test::loadAndroidFolder(plain);
        const std::vector<std::string> fromFolder = listed();
        CAndroidWeiXin folderSource(phoneFolderOf(kSourceAndroid, plain, "", 0));
        const std::string folderPage = page(folderSource, "a@s.whatsapp.net");
        EXPECT_NE(folderPage.find("yo"), std::string::npos);

        const auto found = findWhatsAppStorage(storage);
        ASSERT_TRUE(found);
        std::vector<std::uint64_t> progress;
        StorageOpening opening = openStoredBackup(
            *found, found->backups[0].path, key,
            [&](std::uint64_t done, std::uint64_t total) {
                progress.push_back(done * 100 / total);
                return true;
            },
            0);
        ASSERT_TRUE(opening.folder) << opening.outcome.message;
        EXPECT_TRUE(opening.contactsNote.empty());
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.back(), 100u);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

        CAndroidWeiXin backupSource(*opening.folder);
        backupSource.LoadContacts(contactTable());
        // The backup lists what wa.db lists and then the chats it does not: the group, by its subject.
        std::vector<std::string> expected = fromFolder;
        expected.push_back("g@g.us|Hikers|1|1700000000000");
        std::vector<std::string> got = listed();
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, expected);
        EXPECT_EQ(page(backupSource, "a@s.whatsapp.net"), folderPage);
        EXPECT_EQ(test::folderSnapshot(storage), before);
    }
}

TEST_F(OpenStorage, BadKeysAndDamageOpenNothing) {
    const backup::KeyMaterial key = backup::randomKey(KeyKind::Digits);
    makeFolders(BackupFormat::Crypt15, key);
    const auto found = findWhatsAppStorage(storage);
    ASSERT_TRUE(found);
    const auto before = test::folderSnapshot(storage);

    StorageOpening wrong =
        openStoredBackup(*found, found->backups[0].path, backup::randomKey(KeyKind::Digits), {}, 0);
    EXPECT_FALSE(wrong.folder);
    EXPECT_EQ(wrong.outcome.status, backup::BackupStatus::WrongKey);
    EXPECT_NE(wrong.outcome.message.find("This key does not open this backup"), std::string::npos);

    StorageOpening cancelled = openStoredBackup(
        *found, found->backups[0].path, key, [](std::uint64_t, std::uint64_t) { return false; }, 0);
    EXPECT_FALSE(cancelled.folder);
    EXPECT_EQ(cancelled.outcome.status, backup::BackupStatus::Cancelled);
    EXPECT_EQ(test::folderSnapshot(storage), before);

    // A contacts backup made with another key still lets the messages open, with a note.
    backup::BackupWriteOptions options;
    options.featureTable = false;
    writeBytes(
        storage + "Backups/wa.db.crypt15",
        backup::writeBackup(bytesOf(plain + "databases/wa.db"), backup::randomKey(KeyKind::Digits), options));
    StorageOpening noNames = openStoredBackup(*found, found->backups[0].path, key, {}, 0);
    ASSERT_TRUE(noNames.folder);
    EXPECT_NE(noNames.contactsNote.find("could not be read"), std::string::npos);
    CAndroidWeiXin source(*noNames.folder);
    source.LoadContacts(contactTable());
    EXPECT_EQ(contactTable().count(), 3);  // the placeholder, the person by number, the group

    // Decrypted, but not a database.
    writeBytes(storage + "Databases/msgstore.db.crypt15",
               backup::writeBackup(std::vector<std::uint8_t>(4096, 'x'), key));
    StorageOpening notDatabase = openStoredBackup(*found, found->backups[0].path, key, {}, 0);
    EXPECT_FALSE(notDatabase.folder);
    EXPECT_NE(notDatabase.outcome.message.find("not a WhatsApp database"), std::string::npos);
}

TEST_F(OpenStorage, PlainDatabasesInTheStorageFolderListEveryChat) {
    test::makeAndroidFolder(
        plain,
        messageRow("a@s.whatsapp.net", 0, "0", "1600000000000", "hi") +
            "INSERT INTO chat_list(key_remote_jid, subject) VALUES ('a@s.whatsapp.net', NULL);",
        "");
    // The data folder lists what its empty wa.db lists: nothing.
    test::loadAndroidFolder(plain);
    EXPECT_FALSE(contactTable().exists());

    fs::create_directories(storage + "Databases");
    fs::copy_file(plain + "databases/msgstore.db", storage + "Databases/msgstore.db");
    const auto found = findWhatsAppStorage(storage);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->backups.empty());
    EXPECT_TRUE(found->plainContactDb.empty());
    CAndroidWeiXin source(plainStorageFolder(*found, 0));
    source.LoadContacts(contactTable());
    EXPECT_EQ(listed(), (std::vector<std::string>{"a@s.whatsapp.net|a|1|1600000000000",
                                                  "UnGroupedFriend|UnGrouped Friend|0|"}));
}

}  // namespace
}  // namespace talvio
