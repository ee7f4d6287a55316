// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "backup_error.h"
#include "byte_sink.h"
#include "file_record.h"
#include "keybag.h"
#include "secret.h"

#include "sources/database.h"
#include "sources/wal_snapshot.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace talvio::ios {

// One file that Manifest.db lists.
struct BackupEntry {
    std::string fileID;
    std::string domain;
    std::string relativePath;
    int flags = 0;  // 1 file, 2 folder, 4 link
    FileRecord record;
};

// A computer backup of an iPhone (Finder, iTunes, idevicebackup2), plain or encrypted. The
// folder is only ever read. Use from one thread at a time; unlock() may run on a worker thread.
class IosBackup {
public:
    IosBackup() = default;
    IosBackup(const IosBackup&) = delete;
    IosBackup& operator=(const IosBackup&) = delete;

    // Recognises the folder and reads its plists; a plain backup's Manifest.db is opened too.
    BackupError open(const std::string& folder);

    bool encrypted() const { return m_encrypted; }
    // Whether files can be looked up: a plain backup once open, an encrypted one once unlocked.
    bool ready() const { return m_manifest.isOpen(); }
    // "Device Name" (else "Display Name") of Info.plist, for titles; may be empty.
    const std::string& deviceName() const { return m_deviceName; }
    const std::string& folder() const { return m_folder; }

    // Opens an encrypted backup with its password, which is wiped when this returns. The key
    // derivation takes seconds at real round counts and cannot be interrupted inside libcrypto:
    // run this on a worker thread. progress (share done, 0..1) is called between steps and while
    // Manifest.db is decrypted; returning false stops at the next step with Cancelled and keeps
    // nothing. A caller that cannot wait for that step may abandon the worker's result. The
    // decrypted Manifest.db is written to a private folder below workParent (system temporary
    // folder when empty), opened, and unlinked at once.
    BackupError unlock(Secret password, const Keybag::Progress& progress = {},
                       const std::string& workParent = {});

    // The file listed under domain and relativePath.
    BackupError lookup(std::string_view domain, std::string_view relativePath, BackupEntry& entry) const;
    // Every regular file of domain whose path starts with prefix, in path order.
    BackupError list(std::string_view domain, std::string_view prefix,
                     std::vector<BackupEntry>& entries) const;
    bool hasDomain(std::string_view domain) const;

    // A plain backup's stored file, to be opened read-only in place; empty for an encrypted backup.
    std::string storedPath(const BackupEntry& entry) const;
    // Writes the file's content into sink: copied from a plain backup, decrypted from an
    // encrypted one. On failure the sink has been told to discard what it got.
    BackupError materialise(const BackupEntry& entry, ByteSink& sink) const;

private:
    BackupError readPlists();
    BackupError checkManifest();
    BackupError entryFrom(const Statement& row, BackupEntry& entry) const;
    void closeManifest();

    std::string m_folder;
    bool m_encrypted = false;
    std::string m_deviceName;
    std::string m_keybag;
    std::string m_manifestKey;
    std::map<std::uint32_t, Secret> m_classKeys;
    WalSnapshot m_walSnapshot;
    Database m_manifest;
    // The look-up by path, prepared once: media pages make one per file.
    mutable Statement m_lookup;
};

}  // namespace talvio::ios
