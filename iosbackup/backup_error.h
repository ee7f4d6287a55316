// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>

namespace talvio::ios {

enum class BackupProblem {
    None,
    NotABackup,         // the folder lacks Manifest.db, Manifest.plist or Info.plist
    StillBeingWritten,  // Status.plist says the snapshot is not finished
    Unreadable,         // a plist or file could not be read or parsed
    DamagedManifest,    // Manifest.db cannot be opened or does not list files the way a backup does
    Locked,             // an encrypted backup asked for a file before unlock()
    WrongPassword,
    Cancelled,
    NotListed,      // no such domain and path in Manifest.db
    MissingFile,    // listed, but its hashed file is not in the folder
    TruncatedFile,  // shorter than Manifest.db says
    NoWhatsApp,
    NoChatStorage,  // WhatsApp is there but its chats were left out
    WriteFailed,    // the caller's sink refused the bytes
};

// What went wrong, with a message that tells the user what to do. problem None means success.
struct BackupError {
    BackupProblem problem = BackupProblem::None;
    std::string message;

    bool failed() const { return problem != BackupProblem::None; }
    static BackupError ok() { return {}; }
};

}  // namespace talvio::ios
