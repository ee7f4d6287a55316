// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <optional>
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

// Copies the file `from` over `to` through a temporary file beside it and a rename, so that `to`
// never holds half a copy and a link planted at `to` is replaced, never written through. Only a
// regular file is read. Returns an error text, empty on success.
std::string copyFileReplacing(const std::string& from, const std::string& to);

// The bytes of a regular file, at most maxBytes of them. nullopt when path is no regular file (a
// FIFO, a device, a folder: opening those could block or never end) or cannot be read.
std::optional<std::string> readRegularFile(const std::string& path, std::size_t maxBytes);

// A new file beside `target`, created exclusively under a name nobody can guess, so that nothing
// that lies there already (a file, a link to elsewhere) is ever opened. The caller writes through
// fd, closes it, and renames or removes the file. An empty path when none could be made.
struct NewFile {
    std::string path;
    int fd = -1;
};
NewFile createFileBeside(const std::string& target);

// Replaces (or creates) the file `path` with `data` through a temporary file that is synced and
// renamed over it, so a reader sees either the old contents or the new, never half of them.
bool writeFileReplacing(const std::string& path, std::string_view data);

namespace detail {
// The no-replace rename for file systems without RENAME_NOREPLACE: a hard link refuses an existing
// target atomically, then the old name goes. Exposed for tests.
bool linkThenUnlink(const std::string& from, const std::string& to);
}  // namespace detail

}  // namespace talvio::platform
