// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "backup/plain_sink.h"

namespace talvio::backup {

// A decrypted database held in anonymous memory of this process alone: never in a file, kept out
// of core dumps, and returned to the system (which clears pages before anyone else gets them) when
// the object goes. It grows in place, so a database of any size costs its own size and no copy.
class PlainImage {
public:
    PlainImage() = default;
    ~PlainImage();
    PlainImage(PlainImage&& other) noexcept;
    PlainImage& operator=(PlainImage&& other) noexcept;
    PlainImage(const PlainImage&) = delete;
    PlainImage& operator=(const PlainImage&) = delete;

    // False when the system has no memory left for it.
    bool append(std::span<const std::uint8_t> bytes);
    void clear();

    std::span<const std::uint8_t> bytes() const { return {m_data, m_size}; }
    std::span<std::uint8_t> bytes() { return {m_data, m_size}; }
    std::size_t size() const { return m_size; }

private:
    bool reserve(std::size_t wanted);

    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_mapped = 0;
};

// Whether the image starts as an SQLite database does.
bool holdsSqliteDatabase(const PlainImage& image);
// Phones keep their databases in WAL mode, and a copied header says so; SQLite reads an image in
// memory only as a rollback-journal database. Bytes 18 and 19 (the file format's write and read
// versions, 2 for WAL) set to 1 make it one; the pages themselves are the same.
void leaveWalMode(PlainImage& image);

// Decrypts into a PlainImage.
class ImageSink : public PlainSink {
public:
    bool write(std::span<const std::uint8_t> bytes) override { return m_image.append(bytes); }
    void discard() override { m_image.clear(); }

    PlainImage& image() { return m_image; }

private:
    PlainImage m_image;
};

}  // namespace talvio::backup
