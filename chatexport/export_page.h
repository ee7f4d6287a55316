// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "chatexport/attachment_files.h"
#include "chatexport/chat_export.h"
#include "sources/media_copy.h"
#include "sources/message_time.h"

#include <string>

namespace talvio::chatexport {

// Turns the messages of one export into the blocks of a chat page: the sender line ("Me" for the
// owner) with the time as the export wrote it, the text with its lines kept, events as lines of
// their own, attachments as pictures, voice notes, videos and links to documents (their copies in
// an export), omitted media as a marker.
class ExportPageWriter {
public:
    // media is the export's log of copies; null when the page shows files where they lie (or
    // where `files` unpacked them).
    ExportPageWriter(const ChatExport& chat, std::string chatKey, AttachmentFiles& files,
                     MediaCopyLog* media);

    // The notice of lines that were no part of any message, when the file held some.
    void appendUnknownLinesNotice(std::string& page) const;
    void append(std::string& page, const Message& message);

private:
    void appendAttachment(std::string& page, const Message& message);

    const ChatExport& m_chat;
    std::string m_chatKey;
    AttachmentFiles& m_files;
    MediaCopyLog* m_media;
    MessageTimeFormatter m_times;
    std::string m_sender;
    std::string m_time;
    std::string m_argument;
};

}  // namespace talvio::chatexport
