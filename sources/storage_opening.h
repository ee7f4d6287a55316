// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "backup/backup_outcome.h"
#include "backup/key_material.h"
#include "sources/phone_folder.h"
#include "sources/whatsapp_storage.h"

namespace talvio {

// Called with the bytes read so far and all there are to read; false cancels.
using BackupProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

struct StorageOpening {
    std::optional<PhoneFolder> folder;  // set when the backup opened
    backup::BackupOutcome outcome;      // why it did not, in words for the user
    // Set when the messages opened but the contacts backup beside them did not (another key,
    // damaged): chats then show numbers and group subjects.
    std::string contactsNote;
};

// An Android folder reading the databases that another tool decrypted into Databases/.
PhoneFolder plainStorageFolder(const WhatsAppStorage& storage, int timeZoneBias);

// Decrypts the message backup at `backupPath` and, when the storage folder has one, the contacts
// backup (Backups/wa.db.cryptNN) into memory, and gives the Android folder that reads them. Nothing
// is written anywhere; on any failure nothing decrypted is kept. The key is only read.
StorageOpening openStoredBackup(const WhatsAppStorage& storage, const std::string& backupPath,
                                const backup::KeyMaterial& key, const BackupProgress& progress,
                                int timeZoneBias);

}  // namespace talvio
