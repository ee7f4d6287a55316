// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// An encrypted Android backup of any bytes: the first byte picks crypt12, crypt14 or crypt15 (the
// file's name), the rest is the file. The header is read on its own and the whole file decrypted
// in 64-byte chunks; whatever goes wrong must be an outcome with a message and an empty sink.
#include "backup/backup_decryptor.h"
#include "backup/backup_header.h"
#include "fuzz/backup_fuzz_key.h"
#include "fuzz/fuzz_support.h"

#include <string>

using namespace talvio;
using namespace talvio::backup;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const BackupFormat kFormats[] = {BackupFormat::Crypt12, BackupFormat::Crypt14,
                                            BackupFormat::Crypt15};
    const BackupFormat format = kFormats[data[0] % 3];
    const std::span<const std::uint8_t> file(data + 1, size - 1);

    const HeaderResult parsed = parseBackupHeader(file, format);
    if (parsed.header) {
        FUZZ_CHECK(parsed.header->size > 0 && parsed.header->size <= file.size(),
                   "a header beyond the input");
        FUZZ_CHECK(parsed.header->format == format, "a header of another format than asked");
    } else {
        FUZZ_CHECK(!parsed.failure.ok() && !parsed.failure.message.empty(),
                   "a refused header without a reason");
    }

    const std::string path = fuzz::scratchFolder() + "msgstore.db." + std::string(formatName(format));
    fuzz::writeScratchFile(path, fuzz::asText(file.data(), file.size()));
    MemorySink sink;
    DecryptOptions options;
    options.chunkSize = 64;
    std::uint64_t last = 0;
    options.progress = [&](std::uint64_t done, std::uint64_t total) {
        FUZZ_CHECK(done > last && done <= total && total == file.size(), "progress out of order");
        last = done;
        return true;
    };
    const BackupOutcome outcome = decryptBackup(path, fuzz::backupFuzzKey(), sink, options);
    FUZZ_CHECK(outcome.ok() == outcome.message.empty(), "an outcome without a message, or success with one");
    if (!outcome.ok())
        FUZZ_CHECK(sink.data().empty(), "a failed decryption left plaintext in the sink");
    if (outcome.ok())
        FUZZ_CHECK(parsed.header.has_value(), "decrypted without a header");
    return 0;
}
