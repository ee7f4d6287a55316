// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

namespace talvio::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "talvio-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

void writeFile(const std::string& path, const std::string& data) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

std::map<std::string, std::string> folderSnapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string relative = std::filesystem::relative(item.path(), folder).string();
        if (item.is_regular_file()) {
            const std::string data = readFile(item.path().string());
            // Content and size together: a changed byte or a grown file both show.
            files[relative] =
                std::to_string(std::hash<std::string>{}(data)) + ":" + std::to_string(data.size());
        } else {
            files[relative] = "folder";
        }
    }
    return files;
}

}  // namespace talvio::test
