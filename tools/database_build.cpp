// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/database_build.h"

#include <sqlite3.h>

#include <fstream>
#include <system_error>

namespace talvio::fixture {

namespace {

std::filesystem::path companion(const std::filesystem::path& file, const char* suffix) {
    std::filesystem::path result = file;
    result += suffix;
    return result;
}

}  // namespace

Failure DatabaseBuild::create(const std::filesystem::path& file, std::string_view schemaSql) {
    m_database.close();
    m_file = file;
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::filesystem::remove(companion(file, suffix), ignored);
    }
    if (m_database.open(file.string(), Database::Access::Create) != SQLITE_OK) {
        return "cannot create " + file.string();
    }
    // Speed only: the journal mode ends as WAL in finish(), and the page cache lets the
    // indexes of a million-row table grow in memory instead of by page reads.
    if (m_database.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-262144;") !=
        SQLITE_OK) {
        return file.string() + ": " + m_database.lastError();
    }
    if (!schemaSql.empty())
        return run(schemaSql, "schema");
    return std::nullopt;
}

Failure DatabaseBuild::run(std::string_view sql, std::string_view what) {
    std::string error;
    // sqlite3_exec needs a terminated string; SQL files are small enough to copy.
    const std::string script = "BEGIN;\n" + std::string(sql) + "\n;COMMIT;";
    if (m_database.exec(script, &error) != SQLITE_OK) {
        // Without a journal a rollback is undefined; the half-built file goes instead.
        m_database.close();
        std::error_code ignored;
        std::filesystem::remove(m_file, ignored);
        return m_file.filename().string() + " (" + std::string(what) + "): " + error;
    }
    return std::nullopt;
}

Failure DatabaseBuild::deferIndexes(std::string_view table) {
    std::vector<std::string> names;
    Statement list(
        m_database,
        "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ? AND sql IS NOT NULL");
    list.bind(1, table);
    while (list.step()) {
        names.emplace_back(list.textView(0));
        m_deferredIndexes.emplace_back(list.textView(1));
    }
    list = Statement();
    for (const std::string& name : names) {
        if (m_database.exec("DROP INDEX " + name) != SQLITE_OK)
            return m_file.filename().string() + ": " + m_database.lastError();
    }
    return std::nullopt;
}

Failure DatabaseBuild::restoreIndexes() {
    for (const std::string& index : m_deferredIndexes) {
        if (m_database.exec(index) != SQLITE_OK)
            return m_file.filename().string() + ": " + m_database.lastError();
    }
    m_deferredIndexes.clear();
    return std::nullopt;
}

Failure DatabaseBuild::finish() {
    Statement mode(m_database, "PRAGMA journal_mode=WAL;");
    if (!mode.step() || mode.textView(0) != "wal") {
        return m_file.string() + ": cannot switch to WAL: " + m_database.lastError();
    }
    mode = Statement();
    if (m_database.exec("PRAGMA synchronous=NORMAL;") != SQLITE_OK) {
        return m_file.string() + ": " + m_database.lastError();
    }
    m_database.close();
    std::error_code error;
    if (std::filesystem::exists(companion(m_file, "-wal"), error)) {
        return m_file.string() + ": the -wal was left behind after closing";
    }
    if (!hasWalHeader(m_file))
        return m_file.string() + ": header does not say WAL";
    return std::nullopt;
}

bool DatabaseBuild::hasWalHeader(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    char header[20] = {};
    if (!in.read(header, sizeof header))
        return false;
    return header[18] == 2 && header[19] == 2;
}

}  // namespace talvio::fixture
