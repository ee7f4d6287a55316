// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "backup/backup_format.h"
#include "backup/key_material.h"

namespace talvio::backup {

// How to write a fixture backup; the defaults are those of a phone's msgstore backup.
struct BackupWriteOptions {
    BackupFormat format = BackupFormat::Crypt15;
    bool featureTable = true;  // crypt14/15: the 0x01 byte of msgstore backups (wa.db backups lack it)
    bool md5Trailer = true;  // crypt14/15 single-file backups end with an MD5; crypt12 always has its trailer
    bool compress = true;    // false encrypts the bytes as given (a ZIP, a broken stream)
    std::string appVersion = "2.24.9.79";
    std::string jidSuffix = "21";  // crypt12 keeps four characters of it, crypt14/15 the text
};

// A whole backup file as WhatsApp writes one, with fresh random salts and nonce. `key` is the
// root key for crypt15 (the AES key is derived from it) and the AES key for crypt12 and crypt14.
// Empty only when libcrypto or zlib fail.
std::vector<std::uint8_t> writeBackup(std::span<const std::uint8_t> plain, const KeyMaterial& key,
                                      const BackupWriteOptions& options = {});

// A fresh random key from libcrypto's generator.
KeyMaterial randomKey(KeyKind kind);

// The 158-byte `key` file holding `aesKey`, with random salts and hash.
std::vector<std::uint8_t> writeBackupKeyFile(const KeyMaterial& aesKey);

// The 59-byte `encrypted_backup.key` file holding `rootKey`.
std::vector<std::uint8_t> writeRootKeyFile(const KeyMaterial& rootKey);

}  // namespace talvio::backup
