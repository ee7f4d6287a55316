// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "android_media_page.h"

#include "sources/chat_page.h"
#include "sources/html_escape.h"
#include "sources/iphone_page.h"

#include <openssl/evp.h>

#include <algorithm>
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
        m_legacyPath = legacyMediaPath(row.textView(6)).value_or(std::string());
        m_fields.path = m_legacyPath;
        m_fields.mime = row.textView(7);
        m_fields.caption = row.textView(8);
        m_fields.name = row.textView(9);
        m_fields.previewKey = row.textView(10);
        return true;
    }
    if (!isMediaType(type))
        return false;
    if (m_chatFilesLoaded) {
        const auto found =
            std::lower_bound(m_chatFiles.begin(), m_chatFiles.end(), m_fields.rowId,
                             [](const LoadedFile& file, std::int64_t id) { return file.rowId < id; });
        if (found != m_chatFiles.end() && found->rowId == m_fields.rowId) {
            const std::string_view texts = m_chatFileTexts;
            const auto field = [&](int i) {
                return texts.substr(found->fields[i].first, found->fields[i].second);
            };
            m_fields.path = field(0);
            m_fields.mime = field(1);
            m_fields.caption = field(2);
            m_fields.name = field(3);
            m_fields.previewKey = field(4);
        }
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
        m_fields.path = m_mediaRow.textView(0);
        m_fields.mime = m_mediaRow.textView(1);
        m_fields.caption = m_mediaRow.textView(2);
        m_fields.name = m_mediaRow.textView(3);
        m_fields.previewKey = m_mediaRow.textView(4);
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
    // One block of text for all of them: a long chat's files cost no allocation each.
    while (rows.step()) {
        LoadedFile& file = m_chatFiles.emplace_back();
        file.rowId = rows.int64(0);
        for (int i = 0; i < 5; ++i) {
            const std::string_view text = rows.textView(i + 1);
            file.fields[static_cast<std::size_t>(i)] = {m_chatFileTexts.size(), text.size()};
            m_chatFileTexts += text;
        }
    }
    // A table that ended in an error is read row by row instead.
    m_chatFilesLoaded = !rows.failed();
    if (!m_chatFilesLoaded) {
        m_chatFiles.clear();
        m_chatFileTexts.clear();
        return;
    }
    std::sort(m_chatFiles.begin(), m_chatFiles.end(),
              [](const LoadedFile& a, const LoadedFile& b) { return a.rowId < b.rowId; });
}

bool AndroidMediaWriter::append(std::string& page, const Statement& row, std::string_view jid, bool fromMe) {
    const int type = std::atoi(orEmpty(row.text(0)));
    if (!isMediaType(type) || !readFields(row, type))
        return false;
    const std::string_view relative = m_fields.path;
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
        m_media->refuse(folder, std::string(m_mediaFolder).append(relative), located.refusal);
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
