// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "sources/database.h"

namespace talvio::fixture::test {

// A fresh folder below the system's temporary folder, removed again with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Opens a database the way the viewer does (read-only, immutable), so tests leave built
// folders exactly as they were.
Database openSnapshot(const std::filesystem::path& file);

std::int64_t queryInt(const Database& db, const std::string& sql);
// The first column of every row, NULL as "<null>".
std::vector<std::string> queryColumn(const Database& db, const std::string& sql);

std::string fileBytes(const std::filesystem::path& file);

// The real legacy layouts, as WhatsApp wrote them, to hold the built databases against.
const std::vector<std::string>& legacyMessageColumns();
const std::vector<std::string>& waContactColumns();

// Checks tables, column order and indexes of a built folder's two databases.
void expectRealLayout(const std::filesystem::path& folder);

// The same for msgstore.db in the layout of 2022 on ("message", "chat", "jid", ...), alone or,
// with legacyToo, beside the legacy tables as in mixed databases.
void expectModernLayout(const std::filesystem::path& folder, bool legacyToo = false);

}  // namespace talvio::fixture::test
