// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "whatsapp_storage.h"

#include "backup/backup_format.h"
#include "sources/phone_folder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace talvio {
namespace {

namespace fs = std::filesystem;

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// "msgstore-2024-01-31.1.db.crypt15" gives "2024-01-31"; the current "msgstore.db.crypt15" an
// empty date; anything else nothing.
std::optional<std::string> backupDate(std::string_view name) {
    if (name.starts_with("msgstore.db.crypt"))
        return std::string();
    if (!name.starts_with("msgstore-") || name.size() < 20)
        return std::nullopt;
    const std::string_view date = name.substr(9, 10);
    if (!allDigits(date.substr(0, 4)) || date[4] != '-' || !allDigits(date.substr(5, 2)) || date[7] != '-' ||
        !allDigits(date.substr(8, 2)) || name[19] != '.')
        return std::nullopt;
    return std::string(date);
}

int cryptNumber(std::string_view name) {
    const std::size_t dot = name.rfind(".crypt");
    if (dot == std::string_view::npos || !allDigits(name.substr(dot + 6)) || name.size() - dot > 9)
        return 0;
    return std::stoi(std::string(name.substr(dot + 6)));
}

std::string labelOf(const std::string& name, const std::string& date) {
    return date.empty() ? "Current backup (" + name + ")" : date + " (" + name + ")";
}

void readDatabases(const fs::path& databases, WhatsAppStorage& storage) {
    if (isFile(databases / "msgstore.db"))
        storage.plainMessageDb = (databases / "msgstore.db").string();
    if (isFile(databases / "wa.db"))
        storage.plainContactDb = (databases / "wa.db").string();
    std::error_code ec;
    for (fs::directory_iterator it(databases, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with("msgstore") || name.find(".crypt") == std::string::npos || !isFile(it->path()))
            continue;
        const backup::FormatGuess guess = backup::formatFromFileName(name);
        const std::optional<std::string> date = backupDate(name);
        if (!guess.format || !date) {
            if (!guess.format)
                storage.refusals.push_back(name + ": " + guess.refusal.message);
            continue;
        }
        storage.backups.push_back({it->path().string(), *date, labelOf(name, *date)});
    }
    // Current ones first, newest kind first; then the dated ones, newest first.
    std::sort(storage.backups.begin(), storage.backups.end(),
              [](const StoredBackup& a, const StoredBackup& b) {
                  if (a.date.empty() != b.date.empty())
                      return a.date.empty();
                  if (a.date != b.date)
                      return a.date > b.date;
                  const std::string nameA = fs::path(a.path).filename().string();
                  const std::string nameB = fs::path(b.path).filename().string();
                  if (cryptNumber(nameA) != cryptNumber(nameB))
                      return cryptNumber(nameA) > cryptNumber(nameB);
                  return nameA < nameB;
              });
    std::sort(storage.refusals.begin(), storage.refusals.end());
}

void readContactBackup(const fs::path& backups, WhatsAppStorage& storage) {
    int best = 0;
    std::error_code ec;
    for (fs::directory_iterator it(backups, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with("wa.db.crypt") || !backup::formatFromFileName(name).format ||
            !isFile(it->path()))
            continue;
        if (const int number = cryptNumber(name); number > best) {
            best = number;
            storage.contactBackup = it->path().string();
        }
    }
}

std::optional<WhatsAppStorage> storageAt(const fs::path& folder) {
    if (!isFolder(folder / "Databases"))
        return std::nullopt;
    WhatsAppStorage storage;
    storage.folder = withTrailingSlash(folder.string());
    readDatabases(folder / "Databases", storage);
    readContactBackup(folder / "Backups", storage);
    return storage;
}

}  // namespace

std::optional<WhatsAppStorage> findWhatsAppStorage(const std::string& folder) {
    if (folder.empty())
        return std::nullopt;
    const fs::path base = fs::path(folder).lexically_normal();
    for (const fs::path& candidate :
         {base, base / "WhatsApp", base / "WhatsApp Business", base / "media/com.whatsapp/WhatsApp",
          base / "media/com.whatsapp.w4b/WhatsApp Business"}) {
        if (auto storage = storageAt(candidate))
            return storage;
    }
    return std::nullopt;
}

std::optional<WhatsAppStorage> storageOfBackupFile(const std::string& file, std::string& refusal) {
    const fs::path path = fs::path(file).lexically_normal();
    const std::string name = path.filename().string();
    const backup::FormatGuess guess = backup::formatFromFileName(name);
    const std::optional<std::string> date = backupDate(name);
    if (!guess.format) {
        refusal = guess.refusal.message;
        return std::nullopt;
    }
    if (!date) {
        refusal = "\"" + name +
                  "\" is not a message backup. Choose msgstore.db.crypt15 (or .crypt14, .crypt12) from the "
                  "phone's WhatsApp/Databases folder.";
        return std::nullopt;
    }
    WhatsAppStorage storage;
    fs::path parent = path.parent_path();
    // A backup in its Databases folder belongs to the WhatsApp folder above, whose Backups/ may
    // hold the contacts; one lying elsewhere stands alone.
    if (parent.filename() == "Databases") {
        storage.folder = withTrailingSlash(parent.parent_path().string());
        readContactBackup(parent.parent_path() / "Backups", storage);
    } else {
        storage.folder = withTrailingSlash(parent.empty() ? std::string(".") : parent.string());
    }
    storage.backups.push_back({path.string(), *date, labelOf(name, *date)});
    return storage;
}

}  // namespace talvio
