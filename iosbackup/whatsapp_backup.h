// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "backup_error.h"
#include "ios_backup.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvio::ios {

enum class WhatsAppKind { Messenger, Business };

// Where one WhatsApp app keeps its files in a backup. Files are found by domain and path, never
// by fixed hashes: names change between WhatsApp versions (ContactsV2 replaced Contacts).
struct WhatsAppInBackup {
    WhatsAppKind kind = WhatsAppKind::Messenger;
    std::string sharedDomain;  // AppDomainGroup-group.net.whatsapp.WhatsApp[SMB].shared
    std::string appDomain;     // AppDomain-net.whatsapp.WhatsApp[SMB]: media of older versions
    BackupEntry chatStorage;
    std::optional<BackupEntry> chatStorageLog;  // ChatStorage.sqlite-wal
    std::optional<BackupEntry> contacts;        // ContactsV2.sqlite, else Contacts.sqlite
};

// Every WhatsApp whose chats the backup holds, WhatsApp before WhatsApp Business. Fails with
// NoWhatsApp when neither app is there, and NoChatStorage when an app is there but its chats were
// left out of the backup.
BackupError findWhatsApp(const IosBackup& backup, std::vector<WhatsAppInBackup>& found);

// A media file by its path relative to WhatsApp's "Message/" folder (ZMEDIALOCALPATH), looked for
// in the shared domain, then under "Library/" of the app domain where older versions kept media.
BackupError findMedia(const IosBackup& backup, const WhatsAppInBackup& app, std::string_view localPath,
                      BackupEntry& entry);
// A profile picture by its file name under "Media/Profile/".
BackupError findProfilePicture(const IosBackup& backup, const WhatsAppInBackup& app, std::string_view name,
                               BackupEntry& entry);

// Writes ChatStorage.sqlite and its -wal (when the backup has one) into folder under their own
// names, so SQLite can open the pair there; folder should be a PrivateFolder. On failure nothing
// is left in it.
BackupError materialiseChatStorage(const IosBackup& backup, const WhatsAppInBackup& app,
                                   const std::string& folder, std::string& databasePath);

}  // namespace talvio::ios
