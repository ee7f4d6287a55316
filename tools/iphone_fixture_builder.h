// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>

#include "tools/failure.h"

namespace talvio::fixture {

// Builds an iPhone folder pair from text: ChatStorage.sqlite from chatstorage.sql and
// Contacts.sqlite from contacts.sql, each on top of the real Core Data layout; the profile
// pictures listed in pictures.txt; and the media files listed in media.txt, made with the
// real encoders below the resource folder's Library/.
class IphoneFixtureBuilder {
public:
    struct Options {
        std::filesystem::path sqlDir;
        std::filesystem::path out;        // the "group.net.whatsapp.WhatsApp.shared" folder
        std::filesystem::path resources;  // the "net.whatsapp.WhatsApp" folder; needed for media.txt
        // The SQL files bring their own tables (for broken or odd layouts).
        bool bare = false;
    };

    static Failure build(const Options& options);
};

}  // namespace talvio::fixture
