// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>

#include "tools/failure.h"

namespace talvio::fixture {

// The files of a copied iPhone WhatsApp folder pair that the viewer reads: the data folder
// "group.net.whatsapp.WhatsApp.shared" with the two Core Data stores and the profile pictures,
// and the resource folder "net.whatsapp.WhatsApp", whose Library/ holds the chats' media.
class IphoneFolder {
public:
    IphoneFolder(std::filesystem::path data, std::filesystem::path resources)
        : m_data(std::move(data)), m_resources(std::move(resources)) {}

    const std::filesystem::path& data() const { return m_data; }
    const std::filesystem::path& resources() const { return m_resources; }
    std::filesystem::path chatStorage() const { return m_data / "ChatStorage.sqlite"; }
    std::filesystem::path contacts() const { return m_data / "Contacts.sqlite"; }
    std::filesystem::path profilePictures() const { return m_data / "Media" / "Profile"; }
    // Where a ZMEDIALOCALPATH points: below the resource folder's Library/.
    std::filesystem::path library() const { return m_resources / "Library"; }

    // Creates the data folder (and the resource folder, when there is one) and removes the
    // two databases with their companions and the *.jpg profile pictures of an earlier build.
    // Media files are replaced one by one as they are made; nothing else is touched, so that a
    // mistyped --out cannot wipe unrelated files.
    Failure prepare() const;

private:
    std::filesystem::path m_data;
    std::filesystem::path m_resources;
};

}  // namespace talvio::fixture
