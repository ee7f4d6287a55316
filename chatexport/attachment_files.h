// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "chatexport/chat_export.h"

namespace talvio::chatexport {

// Where a page finds an export's attachments as files. Files beside an export's text are used
// where they lie; entries of a zip are unpacked, one at a time as pages ask for them, into a
// private folder below the temporary folder (only its owner may enter it, and its name cannot be
// guessed) that goes when this object does. Nothing is ever written beside the user's export.
class AttachmentFiles {
public:
    // One attachment is unpacked only when its declared size is at most this.
    static constexpr std::size_t kMaxAttachmentBytes = std::size_t{1} << 30;

    AttachmentFiles() = default;
    ~AttachmentFiles();
    AttachmentFiles(const AttachmentFiles&) = delete;
    AttachmentFiles& operator=(const AttachmentFiles&) = delete;

    // A readable regular file holding the attachment `name` of `chat` (chatKey tells chats apart),
    // or an empty path with `error` set.
    std::string pathOf(const ChatExport& chat, const std::string& chatKey, const std::string& name,
                       std::string& error);

    // The private folder; empty until something was unpacked.
    const std::string& folder() const { return m_folder; }
    // Removes every unpacked file and the folder.
    void clear();

private:
    std::string unpack(const ChatExport& chat, const std::string& chatKey, const std::string& name,
                       std::string& error);

    std::string m_folder;
    std::map<std::string, std::string> m_unpacked;     // chatKey + '\n' + name -> file
    std::map<std::string, std::string> m_chatFolders;  // chatKey -> sub-folder
};

// Removes the private folders that a run of the program which is gone (a crash, a power cut) left
// below `parent` (the temporary folder when empty). Folders of a running process, and anything not
// named like ours or not owned by this user, stay.
void removeLeftoverAttachmentFolders(const std::string& parent = {});

// The start of our private folders' names; the process id and a random part follow.
inline constexpr const char* kAttachmentFolderPrefix = "talvio-chat-export-";

}  // namespace talvio::chatexport
