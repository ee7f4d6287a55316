// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/backup_outcome.h"

namespace talvio::backup {

BackupOutcome decrypted() {
    return {BackupStatus::Decrypted, {}};
}

BackupOutcome wrongKey() {
    // A nonce changed in a damaged header looks the same as a wrong key; the second sentence covers it.
    return {BackupStatus::WrongKey,
            "This key does not open this backup. Check that it is the key of the account and the phone that "
            "made the backup; if it is, the file may be damaged: copy it from the phone again."};
}

BackupOutcome damaged(const std::string& what) {
    return {BackupStatus::Damaged, "This backup is cut short or damaged (" + what +
                                       "). Copy it from the phone again, or open an older backup."};
}

BackupOutcome cancelled() {
    return {BackupStatus::Cancelled, "Opening the backup was cancelled."};
}

}  // namespace talvio::backup
