// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace talvio::ios {

// Where the bytes of a file taken out of a backup go. The caller chooses: memory, or a file in a
// private folder (see PrivateFolder). On a failure midway the backup calls discard(), so that no
// half of a decrypted file stays behind.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // The size about to be written, when known, so a sink can prepare.
    virtual void expect(std::uint64_t) {}
    virtual bool write(const unsigned char* data, std::size_t size) = 0;
    virtual void discard() = 0;
};

// Keeps the bytes in memory and wipes them when destroyed or discarded.
class MemorySink final : public ByteSink {
public:
    MemorySink() = default;
    ~MemorySink() override;
    MemorySink(const MemorySink&) = delete;
    MemorySink& operator=(const MemorySink&) = delete;

    void expect(std::uint64_t size) override;
    bool write(const unsigned char* data, std::size_t size) override;
    void discard() override;
    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

// Writes a new file readable by its owner only; refuses a path that exists already. discard()
// removes it, even after close(); the destructor closes it and leaves it to its folder.
class FileSink final : public ByteSink {
public:
    explicit FileSink(const std::string& path);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    bool ok() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }
    bool write(const unsigned char* data, std::size_t size) override;
    void discard() override;
    // Flushes and closes; false when the file could not be written in full.
    bool close();

private:
    std::string m_path;
    int m_fd = -1;
    bool m_created = false;
    bool m_failed = false;
};

}  // namespace talvio::ios
