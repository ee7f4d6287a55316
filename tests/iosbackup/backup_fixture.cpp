// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup_fixture.h"

#include "iosbackup/backup_crypto.h"
#include "tests/support/android_folder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace talvio::test {

std::string chatStorageBytes() {
    TempDir dir;
    runSql(dir.path() + "ChatStorage.sqlite",
           "CREATE TABLE ZWAMESSAGE (Z_PK INTEGER PRIMARY KEY, ZTEXT VARCHAR);"
           "INSERT INTO ZWAMESSAGE VALUES (1, 'hello'), (2, 'from the backup');");
    return readFile(dir.path() + "ChatStorage.sqlite");
}

std::vector<ios::BackupFile> sampleFiles() {
    std::string photo;
    // Every byte value, and a size that is not a whole number of cipher blocks.
    for (int i = 0; i < 5000; ++i) photo += static_cast<char>((i * 7) & 0xff);
    return {
        {kShared, "ChatStorage.sqlite", chatStorageBytes()},
        {kShared, "ChatStorage.sqlite-wal", std::string(48, '\x01')},
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

bool isEmptyFolder(const std::string& folder) { return std::filesystem::is_empty(folder); }

}  // namespace talvio::test
