// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "storage_opening.h"

#include "backup/backup_decryptor.h"
#include "backup/plain_image.h"

#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <string_view>

namespace talvio {
namespace {

std::uint64_t fileSize(const std::string& path) {
    struct stat status {};
    return path.empty() || ::stat(path.c_str(), &status) != 0 ? 0
                                                              : static_cast<std::uint64_t>(status.st_size);
}

PhoneFolder androidFolder(const WhatsAppStorage& storage, int timeZoneBias) {
    PhoneFolder folder;
    folder.kind = kSourceAndroid;
    folder.dataFolder = storage.folder;
    // The media of these chats lie in the WhatsApp folder's Media/.
    folder.resourceFolder = storage.folder;
    folder.timeZoneBias = timeZoneBias;
    folder.listsEveryChat = true;
    return folder;
}

// Decrypts one backup into memory; `offset` and `total` place its bytes in the progress of the whole.
backup::BackupOutcome decryptInto(const std::string& path, const backup::KeyMaterial& key,
                                  backup::ImageSink& sink, const BackupProgress& progress,
                                  std::uint64_t offset, std::uint64_t total) {
    backup::DecryptOptions options;
    if (progress) {
        options.progress = [&progress, offset, total](std::uint64_t done, std::uint64_t) {
            return progress(offset + done, total);
        };
    }
    backup::BackupOutcome outcome = backup::decryptBackup(path, key, sink, options);
    if (outcome.ok() && !backup::holdsSqliteDatabase(sink.image())) {
        sink.discard();
        outcome = {backup::BackupStatus::UnknownFormat,
                   "The backup opened, but what it holds is not a WhatsApp database. Choose the msgstore "
                   "backup from the phone's WhatsApp/Databases folder."};
    }
    if (outcome.ok())
        backup::leaveWalMode(sink.image());
    return outcome;
}

}  // namespace

PhoneFolder plainStorageFolder(const WhatsAppStorage& storage, int timeZoneBias) {
    PhoneFolder folder = androidFolder(storage, timeZoneBias);
    folder.messageDbPath = storage.plainMessageDb;
    folder.contactDbPath = storage.plainContactDb;
    return folder;
}

StorageOpening openStoredBackup(const WhatsAppStorage& storage, const std::string& backupPath,
                                const backup::KeyMaterial& key, const BackupProgress& progress,
                                int timeZoneBias) {
    StorageOpening opening;
    const std::uint64_t messageBytes = fileSize(backupPath);
    const std::uint64_t total = messageBytes + fileSize(storage.contactBackup);

    backup::ImageSink messages;
    opening.outcome = decryptInto(backupPath, key, messages, progress, 0, total);
    if (!opening.outcome.ok())
        return opening;
    PhoneFolder folder = androidFolder(storage, timeZoneBias);
    folder.messageDbPath = backupPath;
    folder.heldMessageDb = std::make_shared<const backup::PlainImage>(std::move(messages.image()));

    if (!storage.contactBackup.empty()) {
        backup::ImageSink contacts;
        const backup::BackupOutcome outcome =
            decryptInto(storage.contactBackup, key, contacts, progress, messageBytes, total);
        if (outcome.status == backup::BackupStatus::Cancelled) {
            opening.outcome = outcome;
            return opening;
        }
        if (outcome.ok()) {
            folder.contactDbPath = storage.contactBackup;
            folder.heldContactDb = std::make_shared<const backup::PlainImage>(std::move(contacts.image()));
        } else {
            opening.contactsNote = "The contacts backup " + storage.contactBackup + " could not be read (" +
                                   outcome.message +
                                   "), so chats show numbers and group names. A contacts file (.vcf) "
                                   "from the phone's address book can name them.";
        }
    }
    opening.folder = std::move(folder);
    return opening;
}

}  // namespace talvio
