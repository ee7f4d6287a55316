// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>

// File operations whose Linux behaviour differs from what the program relies on. Qt-free, so that
// logic outside the windows can use them too.
namespace talvio::platform {

// Renames `from` to `to` unless `to` already exists, which is left untouched (rename() would
// silently replace it). False when the target exists or the rename fails for any other reason.
bool renameNoReplace(const std::string& from, const std::string& to);

// Copies the file `from` to `to` only when `to` does not exist yet; an existing target is never
// replaced. The data goes to a temporary file beside the target first, so a failed or interrupted
// copy never leaves a partial file under the target's name. True when the copy was made.
bool copyFileIfMissing(const std::string& from, const std::string& to);

// Replaces (or creates) the file `path` with `data` through a temporary file that is synced and
// renamed over it, so a reader sees either the old contents or the new, never half of them.
bool writeFileReplacing(const std::string& path, std::string_view data);

namespace detail {
// The no-replace rename for file systems without RENAME_NOREPLACE: a hard link refuses an existing
// target atomically, then the old name goes. Exposed for tests.
bool linkThenUnlink(const std::string& from, const std::string& to);
}  // namespace detail

}  // namespace talvio::platform
