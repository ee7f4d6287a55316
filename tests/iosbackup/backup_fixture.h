// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "iosbackup/backup_writer.h"
#include "iosbackup/ios_backup.h"

#include <string>
#include <vector>

namespace talvio::test {

inline constexpr const char* kShared = "AppDomainGroup-group.net.whatsapp.WhatsApp.shared";
inline constexpr const char* kApp = "AppDomain-net.whatsapp.WhatsApp";
inline constexpr const char* kPassword = "correct horse \xc3\xa9 battery";
inline constexpr const char* kPhotoPath = "Media/4915112345678@s.whatsapp.net/a/b/photo.jpg";

// A real SQLite database in WAL mode with one message in the file and one only in its log.
struct ChatStorage {
    std::string database;
    std::string log;
};
ChatStorage chatStorage();

// WhatsApp's files (ChatStorage.sqlite, its -wal, ContactsV2, a photo, a profile picture, an old
// media file) beside files of other apps and of the system.
std::vector<ios::BackupFile> sampleFiles();
// The same without one domain's files, or without one file.
std::vector<ios::BackupFile> withoutDomain(const std::string& domain);
std::vector<ios::BackupFile> withoutFile(const std::string& relativePath);

ios::BackupWriterOptions encryptedOptions();

// Writes the backup; fails the test on a writer error.
void makeBackup(const std::string& folder, const std::vector<ios::BackupFile>& files,
                const ios::BackupWriterOptions& options = {});

// The stored file of domain/path in folder.
std::string storedFile(const std::string& folder, const std::string& domain, const std::string& path);

// Whether folder holds nothing at all.
bool isEmptyFolder(const std::string& folder);

}  // namespace talvio::test
