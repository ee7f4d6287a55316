// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/fixture_sql_functions.h"

#include <string>

#include "tools/iphone_picture.h"
#include "tools/java_media_data.h"

namespace talvio::fixture {

namespace {

std::string textOf(sqlite3_value* value) {
    const auto* text = sqlite3_value_text(value);
    return text == nullptr ? std::string()
                           : std::string(reinterpret_cast<const char*>(text),
                                         static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

void resultBytes(sqlite3_context* context, const std::string& bytes) {
    sqlite3_result_blob64(context, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

void mediaData(sqlite3_context* context, int, sqlite3_value** values) {
    const std::string path = textOf(values[0]);
    resultBytes(context, JavaMediaData::serialize(path, sqlite3_value_int64(values[1]), !path.empty()));
}

void previewJpeg(sqlite3_context* context, int, sqlite3_value** values) {
    std::string bytes;
    if (auto failure = IphonePicture::encode(bytes, sqlite3_value_int(values[1]),
                                             sqlite3_value_int(values[2]), textOf(values[0]))) {
        sqlite3_result_error(context, failure->c_str(), -1);
        return;
    }
    resultBytes(context, bytes);
}

}  // namespace

Failure addFixtureSqlFunctions(sqlite3* database) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function_v2(database, "media_data", 2, flags, nullptr, mediaData, nullptr, nullptr,
                                   nullptr) != SQLITE_OK ||
        sqlite3_create_function_v2(database, "preview_jpeg", 3, flags, nullptr, previewJpeg, nullptr, nullptr,
                                   nullptr) != SQLITE_OK) {
        return std::string("cannot add the fixture SQL functions: ") + sqlite3_errmsg(database);
    }
    return std::nullopt;
}

}  // namespace talvio::fixture
