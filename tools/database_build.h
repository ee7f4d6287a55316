// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "sources/database.h"
#include "tools/failure.h"

namespace talvio::fixture {

// One database of a fixture folder, from a fresh file to a cleanly closed WAL-mode database,
// which is what a copy of a phone's folder holds.
class DatabaseBuild {
public:
    // Creates the file (replacing an old one) and runs the schema, if one is given. The file is
    // filled without a journal: a failed build is thrown away, not rolled back.
    Failure create(const std::filesystem::path& file, std::string_view schemaSql);

    // Runs SQL text (any number of statements) as one transaction. `what` names it in errors.
    Failure run(std::string_view sql, std::string_view what);

    Database& database() { return m_database; }

    // Indexes kept up row by row cost more than the rows themselves; built once over the
    // finished table they are cheap. Drops the table's indexes until restoreIndexes(), which
    // makes them again from their definitions in the schema, so the file ends with the same ones.
    Failure deferIndexes(std::string_view table);
    Failure restoreIndexes();

    // Switches to WAL, closes (which checkpoints and removes the -wal), and checks the result.
    Failure finish();

    // True when the file's header says WAL (bytes 18 and 19 are both 2).
    static bool hasWalHeader(const std::filesystem::path& file);

private:
    std::filesystem::path m_file;
    Database m_database;
    std::vector<std::string> m_deferredIndexes;
};

}  // namespace talvio::fixture
