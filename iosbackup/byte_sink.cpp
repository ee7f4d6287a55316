// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "byte_sink.h"

#include <openssl/crypto.h>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

namespace talvio::ios {

MemorySink::~MemorySink() {
    discard();
}

void MemorySink::expect(std::uint64_t size) {
    // Reserving once keeps regrowth from leaving copies of the bytes in freed memory.
    if (size < (std::uint64_t{1} << 34))
        m_bytes.reserve(m_bytes.size() + static_cast<std::size_t>(size));
}

bool MemorySink::write(const unsigned char* data, std::size_t size) {
    m_bytes.append(reinterpret_cast<const char*>(data), size);
    return true;
}

void MemorySink::discard() {
    if (!m_bytes.empty())
        OPENSSL_cleanse(m_bytes.data(), m_bytes.size());
    m_bytes.clear();
}

FileSink::FileSink(const std::string& path) : m_path(path) {
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    m_created = m_fd >= 0;
}

FileSink::~FileSink() {
    close();
}

bool FileSink::write(const unsigned char* data, std::size_t size) {
    if (m_fd < 0 || m_failed)
        return false;
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_failed = true;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

void FileSink::discard() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_created)
        ::unlink(m_path.c_str());
    m_created = false;
    m_failed = true;
}

bool FileSink::close() {
    if (m_fd < 0)
        return !m_failed;
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    return closed && !m_failed;
}

}  // namespace talvio::ios
