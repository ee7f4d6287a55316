// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/wal_tail_writer.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <system_error>

#include "sources/database.h"

namespace talvio::fixture {

namespace {

enum ChildExit { kApplied = 0, kCannotOpen = 2, kNotWal = 3, kSqlFailed = 4 };

[[noreturn]] void runChild(const std::filesystem::path& database, const std::string& sql) {
    // Never destroyed, since every path ends in _exit: its destructor would close the
    // connection, and the last close of a WAL database checkpoints and deletes the -wal.
    Database db;
    if (db.open(database.string(), Database::Access::ReadWriteExisting) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", database.c_str());
        _exit(kCannotOpen);
    }
    Statement mode(db, "PRAGMA journal_mode;");
    if (!mode.step() || mode.textView(0) != "wal") {
        std::fprintf(stderr, "%s is not in WAL mode\n", database.c_str());
        _exit(kNotWal);
    }
    mode = Statement();
    std::string error;
    if (db.exec("PRAGMA wal_autocheckpoint=0;", &error) != SQLITE_OK ||
        db.exec("BEGIN;\n" + sql + "\n;COMMIT;", &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s (wal tail): %s\n", database.c_str(), error.c_str());
        _exit(kSqlFailed);
    }
    // _exit, not exit: no atexit handlers, no destructors, nothing that could close SQLite.
    _exit(kApplied);
}

std::uintmax_t sizeOf(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    return error ? 0 : size;
}

}  // namespace

Failure WalTailWriter::apply(const std::filesystem::path& database, std::string_view sql) {
    const std::string script(sql);
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0)
        return "cannot start the process that writes the WAL tail";
    if (child == 0)
        runChild(database, script);

    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != kApplied) {
        return "writing the WAL tail of " + database.string() + " failed";
    }
    std::filesystem::path wal = database;
    wal += "-wal";
    std::filesystem::path shm = database;
    shm += "-shm";
    if (sizeOf(wal) == 0)
        return "the WAL tail left no frames in " + wal.string();
    if (sizeOf(shm) == 0)
        return "the WAL tail left no " + shm.string();
    return std::nullopt;
}

}  // namespace talvio::fixture
