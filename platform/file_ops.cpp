// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "file_ops.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvio::platform {
namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

// A closed-on-scope file descriptor.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    void reset(int fd) {
        close();
        m_fd = fd;
    }
    bool close() {
        if (m_fd < 0)
            return true;
        const bool ok = ::close(m_fd) == 0;
        m_fd = -1;
        return ok;
    }

private:
    int m_fd;
};

// Opens a file for reading only when it is a regular file; a FIFO or a device named where a file
// is expected must neither block the open nor feed endless data.
int openRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool copyAll(int in, int out) {
    char buffer[64 * 1024];
    while (true) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!writeAll(out, buffer, static_cast<std::size_t>(got)))
            return false;
    }
}

}  // namespace

namespace detail {

bool linkThenUnlink(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    if (::unlink(from.c_str()) == 0)
        return true;
    // Two names for one file would count as neither a rename nor a refusal: undo the link.
    const int error = errno;
    ::unlink(to.c_str());
    errno = error;
    return false;
}

}  // namespace detail

bool renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (detail::linkThenUnlink(from, to))
        return true;
    // Some file systems (FAT-style, several FUSE ones) have neither the flag nor hard links. A check
    // before a plain rename leaves only a tiny window in which a new target could be replaced.
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOTSUP)
        return false;
    if (exists(to))
        return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

NewFile createFileBeside(const std::string& target) {
    static std::mt19937_64 random{std::random_device{}()};
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    // Keeps the name within NAME_MAX whatever the target's name is.
    const std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1).substr(0, 200);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = folder + "." + base + ".part-" + std::to_string(::getpid()) + "-" +
                                 std::to_string(random() & 0xFFFFFFFFFFFFull);
        // O_EXCL also refuses a link at the name, dangling or not. The mode is 0666 less the
        // umask, as for any file the program creates.
        const int handle = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (handle >= 0)
            return {name, handle};
        if (errno != EEXIST)
            break;
    }
    return {};
}

bool copyFileIfMissing(const std::string& from, const std::string& to) {
    // Most calls find the copy of an earlier run: answer those without opening anything.
    if (exists(to))
        return false;
    Fd in(openRegularFile(from));
    if (in.get() < 0)
        return false;
    NewFile temp = createFileBeside(to);
    Fd out(temp.fd);
    if (temp.path.empty())
        return false;
    const bool written = copyAll(in.get(), out.get());
    if (out.close() && written && renameNoReplace(temp.path, to))
        return true;
    ::unlink(temp.path.c_str());
    return false;
}

std::string copyFileReplacing(const std::string& from, const std::string& to) {
    Fd in(openRegularFile(from));
    if (in.get() < 0)
        return "no file at " + from;
    NewFile temp = createFileBeside(to);
    Fd out(temp.fd);
    if (temp.path.empty())
        return "cannot write beside " + to + ": " + std::strerror(errno);
    if (!copyAll(in.get(), out.get()) || !out.close()) {
        const std::string reason = std::strerror(errno);
        ::unlink(temp.path.c_str());
        return "cannot copy " + from + ": " + reason;
    }
    if (::rename(temp.path.c_str(), to.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temp.path.c_str());
        return "cannot write " + to + ": " + reason;
    }
    return {};
}

std::optional<std::string> readRegularFile(const std::string& path, std::size_t maxBytes) {
    Fd in(openRegularFile(path));
    if (in.get() < 0)
        return std::nullopt;
    std::string bytes;
    char buffer[64 * 1024];
    while (bytes.size() < maxBytes) {
        const ssize_t got = ::read(in.get(), buffer, std::min(sizeof buffer, maxBytes - bytes.size()));
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

bool writeFileReplacing(const std::string& path, std::string_view data) {
    NewFile temp = createFileBeside(path);
    Fd out(temp.fd);
    if (temp.path.empty())
        return false;
    // The sync comes before the rename, or a crash could leave an empty file under the real name.
    const bool written = writeAll(out.get(), data.data(), data.size()) && ::fsync(out.get()) == 0;
    if (out.close() && written && ::rename(temp.path.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(temp.path.c_str());
    return false;
}

}  // namespace talvio::platform
