// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/android_schema.h"

#include <sqlite3.h>

namespace talvio::fixture {

namespace {

// android_metadata and props as the legacy layout file defines them, so that their one
// definition serves databases without the legacy tables too.
std::string sharedTables() {
    sqlite3* scratch = nullptr;
    std::string sql;
    const auto append = [](void* out, int, char** values, char**) {
        static_cast<std::string*>(out)->append(values[0] != nullptr ? values[0] : "").append(";\n");
        return 0;
    };
    if (sqlite3_open_v2(":memory:", &scratch, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr) ==
            SQLITE_OK &&
        sqlite3_exec(scratch, std::string(AndroidSchema::msgstore()).c_str(), nullptr, nullptr, nullptr) ==
            SQLITE_OK) {
        sqlite3_exec(
            scratch,
            "SELECT sql FROM sqlite_master WHERE tbl_name IN ('android_metadata', 'props') "
            "AND sql IS NOT NULL ORDER BY rowid;"
            "SELECT 'INSERT INTO android_metadata VALUES (' || quote(locale) || ')' FROM android_metadata;",
            append, &sql, nullptr);
    }
    sqlite3_close(scratch);
    return sql;
}

}  // namespace

std::optional<AndroidLayout> parseAndroidLayout(std::string_view name) {
    for (AndroidLayout layout : {AndroidLayout::Legacy, AndroidLayout::Modern, AndroidLayout::Mixed}) {
        if (name == androidLayoutName(layout))
            return layout;
    }
    return std::nullopt;
}

const char* androidLayoutName(AndroidLayout layout) {
    switch (layout) {
        case AndroidLayout::Modern:
            return "modern";
        case AndroidLayout::Mixed:
            return "mixed";
        case AndroidLayout::Legacy:
            break;
    }
    return "legacy";
}

std::string AndroidSchema::msgstore(AndroidLayout layout) {
    switch (layout) {
        case AndroidLayout::Modern: {
            static const std::string shared = sharedTables();
            return shared + std::string(msgstoreModern());
        }
        case AndroidLayout::Mixed:
            return std::string(msgstore()) + "\n" + std::string(msgstoreModern());
        case AndroidLayout::Legacy:
            break;
    }
    return std::string(msgstore());
}

}  // namespace talvio::fixture
