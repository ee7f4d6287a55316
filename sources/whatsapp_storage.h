// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace talvio {

// One encrypted message backup in the Databases folder.
struct StoredBackup {
    std::string path;  // the file itself
    std::string date;  // "YYYY-MM-DD" for a dated daily backup, empty for the current one
    // As a choice list shows it: "Current backup (msgstore.db.crypt15)",
    // "2024-01-31 (msgstore-2024-01-31.1.db.crypt15)".
    std::string label;
};

// The phone's WhatsApp storage folder as copied over USB: "Android/media/com.whatsapp/WhatsApp"
// since Android 11, "WhatsApp" at the storage root before. Databases/ holds the message backups,
// Backups/ the contacts backup, Media/ the files.
struct WhatsAppStorage {
    std::string folder;          // the WhatsApp folder, with a trailing '/'
    std::string plainMessageDb;  // Databases/msgstore.db, when another tool decrypted it there
    std::string plainContactDb;  // Databases/wa.db beside it, when there
    // The backups that can be read: the current ones first (newest kind first), then the dated
    // ones, newest first.
    std::vector<StoredBackup> backups;
    // Backups/wa.db.cryptNN (the newest kind there), when present.
    std::string contactBackup;
    // Message backups of kinds not read (incremental, crypt16 and later): why, for the user.
    std::vector<std::string> refusals;

    bool hasMessages() const { return !plainMessageDb.empty() || !backups.empty(); }
};

// The storage folder at `folder` or just below it: the folder itself when it holds Databases/,
// else its "WhatsApp" or "WhatsApp Business" child, else "media/com.whatsapp/WhatsApp" below an
// "Android" folder. Nothing when none of these holds a Databases folder. Only reads names.
std::optional<WhatsAppStorage> findWhatsAppStorage(const std::string& folder);

// The storage folder that holds a backup file given by itself (".../WhatsApp/Databases/x.crypt15"),
// with that file as its only backup. Nothing when the file's name is not one of a message backup
// read here; `refusal` then says why.
std::optional<WhatsAppStorage> storageOfBackupFile(const std::string& file, std::string& refusal);

}  // namespace talvio
