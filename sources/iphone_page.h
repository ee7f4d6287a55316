// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/database.h"
#include "sources/folder_boundary.h"
#include "sources/media_copy.h"
#include "sources/message_time.h"
#include "sources/phone_folder.h"

#include <memory>
#include <string>
#include <string_view>

namespace talvio {

// Turns rows of kIphoneChatQuery into message blocks: the sender line, then a text body or, for
// pictures, voice notes and videos, a body that shows or links the media file below the resource
// folder's "Library/" (or, in an export, its copy in the export's folder). A media path that
// leads out of "Library/", or to something that is not a regular file, shows as missing. A folder
// inside a computer backup finds its media through the backup instead.
class IphoneMessageWriter {
public:
    // media is the export's log of copies; null when the page shows media where they lie.
    IphoneMessageWriter(const PhoneFolder& folder, MediaCopyLog* media);

    // Appends the block of one row; a row whose ZISFROMME is NULL adds nothing.
    void append(std::string& page, const Statement& row);

private:
    void appendMedia(std::string& page, MediaFolder folder, const std::string& path, std::string_view name,
                     bool present);
    void appendPicture(std::string& page, const std::string& path, std::string_view name, bool present);
    void appendVoice(std::string& page, const std::string& path, std::string_view name, bool present);
    void appendVideo(std::string& page, const std::string& path, std::string_view name, bool present);

    MessageTimeFormatter m_times;
    std::string m_resourceFolder;
    std::string m_mediaRoot;    // ResourceFolder + "Library/"
    FolderBoundary m_boundary;  // of m_mediaRoot
    std::string m_currentFolder;
    MediaCopyLog* m_media;
    std::shared_ptr<BackupFiles> m_backupFiles;  // set for a computer backup
    std::string m_phonePath;                     // of the backup's media file being written
    std::string m_sender;
    std::string m_time;
    std::string m_argument;
};

// A path as a file: address, every byte that could end the address, the attribute or the path
// segment percent-encoded. Relative paths are made absolute against currentFolder.
void appendFileUrl(std::string& out, std::string_view path, std::string_view currentFolder);

}  // namespace talvio
