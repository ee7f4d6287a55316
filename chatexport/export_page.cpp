// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/export_page.h"
#include "sources/android_media_page.h"

#include "sources/chat_page.h"
#include "sources/html_escape.h"
#include "sources/iphone_page.h"
#include "sources/phone_folder.h"

#include <filesystem>
#include <system_error>

namespace talvio::chatexport {
namespace {

constexpr std::string_view kIndent = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";

// Text with its line breaks kept: each line escaped, "<br/>" between them.
void appendLines(std::string& out, std::string_view text) {
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        appendEscapedText(out, text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return;
        out += "<br/>";
        start = end + 1;
    }
}

// Pages and players load files by absolute paths; an export opened by a relative path gives
// relative ones.
std::string absolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/')
        return path;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

MediaFolder folderOf(MediaKind kind) {
    switch (kind) {
        case MediaKind::Image:
        case MediaKind::Sticker:
            return MediaFolder::Images;
        case MediaKind::Voice:
            return MediaFolder::Voice;
        case MediaKind::Video:
            return MediaFolder::Video;
        default:
            return MediaFolder::Documents;
    }
}

BodyKind missingBody(MediaFolder folder) {
    return folder == MediaFolder::Images  ? BodyKind::ImageMarker
           : folder == MediaFolder::Voice ? BodyKind::VoiceMissing
                                          : BodyKind::VideoMissing;
}

}  // namespace

ExportPageWriter::ExportPageWriter(const ChatExport& chat, std::string chatKey, AttachmentFiles& files,
                                   MediaCopyLog* media)
    : m_chat(chat),
      m_chatKey(std::move(chatKey)),
      m_files(files),
      m_media(media),
      m_times(kSourceChatExport, 0) {}

void ExportPageWriter::appendUnknownLinesNotice(std::string& page) const {
    const std::size_t count = m_chat.unknownLines();
    if (count == 0)
        return;
    page += "<div class=\"content\"><SPAN class=\"MsgTime\">";
    page += std::to_string(count);
    page += count == 1 ? " line" : " lines";
    page += " at the start of this export could not be read as messages and are not shown.</SPAN></div>";
}

void ExportPageWriter::append(std::string& page, const Message& message) {
    m_time.clear();
    m_times.append(m_time, std::to_string(message.localTime));
    if (message.kind == MessageKind::Event) {
        page += "<div class=\"content\"><SPAN class=\"MsgTime\">";
        page += m_time;
        page += " &nbsp; ";
        appendLines(page, message.text);
        page += "</SPAN></div>";
        return;
    }
    m_sender.clear();
    if (m_chat.isFromOwner(message)) {
        m_sender = "Me";
    } else if (message.sender >= 0 && static_cast<std::size_t>(message.sender) < m_chat.senders().size()) {
        appendEscapedText(m_sender, m_chat.senders()[static_cast<std::size_t>(message.sender)]);
    }
    appendSenderLine(page, m_sender, m_time);
    if (message.kind == MessageKind::MediaOmitted) {
        page += "<div class=\"content\"><SPAN class=\"MsgHistory\">";
        page += kIndent;
        page += "[Media omitted]</SPAN></div>";
    } else if (message.kind == MessageKind::Attachment) {
        appendAttachment(page, message);
    }
    if (message.text.empty())
        return;
    if (message.text.find('\n') == std::string::npos) {
        appendTextBody(page, message.text);
    } else {
        m_argument.clear();
        appendLines(m_argument, message.text);
        appendBody(page, BodyKind::Text, m_argument);
    }
}

void ExportPageWriter::appendAttachment(std::string& page, const Message& message) {
    const MediaFolder folder = folderOf(message.media);
    const std::string& name = message.attachment;
    std::string error;
    std::string path;
    if (m_chat.attachments().count(name) != 0) {
        path = m_files.pathOf(m_chat, m_chatKey, name, error);
        if (path.empty() && m_media != nullptr)
            m_media->refuse(folder, m_chat.origin() + ": " + name, error);
    }
    path = path.empty() ? path : absolutePath(path);
    const bool present = !path.empty();
    if (folder == MediaFolder::Documents) {
        appendFileLink(page, folder, path, name, message.media == MediaKind::Audio ? "[Audio]" : "[Document]",
                       m_media, "/");
        return;
    }
    if (!present) {
        appendBody(page, missingBody(folder));
        return;
    }
    if (m_media != nullptr) {
        const std::string id = m_media->copy(folder, path, name);
        appendBody(page,
                   folder == MediaFolder::Images  ? BodyKind::ImageStandAlone
                   : folder == MediaFolder::Voice ? BodyKind::VoiceStandAlone
                                                  : BodyKind::VideoStandAlone,
                   id);
        return;
    }
    m_argument.clear();
    if (folder == MediaFolder::Images) {
        appendFileUrl(m_argument, path, "/");
        appendBody(page, BodyKind::ImageViewer, m_argument);
    } else {
        appendScriptStringInAttribute(m_argument, path);
        appendBody(page, folder == MediaFolder::Voice ? BodyKind::VoiceViewer : BodyKind::VideoViewer,
                   m_argument);
    }
}

}  // namespace talvio::chatexport
