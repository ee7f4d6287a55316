// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "file_ops.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

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

// A new, empty file beside `target`, named so that nothing looks for it: ".NAME.part-PID-N".
// The mode is 0666 less the umask, as for any file the program creates.
std::string createTempBeside(const std::string& target, Fd& fd) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    // Keeps the name within NAME_MAX whatever the target's name is.
    const std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1).substr(0, 200);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = folder + "." + base + ".part-" + std::to_string(::getpid()) + "-" +
                                 std::to_string(counter.fetch_add(1));
        const int handle = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle >= 0) {
            fd.reset(handle);
            return name;
        }
        if (errno != EEXIST)
            break;
    }
    return {};
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

bool copyFileIfMissing(const std::string& from, const std::string& to) {
    // Most calls find the copy of an earlier run: answer those without opening anything.
    if (exists(to))
        return false;
    // Non-blocking open and a type check: a FIFO or a device named by a database row must not
    // hang the program or feed it endless data.
    Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (in.get() < 0)
        return false;
    struct stat info {};
    if (::fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    ::fcntl(in.get(), F_SETFL, ::fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);

    Fd out;
    const std::string temp = createTempBeside(to, out);
    if (temp.empty())
        return false;
    const bool written = copyAll(in.get(), out.get());
    if (out.close() && written && renameNoReplace(temp, to))
        return true;
    ::unlink(temp.c_str());
    return false;
}

bool writeFileReplacing(const std::string& path, std::string_view data) {
    Fd out;
    const std::string temp = createTempBeside(path, out);
    if (temp.empty())
        return false;
    // The sync comes before the rename, or a crash could leave an empty file under the real name.
    const bool written = writeAll(out.get(), data.data(), data.size()) && ::fsync(out.get()) == 0;
    if (out.close() && written && ::rename(temp.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(temp.c_str());
    return false;
}

}  // namespace talvio::platform
