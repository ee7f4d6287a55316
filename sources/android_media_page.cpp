// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "android_media_page.h"

#include "sources/chat_page.h"
#include "sources/html_escape.h"
#include "sources/iphone_page.h"

#include <openssl/evp.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace talvio {
namespace {

constexpr std::string_view kIndent = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";

const char* orEmpty(const char* text) {
    return text != nullptr ? text : "";
}

std::string_view fileNameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view pictureType(std::string_view bytes) {
    if (bytes.starts_with("\x89PNG"))
        return "image/png";
    if (bytes.starts_with("RIFF"))
        return "image/webp";
    return "image/jpeg";
}

// A preview the database keeps, inline: it goes with the page wherever the page goes.
void appendPreview(std::string& page, std::string_view bytes) {
    page += "<div>";
    page += kIndent;
    page += "<SPAN class=\"MsgHistory\"><img src=\"data:";
    page += pictureType(bytes);
    page += ";base64,";
    const std::size_t start = page.size();
    page.resize(start + 4 * ((bytes.size() + 2) / 3) + 1);
    const int written =
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(page.data() + start),
                        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    page.resize(start + static_cast<std::size_t>(written > 0 ? written : 0));
    page += "\"/></SPAN></div>";
}

std::string currentFolder() {
    std::error_code ec;
    std::string folder = std::filesystem::current_path(ec).string();
    return ec ? std::string("/") : folder;
}

// The message kinds that carry a file: picture, audio, video, document, GIF, sticker.
bool isMediaType(int type) {
    return type == 1 || type == 2 || type == 3 || type == 9 || type == 13 || type == 20;
}

BodyKind markerOf(AndroidMediaKind kind) {
    switch (kind) {
        case AndroidMediaKind::Voice:
        case AndroidMediaKind::Audio:
            return BodyKind::AudioMarker;
        case AndroidMediaKind::Video:
        case AndroidMediaKind::Gif:
            return BodyKind::VideoMarker;
        default:
            return BodyKind::ImageMarker;
    }
}

}  // namespace

std::string_view androidMediaColumns(bool legacyLayout) {
    // The modern layout keeps the file in message_media, read for media messages alone: a join
    // would look it up for every message of the chat.
    return legacyLayout ? ", _id, thumb_image, media_mime_type, media_caption, media_name, key_id"
                        : ", message._id";
}

AndroidMediaWriter::AndroidMediaWriter(const PhoneFolder& folder, AndroidMediaLocator& locator,
                                       const Database& messageDb, bool legacyLayout, MediaCopyLog* media)
    : m_mediaFolder(folder.resourceFolder),
      m_locator(locator),
      m_previews(messageDb),
      m_db(messageDb),
      m_legacy(legacyLayout),
      m_media(media) {
    if (m_media == nullptr && !m_mediaFolder.empty() && m_mediaFolder.front() != '/')
        m_currentFolder = currentFolder();
}

AndroidMediaWriter::~AndroidMediaWriter() = default;

bool AndroidMediaWriter::readFields(const Statement& row, int type) {
    m_fields = {};
    m_fields.rowId = row.int64(5);
    if (m_legacy) {
        if (const auto path = legacyMediaPath(row.textView(6)))
            m_fields.path = *path;
        m_fields.mime = orEmpty(row.text(7));
        m_fields.caption = orEmpty(row.text(8));
        m_fields.name = orEmpty(row.text(9));
        m_fields.previewKey = orEmpty(row.text(10));
        return true;
    }
    if (!isMediaType(type))
        return false;
    if (m_chatFilesLoaded) {
        if (const auto found = m_chatFiles.find(m_fields.rowId); found != m_chatFiles.end())
            m_fields = found->second;
        return true;
    }
    if (!m_mediaRow.ok())
        m_mediaRow =
            Statement(m_db,
                      "SELECT file_path, mime_type, media_caption, media_name, file_hash FROM message_media "
                      "WHERE message_row_id = ?;");
    if (!m_mediaRow.ok())
        return true;
    m_mediaRow.reset();
    m_mediaRow.bind(1, m_fields.rowId);
    if (m_mediaRow.step()) {
        m_fields.path = orEmpty(m_mediaRow.text(0));
        m_fields.mime = orEmpty(m_mediaRow.text(1));
        m_fields.caption = orEmpty(m_mediaRow.text(2));
        m_fields.name = orEmpty(m_mediaRow.text(3));
        m_fields.previewKey = orEmpty(m_mediaRow.text(4));
    }
    return true;
}

void AndroidMediaWriter::loadChatFiles(const std::vector<std::int64_t>& chats) {
    std::string sql =
        "SELECT message_row_id, file_path, mime_type, media_caption, media_name, file_hash FROM "
        "message_media "
        "WHERE chat_row_id IN (";
    for (std::size_t i = 0; i < chats.size(); ++i)
        sql += i == 0 ? "?" : ",?";
    Statement rows(m_db, sql + ");");
    if (!rows.ok())
        return;
    for (std::size_t i = 0; i < chats.size(); ++i)
        rows.bind(static_cast<int>(i) + 1, chats[i]);
    while (rows.step()) {
        Fields& fields = m_chatFiles[rows.int64(0)];
        fields.rowId = rows.int64(0);
        fields.path = orEmpty(rows.text(1));
        fields.mime = orEmpty(rows.text(2));
        fields.caption = orEmpty(rows.text(3));
        fields.name = orEmpty(rows.text(4));
        fields.previewKey = orEmpty(rows.text(5));
    }
    // A table that ended in an error is read row by row instead.
    m_chatFilesLoaded = !rows.failed();
    if (!m_chatFilesLoaded)
        m_chatFiles.clear();
}

