// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "stored_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <utility>

namespace talvio::ios {
namespace {

// O_NONBLOCK: a FIFO under a stored name must not block the open; it is refused just after.
constexpr int kReadFlags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;

}  // namespace

StoredFile::~StoredFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

StoredFile::StoredFile(StoredFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_size(other.m_size) {}

StoredFile& StoredFile::operator=(StoredFile&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
    }
    return *this;
}

bool StoredFile::adopt(int fd) {
    struct stat info {};
    if (fd < 0)
        return false;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    // Reads are plain blocking reads from here on.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

StoredFile StoredFile::open(const std::string& path) {
    StoredFile file;
    if (path.empty() || path.find('\0') != std::string::npos)
        return file;
    file.adopt(::open(path.c_str(), kReadFlags));
    return file;
}

StoredFile StoredFile::openHashed(const std::string& folder, const std::string& fileID) {
    StoredFile file;
    const int root = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0)
        return file;
    const int sub =
        ::openat(root, fileID.substr(0, 2).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    ::close(root);
    if (sub < 0)
        return file;
    file.adopt(::openat(sub, fileID.c_str(), kReadFlags));
    ::close(sub);
    return file;
}

bool StoredFile::readAll(std::uint64_t limit, std::string& out) const {
    out.clear();
    if (m_fd < 0 || m_size > limit)
        return false;
    out.resize(static_cast<std::size_t>(m_size));
    std::size_t have = 0;
    while (have < out.size()) {
        const long got = read(reinterpret_cast<unsigned char*>(out.data()) + have, out.size() - have);
        if (got <= 0)
            break;
        have += static_cast<std::size_t>(got);
    }
    out.resize(have);
    return have == m_size;
}

long StoredFile::read(unsigned char* data, std::size_t size) const {
    for (;;) {
        const ssize_t got = ::read(m_fd, data, size);
        if (got < 0 && errno == EINTR)
            continue;
        return static_cast<long>(got);
    }
}

}  // namespace talvio::ios
