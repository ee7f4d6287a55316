// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup_fixture.h"

#include "iosbackup/backup_crypto.h"
#include "sources/database.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace talvio::test {

ChatStorage chatStorage() {
    TempDir dir;
    const std::string path = dir.path() + "ChatStorage.sqlite";
    Database db;
    EXPECT_EQ(db.open(path, Database::Access::Create), 0);
    // The second row stays in the log, as on a phone where WhatsApp was running.
    EXPECT_EQ(db.exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                      "CREATE TABLE ZWAMESSAGE (Z_PK INTEGER PRIMARY KEY, ZTEXT VARCHAR);"
                      "INSERT INTO ZWAMESSAGE VALUES (1, 'hello');"
                      "PRAGMA wal_checkpoint(TRUNCATE);"
                      "INSERT INTO ZWAMESSAGE VALUES (2, 'from the log');"),
              0);
    return {readFile(path), readFile(path + "-wal")};
}

std::vector<ios::BackupFile> sampleFiles() {
    std::string photo;
    // Every byte value, and a size that is not a whole number of cipher blocks.
    for (int i = 0; i < 5000; ++i)
        photo += static_cast<char>((i * 7) & 0xff);
    // Made once: the log's salts differ every time, and the cases compare bytes with what was written.
    static const ChatStorage chats = chatStorage();
    return {
        {kShared, "ChatStorage.sqlite", chats.database},
        {kShared, "ChatStorage.sqlite-wal", chats.log},
        {kShared, "ContactsV2.sqlite", "contacts"},
        {kShared, std::string("Message/") + kPhotoPath, photo},
        {kShared, "Media/Profile/4915112345678-1700000000.thumb", "profile"},
        {kShared, "Message/Media/empty.txt", ""},
        {kApp, "Library/Media/old/voice.opus", std::string(32, 'v')},
        {"HomeDomain", "Library/SMS/sms.db", "not whatsapp"},
        {"CameraRollDomain", "Media/DCIM/100APPLE/IMG_0001.HEIC", std::string(100, 'h')},
        {"AppDomain-com.example.notes", "Documents/notes.txt", "a note"},
    };
}

std::vector<ios::BackupFile> withoutDomain(const std::string& domain) {
    std::vector<ios::BackupFile> files = sampleFiles();
    std::erase_if(files, [&](const ios::BackupFile& file) { return file.domain == domain; });
    return files;
}

std::vector<ios::BackupFile> withoutFile(const std::string& relativePath) {
    std::vector<ios::BackupFile> files = sampleFiles();
    std::erase_if(files, [&](const ios::BackupFile& file) { return file.relativePath == relativePath; });
    return files;
}

ios::BackupWriterOptions encryptedOptions() {
    ios::BackupWriterOptions options;
    options.encrypted = true;
    options.password = kPassword;
    return options;
}

void makeBackup(const std::string& folder, const std::vector<ios::BackupFile>& files,
                const ios::BackupWriterOptions& options) {
    const std::string error = ios::writeBackup(folder, files, options);
    ASSERT_EQ(error, "");
}

std::string storedFile(const std::string& folder, const std::string& domain, const std::string& path) {
    const std::string id = ios::sha1Hex(domain + "-" + path);
    return folder + id.substr(0, 2) + "/" + id;
}

bool isEmptyFolder(const std::string& folder) {
    return std::filesystem::is_empty(folder);
}

}  // namespace talvio::test
