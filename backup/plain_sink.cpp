// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/plain_sink.h"

#include <unistd.h>

#include <cerrno>

#include "backup/key_material.h"

namespace talvio::backup {

MemorySink::~MemorySink() {
    discard();
}

bool MemorySink::write(std::span<const std::uint8_t> bytes) {
    // Growing by hand, so that no copy of the plaintext is left behind unwiped by a reallocation.
    if (m_data.size() + bytes.size() > m_data.capacity()) {
        std::vector<std::uint8_t> larger;
        larger.reserve(std::max(m_data.capacity() * 2, m_data.size() + bytes.size()));
        larger.assign(m_data.begin(), m_data.end());
        wipe(m_data.data(), m_data.size());
        m_data.swap(larger);
    }
    m_data.insert(m_data.end(), bytes.begin(), bytes.end());
    return true;
}

void MemorySink::discard() {
    wipe(m_data.data(), m_data.size());
    m_data.clear();
}

bool FileSink::write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

void FileSink::discard() {
    if (::ftruncate(m_fd, 0) == 0)
        ::lseek(m_fd, 0, SEEK_SET);
}

}  // namespace talvio::backup
