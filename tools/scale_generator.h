// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <filesystem>

#include "tools/android_schema.h"
#include "tools/failure.h"

namespace talvio::fixture {

// A "com.whatsapp" folder of any size for benchmarks and scale tests, the same for the same
// seed: wa.db with the contacts, msgstore.db with the messages, and profile pictures.
class ScaleGenerator {
public:
    struct Options {
        std::size_t contacts = 0;
        std::int64_t messages = 0;
        std::filesystem::path out;
        std::uint64_t seed = 1;
        bool pictures = true;
        AndroidLayout layout = AndroidLayout::Legacy;
        // Real files for this many media rows, in mediaOut/Media.
        std::int64_t mediaFiles = 0;
        std::filesystem::path mediaOut{};
        // Modern layout: this share of the largest chat's messages of the other kinds.
        int kindsPercent = 0;
    };

    // 2021-01-01 00:00:00 UTC to the last millisecond of 2025.
    static constexpr std::int64_t kFirstTimestamp = 1609459200000;
    static constexpr std::int64_t kLastTimestamp = 1767225599999;

    static Failure build(const Options& options);
};

}  // namespace talvio::fixture
