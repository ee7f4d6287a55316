// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace talvio::backup {

// Where decrypted bytes go. The caller chooses (memory, an unlinked private file); the decryptor
// only writes in order and, when the backup turns out not to open, calls discard().
class PlainSink {
public:
    virtual ~PlainSink() = default;
    // False when the bytes could not be kept (disk full, …): decryption stops.
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    // Drops everything written so far.
    virtual void discard() = 0;
};

// Keeps the plaintext in memory and wipes it when discarded or destroyed.
class MemorySink : public PlainSink {
public:
    ~MemorySink() override;
    bool write(std::span<const std::uint8_t> bytes) override;
    void discard() override;

    const std::vector<std::uint8_t>& data() const { return m_data; }

private:
    std::vector<std::uint8_t> m_data;
};

// Writes to a file descriptor the caller opened (typically a private file already unlinked) and
// still owns. discard() truncates the file to nothing.
class FileSink : public PlainSink {
public:
    explicit FileSink(int fd) : m_fd(fd) {}
    bool write(std::span<const std::uint8_t> bytes) override;
    void discard() override;

private:
    int m_fd;
};

}  // namespace talvio::backup
