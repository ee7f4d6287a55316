// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "folder_boundary.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace talvio {
namespace fs = std::filesystem;

FolderBoundary::FolderBoundary(const std::string& folder) {
    if (folder.empty())
        return;
    std::error_code ec;
    // A folder that is not there holds nothing, but what a path below it names still counts as
    // missing rather than outside.
    fs::path root = fs::canonical(folder, ec);
    if (ec)
        root = fs::absolute(folder, ec).lexically_normal();
    if (ec)
        return;
    m_root = root.string();
    if (m_root.back() != '/')
        m_root += '/';
}

bool FolderBoundary::holdsFile(const std::string& path) const {
    std::error_code ec;
    // Most names that a load asks about lead nowhere: one look settles those.
    if (m_root.empty() || !fs::is_regular_file(path, ec))
        return false;
    return place(path) == Place::Inside;
}

namespace {

// A ".." segment in a path that a database holds is never a real file's path.
bool climbs(std::string_view path) {
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (path.substr(start, end - start) == "..")
            return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

FolderBoundary::Place FolderBoundary::place(const std::string& path) const {
    if (m_root.empty() || path.empty() || climbs(path))
        return Place::Outside;
    std::error_code ec;
    // Resolves every link of the part of the path that exists; the rest stays as written.
    const std::string resolved = fs::weakly_canonical(fs::absolute(path, ec), ec).string();
    if (ec)
        return Place::Outside;
    // The folder itself ("Library/" for a message without a file) holds no file.
    if (resolved == m_root || resolved + '/' == m_root)
        return Place::Missing;
    if (resolved.size() <= m_root.size() || resolved.compare(0, m_root.size(), m_root) != 0)
        return Place::Outside;
    // Anything but a regular file (a folder, a FIFO, a device) is no media file.
    return fs::is_regular_file(resolved, ec) ? Place::Inside : Place::Missing;
}

}  // namespace talvio
