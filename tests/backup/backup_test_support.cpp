// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup_test_support.h"

#include <sqlite3.h>

#include <array>
#include <stdexcept>

#include "tests/support/temp_dir.h"

namespace talvio::backup::test {

Bytes makeDatabase(int rows, int blobSize) {
    talvio::test::TempDir folder;
    const std::string path = folder.path() + "msgstore.db";
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot create the database");
    const std::string sql =
        "CREATE TABLE messages (_id INTEGER PRIMARY KEY, key_remote_jid TEXT, data TEXT, raw_data BLOB);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(rows) +
        ") INSERT INTO messages (key_remote_jid, data, raw_data) "
        "SELECT '4912345' || (i % 7) || '@s.whatsapp.net', 'message ' || i, randomblob(" +
        std::to_string(blobSize) + ") FROM n;";
    const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (result != SQLITE_OK)
        throw std::runtime_error("cannot fill the database");
    return readBytes(path);
}

KeyMaterial testKey(KeyKind kind, std::uint8_t seed) {
    std::array<std::uint8_t, kKeySize> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(seed * 31 + i * 7);
    return KeyMaterial(kind, bytes);
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    talvio::test::writeFile(path, std::string(bytes.begin(), bytes.end()));
}

Bytes readBytes(const std::string& path) {
    const std::string data = talvio::test::readFile(path);
    return Bytes(data.begin(), data.end());
}

}  // namespace talvio::backup::test
