// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "iosbackup/ios_backup.h"
#include "iosbackup/private_folder.h"
#include "iosbackup/whatsapp_backup.h"
#include "sources/backup_files.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace talvio {

// WhatsApp's media and profile pictures inside an opened computer backup. A plain backup's file is
// read where it lies; an encrypted one's is decrypted when first asked for, into the private work
// folder that this object owns and removes when it goes.
class IphoneBackupFiles final : public BackupFiles {
public:
    IphoneBackupFiles(std::shared_ptr<const ios::IosBackup> backup, ios::WhatsAppInBackup app,
                      std::unique_ptr<ios::PrivateFolder> work);
    ~IphoneBackupFiles() override;
    IphoneBackupFiles(const IphoneBackupFiles&) = delete;
    IphoneBackupFiles& operator=(const IphoneBackupFiles&) = delete;

    std::string mediaFile(std::string_view localPath) override;
    std::string pictureFile(std::string_view picturePath) override;
    bool decrypted() const override { return m_backup->encrypted(); }

    const ios::WhatsAppInBackup& app() const { return m_app; }

private:
    // The file on this computer for an entry found (or not) by a lookup; empty when unusable.
    std::string fileOf(const ios::BackupError& found, const ios::BackupEntry& entry, std::string_view name);
    std::string decrypt(const ios::BackupEntry& entry, std::string_view name);

    std::mutex m_mutex;
    std::shared_ptr<const ios::IosBackup> m_backup;
    ios::WhatsAppInBackup m_app;
    std::unique_ptr<ios::PrivateFolder> m_work;
    // fileID -> decrypted copy; empty when it could not be decrypted, so it is not tried again
    std::unordered_map<std::string, std::string> m_decrypted;
};

// A stored file of a plain backup that is a regular file (not a link) holding at least the size
// Manifest.db records.
bool storedFileUsable(const std::string& path, const ios::BackupEntry& entry);

}  // namespace talvio
