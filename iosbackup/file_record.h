// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvio::ios {

// What a Manifest.db "file" blob says about one stored file: an MBFile object archived by
// NSKeyedArchiver in a binary plist, its references being UIDs into "$objects".
struct FileRecord {
    std::optional<std::uint64_t> size;
    std::uint32_t protectionClass = 0;
    // Encrypted backups: the file's key wrapped with its class key (the leading class number
    // already dropped). Empty in plain backups.
    std::string wrappedKey;
};

// Nothing when the blob is not such an archive.
std::optional<FileRecord> parseFileRecord(std::string_view blob);

// The blob for a file of a backup we write ourselves; keyWithClass empty for a plain backup.
std::string makeFileRecord(std::string_view relativePath, std::uint64_t size, std::uint32_t protectionClass,
                           std::string_view keyWithClass);

}  // namespace talvio::ios
