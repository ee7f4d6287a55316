// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/backup_format.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace talvio::backup {

FormatGuess formatFromFileName(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    // Copies made on other systems may come in capitals ("MSGSTORE.DB.CRYPT15").
    std::string lower(slash == std::string_view::npos ? path : path.substr(slash + 1));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string_view fileName = lower;
    const std::size_t dot = fileName.rfind(".crypt");
    int number = 0;
    const std::string_view digits =
        dot == std::string_view::npos ? std::string_view{} : fileName.substr(dot + 6);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (dot == std::string_view::npos || digits.empty() || error != std::errc{} ||
        end != digits.data() + digits.size()) {
        return {std::nullopt,
                {BackupStatus::UnknownFormat,
                 "This is not an encrypted WhatsApp backup: its name does not end in .crypt12, .crypt14 or "
                 ".crypt15. Choose a file such as msgstore.db.crypt15 from the phone's Databases folder."}};
    }
    if (fileName.starts_with("msgstore-increment-")) {
        return {std::nullopt,
                {BackupStatus::NotReadYet,
                 "Incremental backups (msgstore-increment-N) are not read yet. Open the full backup, "
                 "msgstore.db.crypt15, from the same folder."}};
    }
    switch (number) {
        case 12:
            return {BackupFormat::Crypt12, {}};
        case 14:
            return {BackupFormat::Crypt14, {}};
        case 15:
            return {BackupFormat::Crypt15, {}};
        default:
            break;
    }
    if (number > 15) {
        return {std::nullopt,
                {BackupStatus::NotReadYet,
                 "Backups of the kind crypt" + std::to_string(number) +
                     " are not read yet. Talvio reads crypt12, crypt14 and crypt15 backups."}};
    }
    return {std::nullopt,
            {BackupStatus::UnknownFormat,
             "Backups of the older kind crypt" + std::to_string(number) +
                 " are not read. Talvio reads crypt12, crypt14 and crypt15 backups."}};
}

std::string_view formatName(BackupFormat format) {
    switch (format) {
        case BackupFormat::Crypt12:
            return "crypt12";
        case BackupFormat::Crypt14:
            return "crypt14";
        case BackupFormat::Crypt15:
            return "crypt15";
    }
    return "crypt";
}

}  // namespace talvio::backup
