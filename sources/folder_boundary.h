// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>

namespace talvio {

// Keeps what a phone folder names inside that folder. Paths come from the folder's databases and
// the folder may hold links, so a media path can lead anywhere: "../../.ssh/id_rsa", a picture
// that is a link to a private file, a linked folder. Only a regular file that lies inside the
// folder once links and ".." are resolved is shown, played or copied.
class FolderBoundary {
public:
    // An empty folder holds nothing.
    explicit FolderBoundary(const std::string& folder);

    enum class Place {
        Inside,   // a regular file inside the folder
        Missing,  // inside the folder, but no regular file is there
        Outside,  // leads out of the folder: through a link, or with a ".." segment
    };
    Place place(const std::string& path) const;
    // Whether place(path) is Inside; quicker when nothing is there.
    bool holdsFile(const std::string& path) const;

private:
    std::string m_root;  // the folder, resolved, ending in '/'; empty when there is none
};

}  // namespace talvio
