// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>

namespace talvio::ios {

// A fresh folder only its owner may enter (0700), removed with everything in it on destruction:
// the place for decrypted files that must be files (SQLite opens paths).
class PrivateFolder {
public:
    // Made below parent, or below the system's temporary folder when parent is empty, and named
    // prefix followed by six random characters.
    explicit PrivateFolder(const std::string& parent = {}, const std::string& prefix = "talvio-backup-");
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool ok() const { return !m_path.empty(); }
    // The folder with a trailing '/', empty when it could not be made.
    const std::string& path() const { return m_path; }
    void remove();

private:
    std::string m_path;
};

}  // namespace talvio::ios
