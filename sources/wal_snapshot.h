// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/database.h"
#include "sources/private_copy.h"

#include <cstdint>
#include <string>

namespace talvio {

// An iPhone store copied while WhatsApp ran keeps its newest messages in ChatStorage.sqlite-wal.
// Opened immutable, SQLite ignores that log; opened normally, it would write beside the user's
// files. So when a log is there, the database and its log are copied into a private folder and
// SQLite applies the log to the copy. The copy lives until the next refresh or destruction.
class WalSnapshot {
public:
    WalSnapshot() = default;
    WalSnapshot(const WalSnapshot&) = delete;
    WalSnapshot& operator=(const WalSnapshot&) = delete;

    // Opens the database at path, through a fresh private copy when a non-empty log lies beside
    // it (or the copy made before, while the two files are unchanged). Returns the SQLite code.
    int open(const std::string& path, Database& database);
    void discard();

private:
    struct Stamp {
        std::uintmax_t size = 0;
        std::int64_t modified = 0;
        bool operator==(const Stamp&) const = default;
    };
    bool makeCopy(const std::string& path);

    std::string m_source;
    Stamp m_databaseStamp;
    Stamp m_logStamp;
    PrivateCopy m_copy;
};

}  // namespace talvio
