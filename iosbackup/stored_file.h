// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string>

namespace talvio::ios {

// An open, read-only descriptor of a regular file in the user's backup, closed on destruction.
class StoredFile {
public:
    StoredFile() = default;
    ~StoredFile();
    StoredFile(StoredFile&& other) noexcept;
    StoredFile& operator=(StoredFile&& other) noexcept;
    StoredFile(const StoredFile&) = delete;
    StoredFile& operator=(const StoredFile&) = delete;

    // A regular file at path; a link, folder, FIFO or device is refused.
    static StoredFile open(const std::string& path);
    // The file that Manifest.db names fileID: folder/<fileID[0:2]>/<fileID>, reached without
    // following a link at either step.
    static StoredFile openHashed(const std::string& folder, const std::string& fileID);

    bool ok() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    std::uint64_t size() const { return m_size; }
    // Reads the whole file when it is no larger than limit.
    bool readAll(std::uint64_t limit, std::string& out) const;
    // Reads up to size bytes; returns the count, 0 at the end, -1 on an error.
    long read(unsigned char* data, std::size_t size) const;

private:
    bool adopt(int fd);

    int m_fd = -1;
    std::uint64_t m_size = 0;
};

}  // namespace talvio::ios
