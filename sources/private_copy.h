// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>

namespace talvio {

// A copy of one of the user's databases, with its write-ahead log, in a folder of our own: SQLite
// may apply the log to the copy, or an export write indexes into it, while the user's files stay as
// they were. The folder goes with the object.
class PrivateCopy {
public:
    PrivateCopy() = default;
    ~PrivateCopy();
    PrivateCopy(const PrivateCopy&) = delete;
    PrivateCopy& operator=(const PrivateCopy&) = delete;

    // Creates folder (it must not exist yet; only its owner may enter it) and copies database into
    // it, with a non-empty "-wal" log beside it. False when anything fails; nothing is left then.
    bool make(const std::string& database, const std::string& folder);
    // The copy of the database; empty unless make succeeded.
    const std::string& path() const { return m_path; }
    // Removes the copy and its folder.
    void remove();

private:
    std::string m_folder;
    std::string m_path;
};

// A name for a new folder below the system's temporary folder that no one else can guess:
// "<temp>/<prefix><random>". Empty when there is no temporary folder.
std::string unguessableTemporaryFolder(const std::string& prefix);

}  // namespace talvio
