// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/iphone_folder.h"

#include <system_error>
#include <vector>

namespace talvio::fixture {

Failure IphoneFolder::prepare() const {
    std::error_code error;
    std::vector<std::filesystem::path> folders{m_data, profilePictures()};
    if (!m_resources.empty())
        folders.push_back(library());
    for (const auto& dir : folders) {
        std::filesystem::create_directories(dir, error);
        if (error)
            return "cannot create " + dir.string() + ": " + error.message();
    }
    for (const auto& database : {chatStorage(), contacts()}) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            std::filesystem::path file = database;
            file += suffix;
            std::filesystem::remove(file, error);
            if (error)
                return "cannot remove " + file.string() + ": " + error.message();
        }
    }
    std::vector<std::filesystem::path> stale;
    for (const auto& entry : std::filesystem::directory_iterator(profilePictures(), error)) {
        if (entry.is_regular_file() && entry.path().extension() == ".jpg")
            stale.push_back(entry.path());
    }
    if (error)
        return "cannot list " + profilePictures().string() + ": " + error.message();
    for (const auto& file : stale) {
        std::filesystem::remove(file, error);
        if (error)
            return "cannot remove " + file.string() + ": " + error.message();
    }
    return std::nullopt;
}

}  // namespace talvio::fixture
