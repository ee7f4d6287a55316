// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>
#include <string_view>

#include "tools/failure.h"

namespace talvio::fixture {

// Leaves committed changes in a database's -wal, as on a folder copied off a phone while
// WhatsApp was running: the changes are applied by a child process that turns off automatic
// checkpoints and ends without closing the database, so neither -wal nor -shm is cleaned up.
class WalTailWriter {
public:
    // `database` must be a closed WAL-mode database; no connection to it may be open in this
    // process. Checks that a non-empty -wal and a -shm are left.
    static Failure apply(const std::filesystem::path& database, std::string_view sql);
};

}  // namespace talvio::fixture
