// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>
#include <string_view>
#include <utility>

#include "tools/failure.h"

namespace talvio::fixture {

// The files of a copied "com.whatsapp" folder that the viewer reads.
class AndroidFolder {
public:
    explicit AndroidFolder(std::filesystem::path root) : m_root(std::move(root)) {}

    const std::filesystem::path& root() const { return m_root; }
    std::filesystem::path msgstore() const { return m_root / "databases" / "msgstore.db"; }
    std::filesystem::path wa() const { return m_root / "databases" / "wa.db"; }
    std::filesystem::path pictures() const { return m_root / "cache" / "Profile Pictures"; }

    // Creates the folders and removes what an earlier build left there: the two databases
    // with their companions and the profile pictures. Nothing else in the folder is touched,
    // so a mistyped --out cannot wipe unrelated files.
    Failure prepare() const;

private:
    std::filesystem::path m_root;
};

}  // namespace talvio::fixture
