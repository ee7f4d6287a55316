// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "backup/backup_outcome.h"

namespace talvio::backup {

enum class BackupFormat { Crypt12, Crypt14, Crypt15 };

// What the file's name says. A name that is not one of the three kinds read gets the reason the
// user sees.
struct FormatGuess {
    std::optional<BackupFormat> format;
    BackupOutcome refusal;  // NotReadYet or UnknownFormat when there is no format
};

// From the file's name alone (any folder before it is ignored): "msgstore.db.crypt15", "wa.db.crypt14",
// "msgstore-2024-01-31.1.db.crypt12". Incremental backups and crypt16 and later are refused.
FormatGuess formatFromFileName(std::string_view path);

std::string_view formatName(BackupFormat format);

}  // namespace talvio::backup
