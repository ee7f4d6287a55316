// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "android_folder.h"

#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/database.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "temp_dir.h"

#include <filesystem>
#include <stdexcept>

namespace talvio::test {

void runSql(const std::string& path, const std::string& sql) {
    Database db;
    if (db.open(path, Database::Access::Create) != 0)
        throw std::runtime_error("cannot create " + path);
    std::string error;
    if (db.exec(sql, &error) != 0)
        throw std::runtime_error(path + ": " + error);
}

void makeAndroidFolder(const std::string& folder, const std::string& msgstoreSql, const std::string& waSql) {
    std::filesystem::create_directories(folder + "databases");
    const std::string data = TALVIO_TEST_DATA "/android/";
    const std::string wal = "PRAGMA journal_mode=WAL;";
    runSql(folder + "databases/msgstore.db", wal + readFile(data + "msgstore-schema.sql") + msgstoreSql);
    runSql(folder + "databases/wa.db", wal + readFile(data + "wa-schema.sql") + waSql);
}

void makeModernAndroidFolder(const std::string& folder, const std::string& msgstoreSql,
                             const std::string& waSql, bool bothLayouts) {
    std::filesystem::create_directories(folder + "databases");
    const std::string data = TALVIO_TEST_DATA "/android/";
    const std::string wal = "PRAGMA journal_mode=WAL;";
    const std::string base =
        bothLayouts ? readFile(data + "msgstore-schema.sql")
                    : "CREATE TABLE android_metadata (locale TEXT);"
                      "CREATE TABLE props (_id INTEGER PRIMARY KEY AUTOINCREMENT, key TEXT UNIQUE, "
                      "value TEXT);";
    runSql(folder + "databases/msgstore.db",
           wal + base + readFile(data + "msgstore-modern-schema.sql") + msgstoreSql);
    runSql(folder + "databases/wa.db", wal + readFile(data + "wa-schema.sql") + waSql);
}

void loadAndroidFolder(const std::string& folder) {
    setLoadPaths(kSourceAndroid, folder, "");
    CAndroidWeiXin(chosenPhoneFolder()).LoadContacts(contactTable());
}

std::string renderAndroidRow(int row, int mode) {
    CAndroidWeiXin source(chosenPhoneFolder());
    renderContact(source, contactTable().row(row), mode, chatPageBuffer());
    return chatPageBuffer().text();
}

}  // namespace talvio::test
