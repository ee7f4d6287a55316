// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "private_copy.h"

#include "platform/file_ops.h"

#include <filesystem>
#include <random>
#include <system_error>

namespace talvio {
namespace fs = std::filesystem;

PrivateCopy::~PrivateCopy() {
    remove();
}

void PrivateCopy::remove() {
    if (!m_folder.empty()) {
        std::error_code ec;
        fs::remove_all(m_folder, ec);
    }
    m_folder.clear();
    m_path.clear();
}

bool PrivateCopy::make(const std::string& database, const std::string& folder) {
    remove();
    std::error_code ec;
    if (folder.empty() || !fs::create_directory(folder, ec))
        return false;
    m_folder = folder;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    const std::string copy = folder + "/" + fs::path(database).filename().string();
    // A store copied off a phone while WhatsApp ran keeps its newest messages in the log.
    const std::string log = database + "-wal";
    const bool hasLog = fs::is_regular_file(log, ec) && fs::file_size(log, ec) > 0 && !ec;
    if (!platform::copyFileReplacing(database, copy).empty() ||
        (hasLog && !platform::copyFileReplacing(log, copy + "-wal").empty())) {
        remove();
        return false;
    }
    m_path = copy;
    return true;
}

std::string unguessableTemporaryFolder(const std::string& prefix) {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec)
        return {};
    std::random_device random;
    return (base / (prefix + std::to_string(random()) + std::to_string(random()))).string();
}

}  // namespace talvio
