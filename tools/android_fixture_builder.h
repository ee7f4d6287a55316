// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>
#include <optional>

#include "tools/android_schema.h"
#include "tools/failure.h"

namespace talvio::fixture {

// Builds a "com.whatsapp" folder from SQL text: databases/msgstore.db from msgstore.sql and
// databases/wa.db from wa.sql, each on top of the real layout, and the profile pictures named
// in pictures.txt; and the phone's WhatsApp folder with the media files media.txt lists. A
// missing SQL file means a folder without that database. The SQL may call media_data() and
// preview_jpeg() (tools/fixture_sql_functions.h) for the binary media columns.
class AndroidFixtureBuilder {
public:
    struct Options {
        std::filesystem::path sqlDir;
        std::filesystem::path out;
        // SQL applied to msgstore.db afterwards and left in its -wal.
        std::optional<std::filesystem::path> walTail;
        // The SQL files bring their own tables (for broken or odd layouts).
        bool bare = false;
        // The tables msgstore.sql fills; wa.db is the same in every layout.
        AndroidLayout layout = AndroidLayout::Legacy;
        // The WhatsApp folder that gets Media/ from media.txt; needed when that list exists.
        std::filesystem::path mediaOut{};
    };

    static Failure build(const Options& options);

private:
    static Failure buildDatabase(const std::filesystem::path& sqlFile, const std::filesystem::path& database,
                                 std::string_view schema);
    static Failure drawPictures(const std::filesystem::path& listFile, const std::filesystem::path& folder);
};

}  // namespace talvio::fixture
