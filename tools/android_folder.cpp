// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/android_folder.h"

#include <system_error>
#include <vector>

namespace talvio::fixture {

Failure AndroidFolder::prepare() const {
    std::error_code error;
    for (const auto& dir : {msgstore().parent_path(), pictures()}) {
        std::filesystem::create_directories(dir, error);
        if (error)
            return "cannot create " + dir.string() + ": " + error.message();
    }
    for (const auto& database : {msgstore(), wa()}) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            std::filesystem::path file = database;
            file += suffix;
            std::filesystem::remove(file, error);
            if (error)
                return "cannot remove " + file.string() + ": " + error.message();
        }
    }
    std::vector<std::filesystem::path> stale;
    for (const auto& entry : std::filesystem::directory_iterator(pictures(), error)) {
        if (entry.is_regular_file() && entry.path().extension() == ".jpg")
            stale.push_back(entry.path());
    }
    if (error)
        return "cannot list " + pictures().string() + ": " + error.message();
    for (const auto& file : stale) {
        std::filesystem::remove(file, error);
        if (error)
            return "cannot remove " + file.string() + ": " + error.message();
    }
    return std::nullopt;
}

}  // namespace talvio::fixture
