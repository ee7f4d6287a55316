// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "backup/backup_format.h"
#include "backup/backup_outcome.h"

namespace talvio::backup {

inline constexpr std::size_t kNonceSize = 16;
inline constexpr std::size_t kCrypt12HeaderSize = 67;
// A length byte, the feature-table byte and at most 255 bytes of protobuf.
inline constexpr std::size_t kMaxHeaderSize = 257;

struct BackupHeader {
    BackupFormat format = BackupFormat::Crypt15;
    std::size_t size = 0;  // bytes before the ciphertext
    std::array<std::uint8_t, kNonceSize> nonce{};
    bool featureTable = false;             // crypt14/15 msgstore backups carry the 0x01 byte
    std::optional<std::uint64_t> keyType;  // crypt14/15: 0 = server key, 1 = end-to-end key
    std::uint8_t keyVersion = 0;           // crypt12 and crypt14's cipher fields
    std::vector<std::uint8_t> serverSalt;  // crypt12 and crypt14 only, as the header has them
    std::vector<std::uint8_t> googleIdSalt;
    std::string appVersion;  // the WhatsApp version that wrote it, when the header says
};

struct HeaderResult {
    std::optional<BackupHeader> header;
    BackupOutcome failure;  // why there is no header
};

// Reads the header at the start of a backup named as `expected`. `start` holds the file's first
// bytes (up to kMaxHeaderSize, fewer when the file is shorter); every field is read, none guessed
// from an offset, and a header of another kind than the name says is refused.
HeaderResult parseBackupHeader(std::span<const std::uint8_t> start, BackupFormat expected);

}  // namespace talvio::backup
