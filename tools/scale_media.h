// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <filesystem>

#include "tools/failure.h"

namespace talvio::fixture {

// Real media files for a generated folder's media rows, for benchmarks that show media. A few
// small files of each kind are made with the real encoders once and copied under the names the
// rows give, so that tens of thousands take seconds. Legacy rows first get their paths in
// thumb_image (as MediaData objects); modern rows have theirs in message_media.file_path.
class ScaleMedia {
public:
    // What became of each row's file.
    static constexpr double kMovedShare = 0.05;    // the file is in another folder of Media/
    static constexpr double kMissingShare = 0.05;  // no file at all

    // Up to `files` files below whatsAppFolder/Media (fewer when the rows name fewer), chosen
    // across the whole database by `seed`.
    static Failure write(const std::filesystem::path& msgstore, const std::filesystem::path& whatsAppFolder,
                         std::int64_t files, std::uint64_t seed);
};

}  // namespace talvio::fixture
