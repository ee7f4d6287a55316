// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "iosbackup/backup_error.h"
#include "iosbackup/secret.h"
#include "iosbackup/whatsapp_backup.h"
#include "sources/phone_folder.h"

#include <functional>
#include <optional>
#include <string>

namespace talvio {

// Whether the folder is laid out like an iPhone computer backup (Manifest.plist and Manifest.db
// at its top). Says nothing about whether it can be read.
bool looksLikeIphoneBackup(const std::string& folder);

// What a quick look at a backup folder tells before any password is asked for.
struct IphoneBackupProbe {
    ios::BackupError error;  // the folder cannot be opened as a backup at all
    bool encrypted = false;
    std::string deviceName;
};
IphoneBackupProbe probeIphoneBackup(const std::string& folder);

struct IphoneBackupOpening {
    std::optional<PhoneFolder> folder;  // set when WhatsApp's chats could be read
    ios::BackupError error;             // why not, in words for the user
    // Said beside a success: another WhatsApp in the same backup.
    std::string note;
};

// Share of the work done (0..1); returning false cancels.
using IphoneBackupProgress = std::function<bool(double done)>;

// Opens the backup folder (unlocking it with password when encrypted; the password is wiped),
// finds WhatsApp (the preferred kind when the backup holds both), and gives the iPhone folder that
// reads its chats: the chat store in memory with its log applied (a plain backup's store without a
// log is read where it lies), media and profile pictures through PhoneFolder::backupFiles. Nothing
// in the backup folder is written; whatever is decrypted stays in memory or in a private folder
// that goes with the returned folder. Unlocking takes seconds: run this off the user-interface
// thread.
IphoneBackupOpening openIphoneBackup(const std::string& folder, ios::Secret password,
                                     const IphoneBackupProgress& progress, int timeZoneBias,
                                     ios::WhatsAppKind preferred = ios::WhatsAppKind::Messenger);

// Removes the private folders that runs which are gone (a crash, a kill) left in the temporary
// folder. Folders of running processes and of other users stay.
void sweepLeftoverBackupFolders();

}  // namespace talvio
