// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "private_folder.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace talvio::ios {

PrivateFolder::PrivateFolder(const std::string& parent, const std::string& prefix) {
    std::error_code ec;
    std::string base = parent.empty() ? std::filesystem::temp_directory_path(ec).string() : parent;
    if (ec || base.empty())
        return;
    if (base.back() != '/')
        base += '/';
    std::string pattern = base + prefix + "XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        return;
    // mkdtemp makes 0700 already; say so explicitly rather than rely on it.
    if (chmod(pattern.c_str(), 0700) != 0) {
        std::filesystem::remove_all(pattern, ec);
        return;
    }
    m_path = pattern + "/";
}

PrivateFolder::~PrivateFolder() {
    remove();
}

void PrivateFolder::remove() {
    if (m_path.empty())
        return;
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
    m_path.clear();
}

}  // namespace talvio::ios
