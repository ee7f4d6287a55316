// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct zip;

namespace talvio::chatexport {

// A zip archive read in place through libzip: nothing is unpacked beside it and the file is never
// written. Entries with names that could point outside a folder are refused when it is opened, and
// every entry's size is checked before it is inflated. Safe to share between threads.
class ZipReader {
public:
    struct Limits {
        std::uint64_t maxEntryBytes = std::uint64_t{2} << 30;   // one entry, inflated
        std::uint64_t maxTotalBytes = std::uint64_t{32} << 30;  // every entry together, inflated
        std::uint64_t maxEntries = 1'000'000;
    };
    struct Entry {
        std::string name;
        std::uint64_t size = 0;  // inflated size as the archive declares it
    };

    // Opens the regular file `path` read-only. On failure returns nullptr and sets `error`.
    static std::shared_ptr<ZipReader> open(const std::string& path, std::string& error);
    static std::shared_ptr<ZipReader> open(const std::string& path, const Limits& limits, std::string& error);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    const std::vector<Entry>& entries() const { return m_entries; }
    const std::string& path() const { return m_path; }

    // The inflated bytes of the entry `name`, at most maxBytes. Inflating stops at the declared
    // size, so an entry that lies about its size is an error, never an unbounded read.
    bool read(const std::string& name, std::size_t maxBytes, std::string& bytes, std::string& error) const;

    // Whether an entry name is safe to treat as a relative path: not empty, not absolute, no "..",
    // no backslash, no control character.
    static bool isSafeName(const std::string& name);

private:
    ZipReader() = default;

    struct zip* m_archive = nullptr;
    std::string m_path;
    std::vector<Entry> m_entries;
    std::vector<std::uint64_t> m_indexes;                      // libzip's index of each entry
    std::map<std::string, std::size_t, std::less<>> m_byName;  // name -> position in m_entries
    mutable std::mutex m_mutex;  // a libzip archive is not safe to use from two threads
};

}  // namespace talvio::chatexport
