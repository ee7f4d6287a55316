// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iphone_backup_files.h"

#include "iosbackup/byte_sink.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace talvio {
namespace {

// The extension of a media name, kept on its decrypted copy so players and viewers that go by
// the name still know the kind; only short plain ones.
std::string extensionOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || name.size() - dot > 9 || dot + 1 == name.size())
        return {};
    const std::string_view ext = name.substr(dot);
    if (!std::all_of(ext.begin() + 1, ext.end(), [](unsigned char c) { return std::isalnum(c) != 0; }))
        return {};
    return std::string(ext);
}

}  // namespace

bool storedFileUsable(const std::string& path, const ios::BackupEntry& entry) {
    struct stat status {};
    if (path.empty() || ::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    return !entry.record.size || static_cast<std::uint64_t>(status.st_size) >= *entry.record.size;
}

IphoneBackupFiles::IphoneBackupFiles(std::shared_ptr<const ios::IosBackup> backup, ios::WhatsAppInBackup app,
                                     std::unique_ptr<ios::PrivateFolder> work)
    : m_backup(std::move(backup)), m_app(std::move(app)), m_work(std::move(work)) {}

IphoneBackupFiles::~IphoneBackupFiles() = default;

std::string IphoneBackupFiles::mediaFile(std::string_view localPath) {
    const std::lock_guard lock(m_mutex);
    ios::BackupEntry entry;
    const ios::BackupError found = ios::findMedia(*m_backup, m_app, localPath, entry);
    return fileOf(found, entry, localPath);
}

std::string IphoneBackupFiles::pictureFile(std::string_view picturePath) {
    const std::lock_guard lock(m_mutex);
    ios::BackupEntry entry;
    const ios::BackupError found = m_backup->lookup(m_app.sharedDomain, picturePath, entry);
    return fileOf(found, entry, picturePath);
}

std::string IphoneBackupFiles::fileOf(const ios::BackupError& found, const ios::BackupEntry& entry,
                                      std::string_view name) {
    if (found.failed() || entry.flags != 1)
        return {};
    if (!m_backup->encrypted()) {
        std::string path = m_backup->storedPath(entry);
        return storedFileUsable(path, entry) ? path : std::string();
    }
    if (const auto known = m_decrypted.find(entry.fileID); known != m_decrypted.end())
        return known->second;
    std::string path = decrypt(entry, name);
    m_decrypted.emplace(entry.fileID, path);
    return path;
}

std::string IphoneBackupFiles::decrypt(const ios::BackupEntry& entry, std::string_view name) {
    if (!m_work || !m_work->ok())
        return {};
    // Named by its hash: the same file always gets the same name, whatever was shown before it.
    const std::string path = m_work->path() + entry.fileID + extensionOf(name);
    ios::FileSink sink(path);
    if (!sink.ok())
        return {};
    if (m_backup->materialise(entry, sink).failed())
        return {};
    if (!sink.close()) {
        sink.discard();
        return {};
    }
    return path;
}

}  // namespace talvio
