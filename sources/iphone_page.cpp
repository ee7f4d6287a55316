// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iphone_page.h"

#include "sources/chat_page.h"
#include "sources/folder_boundary.h"
#include "sources/html_escape.h"
#include "sources/media_copy.h"
#include "sources/text_convert.h"

#include <filesystem>
#include <system_error>

namespace talvio {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

const char* orDefault(const char* text, const char* fallback) {
    return text != nullptr ? text : fallback;
}

std::string_view fileNameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void appendPercentEncoded(std::string& out, std::string_view bytes) {
    for (unsigned char c : bytes) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~' || c == '/' || c == '@';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
}

std::string currentFolder() {
    std::error_code ec;
    std::string folder = std::filesystem::current_path(ec).string();
    return ec ? std::string("/") : folder;
}

}  // namespace

void appendFileUrl(std::string& out, std::string_view path, std::string_view folder) {
    out += "file://";
    if (path.empty() || path.front() != '/') {
        appendPercentEncoded(out, folder);
        if (folder.empty() || folder.back() != '/')
            out += '/';
    }
    appendPercentEncoded(out, path);
}

IphoneMessageWriter::IphoneMessageWriter(const PhoneFolder& folder, MediaCopyLog* media)
    : m_times(folder.kind, folder.timeZoneBias),
      m_resourceFolder(folder.resourceFolder),
      m_mediaRoot(folder.resourceFolder + "Library/"),
      m_boundary(m_mediaRoot),
      m_media(media),
      m_backupFiles(folder.backupFiles) {
    if (m_media == nullptr && !m_resourceFolder.empty() && m_resourceFolder.front() != '/') {
        m_currentFolder = currentFolder();
    }
}

void IphoneMessageWriter::append(std::string& page, const Statement& row) {
    const char* fromMe = row.text(0);
    if (fromMe == nullptr)
        return;
    const std::string_view kind = orDefault(row.text(1), "0");

    std::string_view sender = "Me";
    if (std::string_view(fromMe) == "0") {
        m_sender.clear();
        appendEscapedText(m_sender, orDefault(row.text(3), ""));
        sender = m_sender;
    }
    m_time.clear();
    m_times.append(m_time, orDefault(row.text(2), "0"));
    appendSenderLine(page, sender, m_time);

    if (kind != "1" && kind != "2" && kind != "3") {
        appendTextBody(page, orDefault(row.text(4), ""));
        return;
    }
    const std::string_view relative = orDefault(row.text(5), "");
    const std::string_view name = fileNameOf(relative);
    const MediaFolder folder = kind == "1"   ? MediaFolder::Images
                               : kind == "3" ? MediaFolder::Voice
                                             : MediaFolder::Video;
    if (m_backupFiles) {
        // The backup looks the path up by name; a file it holds is a regular file of its own.
        std::string path = relative.empty() ? std::string() : m_backupFiles->mediaFile(relative);
        const bool present = !path.empty();
        if (!present)
            path = "Message/" + std::string(relative);
        // Where an extracted folder keeps the file: its copy in an export is named the same.
        m_phonePath = "Library/";
        m_phonePath += relative;
        appendMedia(page, folder, path, name, present);
        m_phonePath.clear();
        return;
    }
    std::string path = m_mediaRoot;
    path += relative;
    // Without a resource folder nothing is shown or copied anyway, and the players say why.
    const FolderBoundary::Place place =
        m_resourceFolder.empty() ? FolderBoundary::Place::Missing : m_boundary.place(path);
    if (place == FolderBoundary::Place::Outside) {
        if (m_media != nullptr)
            m_media->refuse(folder, path, "its path leaves the resource folder");
        appendBody(page, folder == MediaFolder::Images  ? BodyKind::ImageMarker
                         : folder == MediaFolder::Voice ? BodyKind::VoiceMissing
                                                        : BodyKind::VideoMissing);
        return;
    }
    appendMedia(page, folder, path, name, place == FolderBoundary::Place::Inside);
}

void IphoneMessageWriter::appendMedia(std::string& page, MediaFolder folder, const std::string& path,
                                      std::string_view name, bool present) {
    if (folder == MediaFolder::Images) {
        appendPicture(page, path, name, present);
    } else if (folder == MediaFolder::Voice) {
        appendVoice(page, path, name, present);
    } else {
        appendVideo(page, path, name, present);
    }
}

void IphoneMessageWriter::appendPicture(std::string& page, const std::string& path, std::string_view name,
                                        bool present) {
    if (!present) {
        appendBody(page, BodyKind::ImageMarker);
    } else if (m_media == nullptr) {
        m_argument.clear();
        appendFileUrl(m_argument, path, m_currentFolder);
        appendBody(page, BodyKind::ImageViewer, m_argument);
    } else {
        appendBody(page, BodyKind::ImageStandAlone,
                   m_media->copy(MediaFolder::Images, path, name, m_phonePath));
    }
}

void IphoneMessageWriter::appendVoice(std::string& page, const std::string& path, std::string_view name,
                                      bool present) {
    if (m_media == nullptr) {
        m_argument.clear();
        appendScriptStringInAttribute(m_argument, path);
        appendBody(page, BodyKind::VoiceViewer, m_argument);
    } else if (present) {
        appendBody(page, BodyKind::VoiceStandAlone,
                   m_media->copy(MediaFolder::Voice, path, name, m_phonePath));
    } else {
        appendBody(page, BodyKind::VoiceMissing);
    }
}

void IphoneMessageWriter::appendVideo(std::string& page, const std::string& path, std::string_view name,
                                      bool present) {
    if (m_media == nullptr) {
        m_argument.clear();
        appendScriptStringInAttribute(m_argument, path);
        appendBody(page, BodyKind::VideoViewer, m_argument);
    } else if (present) {
        appendBody(page, BodyKind::VideoStandAlone,
                   m_media->copy(MediaFolder::Video, path, name, m_phonePath));
    } else {
        appendBody(page, BodyKind::VideoMissing);
    }
}

}  // namespace talvio
