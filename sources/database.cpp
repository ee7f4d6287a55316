// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "database.h"

#include "sources/program_state.h"

#include <sqlite3.h>

#include <filesystem>
#include <system_error>
#include <utility>

namespace talvio {
namespace {

int allowTablesOnly(void*, int action, const char*, const char*, const char*, const char* viewOrTrigger) {
    if (action == SQLITE_RECURSIVE || viewOrTrigger != nullptr)
        return SQLITE_DENY;
    return SQLITE_OK;
}

int stopUnlessWanted(void*) {
    return loadStillWanted() ? 0 : 1;
}

// About a millisecond of work between two looks at the progress dialog.
constexpr int kInstructionsBetweenLooks = 20000;

}  // namespace

std::string sqliteFileUri(const std::string& utf8Path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : utf8Path) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '/' || c == '-' || c == '_' || c == '.' || c == '~' || c >= 0x80;
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

Database::~Database() {
    close();
}

Database::Database(Database&& other) noexcept : m_db(std::exchange(other.m_db, nullptr)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

int Database::open(const std::string& utf8Path, Access access) {
    close();
    if (utf8Path.empty() || utf8Path.find('\0') != std::string::npos) {
        return SQLITE_CANTOPEN;
    }
    // A copied folder can hold anything under a database's name, and SQLite opens what it is
    // given: a FIFO blocks the open until a writer comes, a device reads without end. Only a
    // regular file (or, to be created, nothing) is a database.
    std::error_code ec;
    const std::filesystem::file_type type = std::filesystem::status(utf8Path, ec).type();
    if (type != std::filesystem::file_type::regular && type != std::filesystem::file_type::not_found) {
        return SQLITE_CANTOPEN;
    }
    // Each connection is used by one thread at a time (search reads on connections of its own), so
    // SQLite's lock around every call is pure cost: it was a sixth of a pass over a million rows.
    int flags = SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    std::string name;
    switch (access) {
        case Access::ReadOnlySnapshot:
            // immutable=1: no locks, no -shm, no WAL recovery, nothing written: the main file alone
            // is what is shown, and the user's folder stays byte for byte as it was.
            flags |= SQLITE_OPEN_READONLY;
            name = sqliteFileUri(utf8Path) + "?mode=ro&immutable=1";
            break;
        case Access::ReadWriteExisting:
            flags |= SQLITE_OPEN_READWRITE;
            name = sqliteFileUri(utf8Path);
            break;
        case Access::Create:
            flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
            name = sqliteFileUri(utf8Path);
            break;
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(name.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return rc;
    }
    sqlite3_extended_result_codes(db, 0);
    m_db = db;
    if (access == Access::ReadOnlySnapshot)
        limitToTables();
    return SQLITE_OK;
}

int Database::openImage(std::span<const std::uint8_t> image) {
    close();
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        // READONLY: SQLite neither writes to the bytes nor takes them over.
        rc = sqlite3_deserialize(db, "main", const_cast<unsigned char*>(image.data()),
                                 static_cast<sqlite3_int64>(image.size()),
                                 static_cast<sqlite3_int64>(image.size()), SQLITE_DESERIALIZE_READONLY);
    }
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return rc;
    }
    sqlite3_extended_result_codes(db, 0);
    m_db = db;
    limitToTables();
    return SQLITE_OK;
}

void Database::limitToTables() {
    if (m_db == nullptr)
        return;
    sqlite3_set_authorizer(m_db, allowTablesOnly, nullptr);
    sqlite3_progress_handler(m_db, kInstructionsBetweenLooks, stopUnlessWanted, nullptr);
}

void Database::close() {
    if (m_db != nullptr) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

int Database::exec(const std::string& sql, std::string* error) {
    if (m_db == nullptr) {
        if (error != nullptr)
            *error = "database not open";
        return SQLITE_MISUSE;
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message);
    if (error != nullptr)
        *error = message != nullptr ? message : "";
    sqlite3_free(message);
    return rc;
}

std::string Database::lastError() const {
    return m_db != nullptr ? sqlite3_errmsg(m_db) : "database not open";
}

Statement::Statement(const Database& db, std::string_view sql) {
    if (db.handle() == nullptr) {
        m_lastResult = SQLITE_MISUSE;
        return;
    }
    m_lastResult =
        sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    if (m_lastResult != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement&& other) noexcept
    : m_stmt(std::exchange(other.m_stmt, nullptr)), m_lastResult(other.m_lastResult) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_lastResult = other.m_lastResult;
    }
    return *this;
}

void Statement::bind(int index, std::string_view text) {
    if (m_stmt != nullptr) {
        sqlite3_bind_text64(m_stmt, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
}

void Statement::bind(int index, std::int64_t value) {
    if (m_stmt != nullptr)
        sqlite3_bind_int64(m_stmt, index, value);
}

void Statement::bind(int index, double value) {
    if (m_stmt != nullptr)
        sqlite3_bind_double(m_stmt, index, value);
}

void Statement::bindNull(int index) {
    if (m_stmt != nullptr)
        sqlite3_bind_null(m_stmt, index);
}

bool Statement::step() {
    if (m_stmt == nullptr)
        return false;
    m_lastResult = sqlite3_step(m_stmt);
    return m_lastResult == SQLITE_ROW;
}

bool Statement::failed() const {
    return m_stmt == nullptr || (m_lastResult != SQLITE_ROW && m_lastResult != SQLITE_DONE);
}

void Statement::reset() {
    if (m_stmt != nullptr) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

int Statement::columnCount() const {
    return m_stmt != nullptr ? sqlite3_column_count(m_stmt) : 0;
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

const char* Statement::text(int column) const {
    return reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
}

std::string_view Statement::textView(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    if (p == nullptr)
        return {};
    return {p, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column))};
}

std::int64_t Statement::int64(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

}  // namespace talvio
