// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/zip_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace talvio::chatexport {

namespace {

std::string libzipError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

std::uint32_t little32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t little16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

bool readAt(int fd, std::uint64_t offset, unsigned char* out, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, out + done, size - done, static_cast<off_t>(offset + done));
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

// libzip turns a NUL inside a stored name into a space, so the name it reports is harmless but no
// longer the one in the archive. Such an archive was not made by a phone; this finds it in the
// central directory's raw names. Archives this walk cannot follow (Zip64) are left to libzip.
bool rawNamesHoldNul(int fd, std::uint64_t fileSize) {
    constexpr std::size_t kEndRecord = 22;
    constexpr std::uint64_t kMaxDirectory = std::uint64_t{64} << 20;
    const std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kEndRecord + 65535));
    std::vector<unsigned char> end(tail);
    if (tail < kEndRecord || !readAt(fd, fileSize - tail, end.data(), tail))
        return false;
    std::size_t at = tail - kEndRecord + 1;
    while (at-- > 0) {
        if (little32(&end[at]) == 0x06054b50)
            break;
    }
    if (at == static_cast<std::size_t>(-1))
        return false;
    const std::uint32_t size = little32(&end[at + 12]);
    const std::uint32_t offset = little32(&end[at + 16]);
    if (size == 0xFFFFFFFF || offset == 0xFFFFFFFF || size > kMaxDirectory ||
        offset + std::uint64_t{size} > fileSize)
        return false;
    std::vector<unsigned char> directory(size);
    if (!readAt(fd, offset, directory.data(), size))
        return false;
    for (std::size_t p = 0; p + 46 <= directory.size() && little32(&directory[p]) == 0x02014b50;) {
        const std::size_t nameLength = little16(&directory[p + 28]);
        const std::size_t next =
            p + 46 + nameLength + little16(&directory[p + 30]) + little16(&directory[p + 32]);
        if (p + 46 + nameLength > directory.size())
            return false;
        if (std::memchr(&directory[p + 46], '\0', nameLength) != nullptr)
            return true;
        p = next;
    }
    return false;
}

}  // namespace

bool ZipReader::isSafeName(const std::string& name) {
    if (name.empty() || name.front() == '/')
        return false;
    for (const char c : name) {
        if (c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    }
    std::string_view rest = name;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        if (part == "..")
            return false;
        // "C:" at the start is a drive on the systems where such archives are often made.
        if (part.size() == 2 && part[1] == ':' && rest.data() == name.data())
            return false;
        if (slash == std::string_view::npos)
            break;
        rest.remove_prefix(slash + 1);
    }
    return true;
}

std::shared_ptr<ZipReader> ZipReader::open(const std::string& path, std::string& error) {
    return open(path, Limits{}, error);
}

std::shared_ptr<ZipReader> ZipReader::open(const std::string& path, const Limits& limits,
                                           std::string& error) {
    // O_NONBLOCK keeps a FIFO planted under a zip's name from blocking the open; only a regular
    // file is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = "The file " + path + " cannot be opened. Check that it exists and that you may read it.";
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error = path + " is not a regular file. Choose the .zip file that WhatsApp exported.";
        return nullptr;
    }
    if (rawNamesHoldNul(fd, static_cast<std::uint64_t>(info.st_size))) {
        ::close(fd);
        error = path +
                " holds an entry whose name has a zero byte in it, so it is not opened. Export the chat "
                "again from WhatsApp.";
        return nullptr;
    }
    int code = 0;
    // zip_fdopen takes the descriptor over and closes it with the archive; ZIP_RDONLY means the
    // archive is never written back.
    struct zip* archive = zip_fdopen(fd, ZIP_RDONLY, &code);
    if (archive == nullptr) {
        ::close(fd);
        error = path + " cannot be read as a zip archive (" + libzipError(code) +
                "). Export the chat again, or choose its .txt file.";
        return nullptr;
    }
    std::shared_ptr<ZipReader> reader(new ZipReader);
    reader->m_archive = archive;
    reader->m_path = path;

    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || static_cast<std::uint64_t>(count) > limits.maxEntries) {
        error = path + " holds too many entries to be a chat export.";
        return nullptr;
    }
    std::uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        // Names flagged UTF-8 (or valid as UTF-8) come as they are; older CP437 names are converted.
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS, &stat) != 0 ||
            (stat.valid & (ZIP_STAT_NAME | ZIP_STAT_SIZE)) != (ZIP_STAT_NAME | ZIP_STAT_SIZE)) {
            error = path + " has a damaged entry list. Export the chat again.";
            return nullptr;
        }
        const std::string name = stat.name;
        if (!isSafeName(name)) {
            error = path + " holds an entry with an unsafe name (\"" + name +
                    "\"), so it is not opened. Export the chat again from WhatsApp.";
            return nullptr;
        }
        if (stat.size > limits.maxEntryBytes || total + stat.size > limits.maxTotalBytes) {
            error = path + " holds more data than a chat export can (entry \"" + name +
                    "\"), so it is not opened.";
            return nullptr;
        }
        total += stat.size;
        if (name.back() == '/')
            continue;  // a folder entry
        reader->m_byName.emplace(name, reader->m_entries.size());
        reader->m_entries.push_back({name, stat.size});
        reader->m_indexes.push_back(static_cast<std::uint64_t>(i));
    }
    return reader;
}

ZipReader::~ZipReader() {
    if (m_archive != nullptr)
        zip_discard(m_archive);
}

bool ZipReader::read(const std::string& name, std::size_t maxBytes, std::string& bytes,
                     std::string& error) const {
    const auto found = m_byName.find(name);
    if (found == m_byName.end()) {
        error = "\"" + name + "\" is not in " + m_path + ".";
        return false;
    }
    const std::size_t position = found->second;
    const std::uint64_t size = m_entries[position].size;
    if (size > maxBytes) {
        error = "\"" + name + "\" in " + m_path + " is too large to read.";
        return false;
    }
    std::lock_guard lock(m_mutex);
    zip_file_t* file = zip_fopen_index(m_archive, m_indexes[position], 0);
    if (file == nullptr) {
        error = "\"" + name + "\" in " + m_path + " cannot be read (" + zip_strerror(m_archive) + ").";
        return false;
    }
    bytes.assign(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const zip_int64_t got = zip_fread(file, bytes.data() + done, bytes.size() - done);
        if (got <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    // One more byte must not exist, and reading to the end lets libzip check the CRC.
    char extra = 0;
    if (ok && zip_fread(file, &extra, 1) != 0)
        ok = false;
    if (!ok)
        error = "\"" + name + "\" in " + m_path + " is damaged (" + zip_file_strerror(file) + ").";
    zip_fclose(file);
    if (!ok)
        bytes.clear();
    return ok;
}

}  // namespace talvio::chatexport
