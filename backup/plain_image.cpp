// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/plain_image.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

namespace talvio::backup {
namespace {

std::size_t pageSize() {
    static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

std::size_t roundUpToPages(std::size_t size) {
    const std::size_t page = pageSize();
    return (size + page - 1) / page * page;
}

}  // namespace

PlainImage::~PlainImage() {
    clear();
}

PlainImage::PlainImage(PlainImage&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_mapped(std::exchange(other.m_mapped, 0)) {}

PlainImage& PlainImage::operator=(PlainImage&& other) noexcept {
    if (this != &other) {
        clear();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mapped = std::exchange(other.m_mapped, 0);
    }
    return *this;
}

bool PlainImage::reserve(std::size_t wanted) {
    if (wanted <= m_mapped)
        return true;
    // Doubling keeps the number of moves small; mremap moves page tables, never the bytes, and
    // pages never written are never backed by memory.
    const std::size_t size = roundUpToPages(std::max({wanted, m_mapped * 2, std::size_t{1} << 20}));
    void* data = m_data == nullptr
                     ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                     : ::mremap(m_data, m_mapped, size, MREMAP_MAYMOVE);
    if (data == MAP_FAILED)
        return false;
    ::madvise(data, size, MADV_DONTDUMP);
    m_data = static_cast<std::uint8_t*>(data);
    m_mapped = size;
    return true;
}

bool PlainImage::append(std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        return true;
    if (m_size + bytes.size() < m_size || !reserve(m_size + bytes.size()))
        return false;
    std::memcpy(m_data + m_size, bytes.data(), bytes.size());
    m_size += bytes.size();
    return true;
}

void PlainImage::clear() {
    if (m_data != nullptr)
        ::munmap(m_data, m_mapped);
    m_data = nullptr;
    m_size = 0;
    m_mapped = 0;
}

bool holdsSqliteDatabase(const PlainImage& image) {
    constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};
    const auto bytes = image.bytes();
    return bytes.size() >= kSqliteMagic.size() &&
           std::memcmp(bytes.data(), kSqliteMagic.data(), kSqliteMagic.size()) == 0;
}

void leaveWalMode(PlainImage& image) {
    const auto bytes = image.bytes();
    if (bytes.size() >= 20 && bytes[18] == 2 && bytes[19] == 2) {
        bytes[18] = 1;
        bytes[19] = 1;
    }
}

}  // namespace talvio::backup