bool AndroidMediaWriter::append(std::string& page, const Statement& row, std::string_view jid, bool fromMe) {
    const int type = std::atoi(orEmpty(row.text(0)));
    if (!isMediaType(type) || !readFields(row, type))
        return false;
    const std::string& relative = m_fields.path;
    const AndroidMediaKind kind = androidMediaKind(type, m_fields.mime, relative);
    if (kind == AndroidMediaKind::None)
        return false;
    const std::string_view storedName = m_fields.name;
    const LocatedMedia located = m_locator.locate(relative, fileNameOf(storedName));
    const std::string_view name = fileNameOf(located.path).empty() ? storedName : fileNameOf(located.path);

    if (!located.refusal.empty() && m_media != nullptr) {
        const MediaFolder folder =
            kind == AndroidMediaKind::Voice                                          ? MediaFolder::Voice
            : kind == AndroidMediaKind::Video || kind == AndroidMediaKind::Gif       ? MediaFolder::Video
            : kind == AndroidMediaKind::Picture || kind == AndroidMediaKind::Sticker ? MediaFolder::Images
                                                                                     : MediaFolder::Documents;
        m_media->refuse(folder, m_mediaFolder + relative, located.refusal);
    }
    if (!located.present) {
        appendMissing(page, jid, fromMe, kind);
    } else {
        switch (kind) {
            case AndroidMediaKind::Picture:
            case AndroidMediaKind::Sticker:
                if (m_media == nullptr) {
                    m_argument.clear();
                    appendFileUrl(m_argument, located.path, m_currentFolder);
                    appendBody(page, BodyKind::ImageViewer, m_argument);
                } else {
                    appendBody(page, BodyKind::ImageStandAlone,
                               m_media->copy(MediaFolder::Images, located.path, name));
                }
                break;
            case AndroidMediaKind::Voice:
                if (m_media == nullptr) {
                    m_argument.clear();
                    appendScriptStringInAttribute(m_argument, located.path);
                    appendBody(page, BodyKind::VoiceViewer, m_argument);
                } else {
                    appendBody(page, BodyKind::VoiceStandAlone,
                               m_media->copy(MediaFolder::Voice, located.path, name));
                }
                break;
            case AndroidMediaKind::Video:
            case AndroidMediaKind::Gif:
                if (m_media == nullptr) {
                    m_argument.clear();
                    appendScriptStringInAttribute(m_argument, located.path);
                    appendBody(page, BodyKind::VideoViewer, m_argument);
                } else {
                    appendBody(page, BodyKind::VideoStandAlone,
                               m_media->copy(MediaFolder::Video, located.path, name));
                }
                break;
            case AndroidMediaKind::Audio:
                appendFileLink(page, MediaFolder::Documents, located.path, name, "[Audio]", m_media,
                               m_currentFolder);
                break;
            case AndroidMediaKind::Document:
            case AndroidMediaKind::None:
                appendFileLink(page, MediaFolder::Documents, located.path, name, "[Document]", m_media,
                               m_currentFolder);
                break;
        }
    }
    if (!m_fields.caption.empty())
        appendTextBody(page, m_fields.caption);
    return true;
}

void AndroidMediaWriter::appendMissing(std::string& page, std::string_view jid, bool fromMe,
                                       AndroidMediaKind kind) {
    if (const auto bytes = preview(jid, fromMe))
        appendPreview(page, *bytes);
    if (kind == AndroidMediaKind::Document) {
        appendFileLink(page, MediaFolder::Documents, {}, fileNameOf(m_fields.name), "[Document]", m_media,
                       m_currentFolder);
        return;
    }
    appendBody(page, markerOf(kind));
}

void appendFileLink(std::string& page, MediaFolder folder, const std::string& path, std::string_view name,
                    std::string_view label, MediaCopyLog* media, std::string_view currentFolder) {
    const bool present = !path.empty();
    page += "<div class=\"content\"><SPAN class=\"MsgHistory\">";
    page += kIndent;
    if (present) {
        page += "<a href=\"";
        if (media == nullptr) {
            appendFileUrl(page, path, currentFolder);
        } else {
            const std::string id = media->copy(folder, path, name);
            appendAttributeText(page, mediaTarget(folder, id, name));
        }
        page += "\">";
    }
    page += label;
    if (!name.empty()) {
        page += ' ';
        appendEscapedText(page, name);
    }
    if (present)
        page += "</a>";
    page += "</SPAN></div>";
}

std::optional<std::string> AndroidMediaWriter::preview(std::string_view jid, bool fromMe) {
    const std::int64_t rowId = m_fields.rowId;
    if (!m_legacy)
        return m_previews.modernPreview(rowId, m_fields.previewKey);
    if (!m_rawData.ok())
        m_rawData = Statement(m_db, "SELECT raw_data FROM messages WHERE _id = ?;");
    std::string rawData;
    if (m_rawData.ok()) {
        m_rawData.reset();
        m_rawData.bind(1, rowId);
        if (m_rawData.step())
            rawData = m_rawData.textView(0);
    }
    return m_previews.legacyPreview(jid, fromMe ? 1 : 0, m_fields.previewKey, rawData);
}

}  // namespace talvio
