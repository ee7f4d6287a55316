// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "backup/backup_outcome.h"
#include "backup/key_material.h"
#include "backup/plain_sink.h"

namespace talvio::backup {

struct DecryptOptions {
    // Bytes of the backup read, decrypted and inflated at a time (64 bytes to 64 MiB): memory stays
    // near three chunks whatever the backup's size.
    std::size_t chunkSize = std::size_t{1} << 20;
    // Called after every chunk with the bytes of the file done so far and the file's size, last
    // with both equal once the tag is verified; returning false cancels.
    std::function<bool(std::uint64_t done, std::uint64_t total)> progress;
};

// Decrypts an Android backup (crypt12, crypt14 or crypt15, told by its name and checked against
// its header) and writes the SQLite database inside it to `sink`. The sink sees plaintext before
// the tag is checked at the end; on any outcome but Decrypted it has been discarded.
BackupOutcome decryptBackup(const std::string& path, const KeyMaterial& key, PlainSink& sink,
                            const DecryptOptions& options = {});

// The same for a backup the caller opened itself (read-only; read from offset 0 with pread, the
// file position is left alone). `fileName` gives the format.
BackupOutcome decryptBackup(int fd, std::string_view fileName, const KeyMaterial& key, PlainSink& sink,
                            const DecryptOptions& options = {});

}  // namespace talvio::backup
