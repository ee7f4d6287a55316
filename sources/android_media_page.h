// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/android_media.h"
#include "sources/database.h"
#include "sources/media_copy.h"
#include "sources/phone_folder.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace talvio {

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
    // Modern layout: reads the files of these chats' messages in one pass instead of one look-up
    // per message.
    void loadChatFiles(const std::vector<std::int64_t>& chats);

private:
    // What the database says of a media message's file; the texts live in the current row, the
    // loaded files or m_legacyPath, until the next message.
    struct Fields {
        std::int64_t rowId = 0;
        std::string_view path;  // relative to the WhatsApp folder, or a phone path
        std::string_view mime;
        std::string_view caption;
        std::string_view name;
        std::string_view previewKey;  // modern: message_media.file_hash; legacy: key_id
    };
    // A chat's files read in one pass: each field a range of m_chatFileTexts, by message row.
    struct LoadedFile {
        std::int64_t rowId = 0;
        std::array<std::pair<std::size_t, std::size_t>, 5> fields{};
    };
    // False when the row carries no file.
    bool readFields(const Statement& row, int type);
    void appendMissing(std::string& page, std::string_view jid, bool fromMe, AndroidMediaKind kind);
    std::optional<std::string> preview(std::string_view jid, bool fromMe);

    std::string m_mediaFolder;
    AndroidMediaLocator& m_locator;
    PreviewReader m_previews;
    const Database& m_db;
    bool m_legacy;
    MediaCopyLog* m_media;
    std::string m_currentFolder;
    std::string m_argument;
    Statement m_rawData;
    Statement m_mediaRow;
    Fields m_fields;
    std::string m_legacyPath;
    std::vector<LoadedFile> m_chatFiles;  // ordered by rowId
    std::string m_chatFileTexts;
    bool m_chatFilesLoaded = false;
};

// A line with a link that opens a file: in the viewer (media null) the file where it lies, in an
// export its copy in folder. An empty path shows the label and name alone (the file is missing).
void appendFileLink(std::string& page, MediaFolder folder, const std::string& path, std::string_view name,
                    std::string_view label, MediaCopyLog* media, std::string_view currentFolder);

// The columns a chat query of the layout selects after its first five when the media folder is
// known: the message's row, and in the legacy layout the file's path (thumb_image), mime type,
// caption, name and preview key (key_id).
std::string_view androidMediaColumns(bool legacyLayout);

}  // namespace talvio
