// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/attachment_files.h"

#include "sources/private_copy.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace talvio::chatexport {
namespace fs = std::filesystem;

namespace {

// A name that stays one file inside our folder.
bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos && name.size() <= 255;
}

bool writeNewFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            ::unlink(path.c_str());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0;
}

bool makePrivateFolder(const std::string& path) {
    return !path.empty() && ::mkdir(path.c_str(), 0700) == 0;
}

}  // namespace

AttachmentFiles::~AttachmentFiles() {
    clear();
}

void AttachmentFiles::clear() {
    if (!m_folder.empty()) {
        std::error_code ec;
        fs::remove_all(m_folder, ec);
    }
    m_folder.clear();
    m_unpacked.clear();
    m_chatFolders.clear();
}

std::string AttachmentFiles::pathOf(const ChatExport& chat, const std::string& chatKey,
                                    const std::string& name, std::string& error) {
    const auto found = chat.attachments().find(name);
    if (found == chat.attachments().end()) {
        error = "the file did not come with the export";
        return {};
    }
    if (found->second.where == AttachmentPlace::Where::File) {
        std::error_code ec;
        if (!fs::is_regular_file(found->second.path, ec)) {
            error = "the file " + found->second.path + " is no longer there";
            return {};
        }
        return found->second.path;
    }
    const std::string key = chatKey + '\n' + name;
    if (const auto done = m_unpacked.find(key); done != m_unpacked.end())
        return done->second;
    std::string path = unpack(chat, chatKey, name, error);
    if (!path.empty())
        m_unpacked.emplace(key, path);
    return path;
}

std::string AttachmentFiles::unpack(const ChatExport& chat, const std::string& chatKey,
                                    const std::string& name, std::string& error) {
    if (!isPlainFileName(name)) {
        error = "the file's name is not one that can be unpacked";
        return {};
    }
    if (m_folder.empty()) {
        const std::string prefix = std::string(kAttachmentFolderPrefix) + std::to_string(::getpid()) + "-";
        const std::string folder = unguessableTemporaryFolder(prefix);
        if (!makePrivateFolder(folder)) {
            error = "no private folder could be made in the temporary folder to unpack it into";
            return {};
        }
        m_folder = folder;
    }
    auto sub = m_chatFolders.find(chatKey);
    if (sub == m_chatFolders.end()) {
        // Numbered sub-folders: two chats may send files of the same name.
        const std::string folder = m_folder + "/" + std::to_string(m_chatFolders.size() + 1);
        if (!makePrivateFolder(folder)) {
            error = "no folder could be made to unpack it into";
            return {};
        }
        sub = m_chatFolders.emplace(chatKey, folder).first;
    }
    // The size is checked against the archive's word before a byte is inflated.
    ReadOutcome read = chat.readAttachment(name, kMaxAttachmentBytes);
    if (!read.error.empty()) {
        error = read.error;
        return {};
    }
    const std::string path = sub->second + "/" + name;
    if (!writeNewFile(path, read.bytes)) {
        error = "it could not be unpacked into " + sub->second + " (is the temporary folder full?)";
        return {};
    }
    return path;
}

void removeLeftoverAttachmentFolders(const std::string& parent) {
    std::error_code ec;
    const fs::path base = parent.empty() ? fs::temp_directory_path(ec) : fs::path(parent);
    if (ec)
        return;
    const std::string_view prefix = kAttachmentFolderPrefix;
    for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::size_t dash = name.find('-', prefix.size());
        if (dash == std::string::npos || dash == prefix.size() || dash - prefix.size() > 9)
            continue;
        const std::string digits = name.substr(prefix.size(), dash - prefix.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        struct stat info {};
        if (::lstat(it->path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(digits));
        std::error_code ignored;
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            fs::remove_all(it->path(), ignored);
    }
}

}  // namespace talvio::chatexport
