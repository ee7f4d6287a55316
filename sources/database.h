// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace talvio {

// One SQLite connection. Owns the handle and closes it on destruction.
class Database {
public:
    enum class Access {
        // The user's phone copy: read-only, never created, and opened immutable so that
        // SQLite neither creates nor rewrites -wal/-shm/journal companions beside it.
        ReadOnlySnapshot,
        // A file that must exist and may be written (the recover tool's target database).
        ReadWriteExisting,
        // Created when missing (fixtures and other files of our own).
        Create,
    };

    Database() = default;
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Returns the SQLite result code (0 = opened). On failure the object stays closed.
    int open(const std::string& utf8Path, Access access);
    // Reads a database held in memory (a decrypted backup) as a ReadOnlySnapshot reads a file:
    // read-only, limited to tables. The bytes are read where they lie and must outlive the
    // connection. Returns the SQLite result code.
    int openImage(std::span<const std::uint8_t> image);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    // For a database from a phone folder: statements may read tables only, never through a view
    // or a recursive query (either can make a read that never ends; real stores hold tables),
    // and a running query stops once the load's progress dialog no longer wants it. Opening a
    // ReadOnlySnapshot does this by itself.
    void limitToTables();

    // Runs one or more statements without results; returns the SQLite result code.
    int exec(const std::string& sql, std::string* error = nullptr);
    std::string lastError() const;

private:
    sqlite3* m_db = nullptr;
};

// One prepared statement. Values are bound, never spliced into the SQL text.
class Statement {
public:
    Statement() = default;
    Statement(const Database& db, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return m_stmt != nullptr; }

    // Parameters are numbered from 1, as in SQLite.
    void bind(int index, std::string_view text);
    void bind(int index, std::int64_t value);
    void bind(int index, double value);
    void bindNull(int index);

    // Advances to the next row: true while a row is available. A failure ends the rows;
    // result() then tells SQLITE_DONE from an error.
    bool step();
    int result() const { return m_lastResult; }
    // Whether the statement could not be prepared or its rows ended in an error.
    bool failed() const;
    void reset();

    int columnCount() const;
    bool isNull(int column) const;
    // The column as text, the way sqlite3_exec hands it to a row handler: numbers in decimal,
    // nullptr for NULL. The pointer lives until the next step.
    const char* text(int column) const;
    // The column's text with its full length (sqlite3_exec stops at an embedded zero byte).
    std::string_view textView(int column) const;
    std::int64_t int64(int column) const;
    double real(int column) const;

    sqlite3_stmt* handle() const { return m_stmt; }

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_lastResult = 0;
};

// file: URI for a path, with the characters that a URI gives a meaning to percent-encoded.
std::string sqliteFileUri(const std::string& utf8Path);

}  // namespace talvio
