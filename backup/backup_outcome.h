// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>

namespace talvio::backup {

enum class BackupStatus {
    Decrypted,      // the whole database went to the sink and its tag was verified
    WrongKey,       // the key does not open this backup
    WrongKeyKind,   // a crypt12/14 key for a crypt15 backup, or the other way round
    Damaged,        // cut short or changed: tag mismatch, broken zlib stream, short header
    NotReadYet,     // crypt16 and later, incremental and multi-file backups
    UnknownFormat,  // not a backup of a kind read here, or the name and the header disagree
    Cancelled,      // the progress callback asked to stop
    ReadFailed,     // the backup file could not be read
    WriteFailed,    // the sink refused the plaintext
};

// What became of a decryption, with a message that tells the user what to do next. Unless the
// status is Decrypted the sink has been emptied.
struct BackupOutcome {
    BackupStatus status = BackupStatus::Decrypted;
    std::string message;

    bool ok() const { return status == BackupStatus::Decrypted; }
};

BackupOutcome decrypted();
BackupOutcome wrongKey();
BackupOutcome damaged(const std::string& what);
BackupOutcome cancelled();

}  // namespace talvio::backup
