// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <filesystem>

#include "tools/failure.h"

namespace talvio::fixture {

// An iPhone "group.net.whatsapp.WhatsApp.shared" folder of any size for benchmarks and scale
// tests, the same for the same seed: ChatStorage.sqlite with the chats, group members, messages
// and media items (media files are not made), Contacts.sqlite, and profile pictures.
class IphoneScaleGenerator {
public:
    struct Options {
        std::size_t chats = 0;
        std::int64_t messages = 0;
        std::filesystem::path out;
        std::uint64_t seed = 1;
        bool pictures = true;
    };

    // 2021-01-01 00:00:00 UTC and the end of 2025, in Core Data's seconds since 2001.
    static constexpr double kFirstDate = 631152000.0;
    static constexpr double kLastDate = 788918399.0;

    static Failure build(const Options& options);
};

}  // namespace talvio::fixture
