// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "wal_snapshot.h"

#include <filesystem>
#include <random>
#include <system_error>

namespace talvio {
namespace fs = std::filesystem;
namespace {

bool stampOf(const std::string& path, std::uintmax_t& size, std::int64_t& modified) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    size = fs::file_size(path, ec);
    if (ec) return false;
    modified = fs::last_write_time(path, ec).time_since_epoch().count();
    return !ec;
}

// A new folder of our own below the temporary folder.
std::string makePrivateFolder() {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) return {};
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path folder = base / ("talvio-wal-" + std::to_string(random()));
        if (fs::create_directory(folder, ec)) {
            fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
            return folder.string() + "/";
        }
    }
    return {};
}

}  // namespace

WalSnapshot::~WalSnapshot() { discard(); }

void WalSnapshot::discard() {
    if (!m_folder.empty()) {
        std::error_code ec;
        fs::remove_all(m_folder, ec);
    }
    m_folder.clear();
    m_copy.clear();
    m_source.clear();
}

bool WalSnapshot::makeCopy(const std::string& path) {
    discard();
    m_folder = makePrivateFolder();
    if (m_folder.empty()) return false;
    const std::string copy = m_folder + "ChatStorage.sqlite";
    std::error_code ec;
    fs::copy_file(path, copy, ec);
    if (!ec) fs::copy_file(path + "-wal", copy + "-wal", ec);
    if (ec) {
        discard();
        return false;
    }
    m_copy = copy;
    m_source = path;
    return true;
}

int WalSnapshot::open(const std::string& path, Database& database) {
    Stamp db;
    Stamp log;
    const bool hasLog = stampOf(path + "-wal", log.size, log.modified) && log.size > 0;
    if (!hasLog || !stampOf(path, db.size, db.modified)) {
        discard();
        return database.open(path, Database::Access::ReadOnlySnapshot);
    }
    const bool current = !m_copy.empty() && m_source == path && m_databaseStamp == db && m_logStamp == log;
    if (!current) {
        if (!makeCopy(path)) return database.open(path, Database::Access::ReadOnlySnapshot);
        m_databaseStamp = db;
        m_logStamp = log;
    }
    // The copy is ours: SQLite may replay the log into it and keep its index beside it.
    const int rc = database.open(m_copy, Database::Access::ReadWriteExisting);
    if (rc != 0) {
        discard();
        return database.open(path, Database::Access::ReadOnlySnapshot);
    }
    database.limitToTables();
    return rc;
}

}  // namespace talvio
