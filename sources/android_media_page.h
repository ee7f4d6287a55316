// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/android_media.h"
#include "sources/database.h"
#include "sources/media_copy.h"
#include "sources/phone_folder.h"

#include <memory>
#include <string>
#include <string_view>

namespace talvio {

// The extra columns that a chat query of either layout selects after its first five when the
// media folder is known: the message's row, the file's path (legacy: thumb_image), its mime type,
// caption and name, and the preview key (modern: message_media.file_hash; legacy: key_id).
inline constexpr int kMediaColumns = 5;

// The bodies of Android media messages when the phone's WhatsApp folder, which holds Media/, is
// known: pictures, GIFs and stickers as pictures, voice notes with the voice block, videos with
// the video block, audio files and documents as links that open the file, and the caption below.
// A file that is not in the copy shows the preview the database keeps, then the marker.
class AndroidMediaWriter {
public:
    // media is the export's log of copies; null when the page shows media where they lie.
    // locator finds the files; one serves every chat of a load, so its name index is walked once.
    AndroidMediaWriter(const PhoneFolder& folder, AndroidMediaLocator& locator, const Database& messageDb,
                       bool legacyLayout, MediaCopyLog* media);
    ~AndroidMediaWriter();

    // Appends the body of the row when it is a media message and returns true; false leaves the
    // row to the plain body. jid and fromMe name a legacy row's preview.
    bool append(std::string& page, const Statement& row, std::string_view jid, bool fromMe);

private:
    void appendMissing(std::string& page, const Statement& row, std::string_view jid, bool fromMe,
                       AndroidMediaKind kind);
    void appendLink(std::string& page, const std::string& path, std::string_view name, std::string_view label,
                    bool present);
    std::optional<std::string> preview(const Statement& row, std::string_view jid, bool fromMe);

    std::string m_mediaFolder;
    AndroidMediaLocator& m_locator;
    PreviewReader m_previews;
    const Database& m_db;
    bool m_legacy;
    MediaCopyLog* m_media;
    std::string m_currentFolder;
    std::string m_argument;
    Statement m_rawData;
};

// The chat query's media columns for the layout, to follow its first five.
std::string_view androidMediaColumns(bool legacyLayout);

}  // namespace talvio
