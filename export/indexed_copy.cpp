// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "indexed_copy.h"

#include "sources/database.h"

#include <openssl/crypto.h>
#include <sqlite3.h>

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace talvio {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kWorkingPrefix = ".talvio-working-";
constexpr const char* kIndexes =
    "CREATE INDEX talvio_export_from ON ZWAMESSAGE (ZFROMJID);"
    "CREATE INDEX talvio_export_to ON ZWAMESSAGE (ZTOJID);";

}  // namespace

void removeLeftoverWorkingFolders(const std::string& parent) {
    std::error_code ec;
    for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, kWorkingPrefix.size(), kWorkingPrefix) != 0)
            continue;
        const std::string digits = name.substr(kWorkingPrefix.size());
        if (digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(digits));
        std::error_code ignored;
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH && it->is_directory(ignored) &&
            !it->is_symlink(ignored))
            fs::remove_all(it->path(), ignored);
    }
}

void IndexedChatCopy::remove() {
    m_copy.remove();
}

bool IndexedChatCopy::make(const std::string& messageDb, const std::string& parent) {
    remove();
    // Inside the export folder: an export writes nowhere else, and the folder has room for pages
    // of the same messages anyway.
    const std::string folder = parent + "/" + std::string(kWorkingPrefix) + std::to_string(::getpid());
    std::error_code ec;
    fs::remove_all(folder, ec);
    if (!m_copy.make(messageDb, folder))
        return false;
    const std::string& copy = m_copy.path();
    bool indexed = false;
    {
        Database db;
        // The copy is ours: SQLite may apply the log to it and write the indexes into it. Back in
        // rollback mode, it is one file that the renderer opens read-only like the phone's.
        indexed = db.open(copy, Database::Access::ReadWriteExisting) == 0 &&
                  db.exec(std::string(kIndexes) + "PRAGMA journal_mode=DELETE;") == 0;
    }
    if (!indexed || fs::exists(copy + "-wal", ec)) {
        remove();
        return false;
    }
    return true;
}

std::shared_ptr<const backup::PlainImage> indexedStoreImage(const backup::PlainImage& store) {
    const auto bytes = store.bytes();
    sqlite3* db = nullptr;
    if (bytes.empty() || sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    // A writable copy for SQLite to index; it frees the copy when the connection closes.
    auto* copy = static_cast<unsigned char*>(sqlite3_malloc64(bytes.size()));
    bool indexed = copy != nullptr;
    if (indexed) {
        std::memcpy(copy, bytes.data(), bytes.size());
        indexed =
            sqlite3_deserialize(db, "main", copy, static_cast<sqlite3_int64>(bytes.size()),
                                static_cast<sqlite3_int64>(bytes.size()),
                                SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE) == SQLITE_OK;
    }
    indexed = indexed && sqlite3_exec(db, kIndexes, nullptr, nullptr, nullptr) == SQLITE_OK;
    auto image = std::make_shared<backup::PlainImage>();
    if (indexed) {
        sqlite3_int64 size = 0;
        unsigned char* serialized = sqlite3_serialize(db, "main", &size, SQLITE_SERIALIZE_NOCOPY);
        indexed =
            serialized != nullptr && size > 0 && image->append({serialized, static_cast<std::size_t>(size)});
    }
    // The copy is wiped before SQLite frees it, so the decrypted pages do not linger in the heap.
    sqlite3_int64 size = 0;
    if (unsigned char* held = sqlite3_serialize(db, "main", &size, SQLITE_SERIALIZE_NOCOPY); held && size > 0)
        OPENSSL_cleanse(held, static_cast<std::size_t>(size));
    sqlite3_close(db);
    if (!indexed)
        return nullptr;
    return image;
}

}  // namespace talvio
