// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "database.h"
#include "folder_boundary.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace talvio {

// Which file an Android message means: its kind, its path in the phone's WhatsApp folder (as the
// database says, or found by name when the user's copy moved it), and its preview picture.

enum class AndroidMediaKind { None, Picture, Gif, Sticker, Voice, Audio, Video, Document };

// The kind of a message's file from its type code (media_wa_type / message_type). Audio (2) is a
// voice note when its file lies in "WhatsApp Voice Notes/" or is named "PTT-…"; a voice note that
// was never downloaded has no path, and then an Opus mime type says so. Anything else is Audio.
AndroidMediaKind androidMediaKind(int type, std::string_view mimeType, std::string_view path);

// A phone path as WhatsApp wrote it ("Media/…", "/storage/emulated/0/WhatsApp/Media/…",
// "…/Android/media/com.whatsapp/WhatsApp/Media/…") relative to the WhatsApp folder: "Media/…".
// Nothing for a path that leads into no WhatsApp media folder.
std::optional<std::string> whatsAppRelativePath(std::string_view phonePath);

// The media path inside a legacy messages.thumb_image: a Java-serialized com.whatsapp.MediaData,
// in which the path is one of the serialized strings. Relative to the WhatsApp folder ("Media/…"),
// as well-formed UTF-8; nothing when no string there is a media path. Any bytes are safe.
std::optional<std::string> legacyMediaPath(std::string_view thumbImage);

// Every regular file below <mediaFolder>/Media/ by file name, so that a file the user's copy keeps
// in another folder than the database says (Sent/ or not, merged copies) is still found.
class MediaNameIndex {
public:
    MediaNameIndex() = default;
    // Walks the folder once. Links to folders are not followed and links that resolve outside the
    // media folder are left out. stillWanted is asked now and then; false ends the walk early.
    explicit MediaNameIndex(const std::string& mediaFolder, const std::function<bool()>& stillWanted = {});

    // The best of the files with this name, relative to the media folder ("Media/…"): one in the
    // same top folder as wantedPath ("WhatsApp Images") first, then one whose being in Sent/ matches.
    std::optional<std::string> find(std::string_view name, std::string_view wantedPath = {}) const;

    std::size_t fileCount() const { return m_fileCount; }
    // Whether no regular file below Media/ can have a name the index lacks: the walk ended and
    // met no link, which may lead to files it did not list.
    bool exhaustive() const { return !m_cancelled && !m_sawLink; }
    bool holdsName(std::string_view name) const { return m_byName.find(name) != m_byName.end(); }
    // Whether the walk listed a file at relativePath ("Media/…") under this name.
    bool holdsFile(std::string_view name, std::string_view relativePath) const;
    // Whether the walk was ended by stillWanted before it saw every file.
    bool cancelled() const { return m_cancelled; }

private:
    // Looked up by string_view, without a copy of the name.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    std::unordered_map<std::string, std::vector<std::string>, NameHash, std::equal_to<>> m_byName;
    std::size_t m_fileCount = 0;
    bool m_cancelled = false;
    bool m_sawLink = false;
};

struct LocatedMedia {
    std::string path;      // absolute; where the database says when the file is not present
    bool present = false;  // a regular file inside the media folder is at path
    std::string refusal;   // why the database's path was refused (empty when it was not)
};

// Finds the files of one load's messages in the phone's WhatsApp folder.
class AndroidMediaLocator {
public:
    // mediaFolder: the WhatsApp folder that holds Media/, with a trailing '/'.
    explicit AndroidMediaLocator(std::string mediaFolder, std::function<bool()> stillWanted = {});

    // relativePath: message_media.file_path or legacyMediaPath() (absolute phone paths are taken
    // too); fileName: the name to look for when the path is empty. The path as given when a file
    // is there, else a file of the same name elsewhere below Media/. The name index is walked on
    // the first miss only, so a chat whose files are all where the database says costs no walk.
    LocatedMedia locate(std::string_view relativePath, std::string_view fileName = {});

    ~AndroidMediaLocator();
    AndroidMediaLocator(const AndroidMediaLocator&) = delete;
    AndroidMediaLocator& operator=(const AndroidMediaLocator&) = delete;

    bool hasNameIndex() const { return m_index.has_value(); }
    // Walks Media/ now rather than at the first miss.
    void buildNameIndex();
    // Starts the walk on a thread of its own, so that a load need not wait for it: a look-up that
    // needs the index before the walk has ended waits for it then.
    void startNameIndex();

private:
    FolderBoundary::Place place(const std::string& path);
    // The index once the walk has ended; with wait, waits for a walk under way or walks now.
    const MediaNameIndex* nameIndex(bool wait);

    std::string m_folder;
    std::string m_root;  // m_folder resolved, ending in '/'
    std::unordered_map<std::string, bool> m_folderInside;
    FolderBoundary m_boundary;
    std::function<bool()> m_stillWanted;
    std::optional<MediaNameIndex> m_index;
    std::future<MediaNameIndex> m_walk;
    std::shared_ptr<std::atomic<bool>> m_stopWalk = std::make_shared<std::atomic<bool>>(false);
};

// Whether bytes are a JPEG, PNG or WebP picture of at most kMaxPreviewBytes.
bool isPreviewPicture(std::string_view bytes);
inline constexpr std::size_t kMaxPreviewBytes = 256 * 1024;

// Reads the small preview pictures WhatsApp keeps in msgstore.db. Statements are prepared on first
// use and kept for the reader's life (one chat). A table that an older or newer database lacks
// gives no preview, never an error; only JPEG, PNG and WebP bytes count.
class PreviewReader {
public:
    explicit PreviewReader(const Database& db) : m_db(db) {}

    // Modern layout: message_thumbnail by message row, else media_hash_thumbnail by
    // message_media.file_hash.
    std::optional<std::string> modernPreview(std::int64_t messageRowId, std::string_view fileHash);
    // Legacy layout: messages.raw_data when it holds a JPEG, else message_thumbnails by the key.
    std::optional<std::string> legacyPreview(std::string_view jid, int fromMe, std::string_view keyId,
                                             std::string_view rawData);

private:
    const Database& m_db;
    bool m_modernPrepared = false;
    bool m_legacyPrepared = false;
    Statement m_byMessage;
    Statement m_byHash;
    Statement m_byKey;
};

// One-call forms for a single look-up; a chat's worth should keep one PreviewReader.
std::optional<std::string> modernPreview(const Database& db, std::int64_t messageRowId,
                                         std::string_view fileHash);
std::optional<std::string> legacyPreview(const Database& db, std::string_view jid, int fromMe,
                                         std::string_view keyId, std::string_view rawData);

}  // namespace talvio
