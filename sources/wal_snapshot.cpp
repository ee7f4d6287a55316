// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "wal_snapshot.h"

#include <filesystem>
#include <system_error>

namespace talvio {
namespace fs = std::filesystem;
namespace {

bool stampOf(const std::string& path, std::uintmax_t& size, std::int64_t& modified) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return false;
    size = fs::file_size(path, ec);
    if (ec)
        return false;
    modified = fs::last_write_time(path, ec).time_since_epoch().count();
    return !ec;
}

}  // namespace

void WalSnapshot::discard() {
    m_copy.remove();
    m_source.clear();
}

bool WalSnapshot::makeCopy(const std::string& path) {
    discard();
    for (int attempt = 0; attempt < 16; ++attempt) {
        if (m_copy.make(path, unguessableTemporaryFolder("talvio-wal-"))) {
            m_source = path;
            return true;
        }
    }
    return false;
}

int WalSnapshot::open(const std::string& path, Database& database) {
    Stamp db;
    Stamp log;
    const bool hasLog = stampOf(path + "-wal", log.size, log.modified) && log.size > 0;
    if (!hasLog || !stampOf(path, db.size, db.modified)) {
        discard();
        return database.open(path, Database::Access::ReadOnlySnapshot);
    }
    const bool current =
        !m_copy.path().empty() && m_source == path && m_databaseStamp == db && m_logStamp == log;
    if (!current) {
        if (!makeCopy(path))
            return database.open(path, Database::Access::ReadOnlySnapshot);
        m_databaseStamp = db;
        m_logStamp = log;
    }
    // The copy is ours: SQLite may replay the log into it and keep its index beside it.
    const int rc = database.open(m_copy.path(), Database::Access::ReadWriteExisting);
    if (rc != 0) {
        discard();
        return database.open(path, Database::Access::ReadOnlySnapshot);
    }
    database.limitToTables();
    return rc;
}

}  // namespace talvio
