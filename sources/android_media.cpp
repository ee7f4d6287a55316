// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "android_media.h"

#include <dirent.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <utility>

namespace talvio {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMediaPrefix = "Media/";
// Where a phone keeps the WhatsApp folder differs (storage root, Android/media/com.whatsapp/, an SD
// card, the Business app), but the folder's own name and its Media/ below it do not.
constexpr std::array<std::string_view, 2> kPhoneMediaMarkers = {"/WhatsApp/Media/",
                                                                "/WhatsApp Business/Media/"};

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::string_view lastSegment(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool hasClimbingSegment(std::string_view path) {
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (path.substr(start, end - start) == "..")
            return true;
        start = end + 1;
    }
    return false;
}

// The folder right below Media/ ("WhatsApp Images"), empty for a path elsewhere.
std::string_view topFolder(std::string_view relativePath) {
    if (relativePath.substr(0, kMediaPrefix.size()) != kMediaPrefix)
        return {};
    const std::string_view rest = relativePath.substr(kMediaPrefix.size());
    const std::size_t slash = rest.find('/');
    return slash == std::string_view::npos ? std::string_view{} : rest.substr(0, slash);
}

bool inSentFolder(std::string_view relativePath) {
    return relativePath.find("/Sent/") != std::string_view::npos;
}

}  // namespace

AndroidMediaKind androidMediaKind(int type, std::string_view mimeType, std::string_view path) {
    switch (type) {
        case 1:
            return AndroidMediaKind::Picture;
        case 2: {
            const std::string_view name = lastSegment(path);
            if (path.find("WhatsApp Voice Notes/") != std::string_view::npos || name.substr(0, 4) == "PTT-")
                return AndroidMediaKind::Voice;
            if (path.empty() && mimeType.find("codecs=opus") != std::string_view::npos)
                return AndroidMediaKind::Voice;
            return AndroidMediaKind::Audio;
        }
        case 3:
            return AndroidMediaKind::Video;
        case 9:
            return AndroidMediaKind::Document;
        case 13:
            return AndroidMediaKind::Gif;
        case 20:
            return AndroidMediaKind::Sticker;
        default:
            return AndroidMediaKind::None;
    }
}

std::optional<std::string> whatsAppRelativePath(std::string_view phonePath) {
    if (hasControlCharacter(phonePath))
        return std::nullopt;
    if (phonePath.size() > kMediaPrefix.size() && phonePath.substr(0, kMediaPrefix.size()) == kMediaPrefix)
        return std::string(phonePath);
    if (phonePath.empty() || phonePath.front() != '/')
        return std::nullopt;
    std::size_t best = std::string_view::npos;
    std::size_t markerSize = 0;
    for (const std::string_view marker : kPhoneMediaMarkers) {
        const std::size_t at = phonePath.find(marker);
        if (at < best) {
            best = at;
            markerSize = marker.size();
        }
    }
    if (best == std::string_view::npos || best + markerSize == phonePath.size())
        return std::nullopt;
    return std::string(kMediaPrefix) + std::string(phonePath.substr(best + markerSize));
}

// ---- legacy thumb_image --------------------------------------------------------------------------

namespace {

// Java writes strings in "modified UTF-8": no zero bytes (U+0000 is C0 80) and characters beyond
// U+FFFF as two three-byte surrogates. Every candidate string of a blob is checked against a table
// built in one pass, so that hostile bytes full of string headers cost linear time, not quadratic.
class ModifiedUtf8 {
public:
    explicit ModifiedUtf8(std::string_view bytes) : m_bytes(bytes), m_badBefore(bytes.size() + 1, 0) {
        for (std::size_t p = 0; p < bytes.size(); ++p)
            m_badBefore[p + 1] = m_badBefore[p] + (isContinuation(p) || startsGoodCharacter(p) ? 0 : 1);
    }

    // Whether [start, end) is a whole string of printable characters.
    bool isGood(std::size_t start, std::size_t end) const {
        if (start >= end || end > m_bytes.size() || m_badBefore[end] != m_badBefore[start])
            return false;
        // The first character must begin at start, the last end before end, and no surrogate pair
        // may be cut by either edge.
        if (isContinuation(start) || isLowSurrogateAt(start))
            return false;
        if (end < m_bytes.size() && isContinuation(end))
            return false;
        return !(end >= 3 && isHighSurrogateAt(end - 3));
    }

    std::string decode(std::size_t start, std::size_t end) const {
        std::string out;
        out.reserve(end - start);
        for (std::size_t p = start; p < end;) {
            const unsigned b = byte(p);
            if (b < 0x80) {
                out += static_cast<char>(b);
                p += 1;
            } else if (b < 0xE0) {
                out.append(m_bytes.substr(p, 2));  // two-byte forms are already UTF-8 (no C0 80 here)
                p += 2;
            } else if (isHighSurrogateAt(p)) {
                const unsigned high = unit(p) - 0xD800;
                const unsigned low = unit(p + 3) - 0xDC00;
                const unsigned cp = 0x10000 + (high << 10) + low;
                out += static_cast<char>(0xF0 | (cp >> 18));
                out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (cp & 0x3F));
                p += 6;
            } else {
                out.append(m_bytes.substr(p, 3));
                p += 3;
            }
        }
        return out;
    }

private:
    unsigned byte(std::size_t p) const { return static_cast<unsigned char>(m_bytes[p]); }
    bool isContinuation(std::size_t p) const { return (byte(p) & 0xC0) == 0x80; }
    bool continuationAt(std::size_t p) const { return p < m_bytes.size() && isContinuation(p); }
    // The 16-bit unit of a three-byte form at p (its bytes checked by the caller).
    unsigned unit(std::size_t p) const {
        return ((byte(p) & 0x0F) << 12) | ((byte(p + 1) & 0x3F) << 6) | (byte(p + 2) & 0x3F);
    }
    bool isThreeByteAt(std::size_t p) const {
        return p < m_bytes.size() && (byte(p) & 0xF0) == 0xE0 && continuationAt(p + 1) &&
               continuationAt(p + 2);
    }
    bool isHighSurrogateAt(std::size_t p) const {
        return isThreeByteAt(p) && unit(p) >= 0xD800 && unit(p) <= 0xDBFF;
    }
    bool isLowSurrogateAt(std::size_t p) const {
        return isThreeByteAt(p) && unit(p) >= 0xDC00 && unit(p) <= 0xDFFF;
    }

    // Whether the character beginning at p is well formed, printable, and followed by no stray
    // continuation byte. Overlong forms and control characters are never part of a real path.
    bool startsGoodCharacter(std::size_t p) const {
        const unsigned b = byte(p);
        std::size_t length = 0;
        if (b < 0x80) {
            if (b < 0x20 || b == 0x7F)
                return false;
            length = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
            if (!continuationAt(p + 1) || (b == 0xC2 && byte(p + 1) < 0xA0))
                return false;
            length = 2;
        } else if ((b & 0xF0) == 0xE0) {
            if (!isThreeByteAt(p) || unit(p) < 0x800)
                return false;
            if (isHighSurrogateAt(p) && !isLowSurrogateAt(p + 3))
                return false;
            if (isLowSurrogateAt(p) && !(p >= 3 && isHighSurrogateAt(p - 3)))
                return false;
            length = 3;
        } else {
            return false;
        }
        return !continuationAt(p + length);
    }

    std::string_view m_bytes;
    std::vector<std::uint32_t> m_badBefore;  // bad character starts before each position
};

constexpr unsigned char kJavaString = 0x74;  // TC_STRING, then a big-endian 16-bit length

std::vector<std::size_t> findAll(std::string_view bytes, std::string_view what) {
    std::vector<std::size_t> at;
    for (std::size_t p = bytes.find(what); p != std::string_view::npos; p = bytes.find(what, p + 1))
        at.push_back(p);
    return at;
}

}  // namespace

std::optional<std::string> legacyMediaPath(std::string_view thumbImage) {
    // ASCII bytes stand only for themselves in modified UTF-8, so the markers a media path needs can
    // be found in the raw bytes before any string is decoded.
    std::vector<std::pair<std::size_t, std::size_t>> markers;  // position, size
    for (const std::string_view marker : kPhoneMediaMarkers) {
        for (const std::size_t p : findAll(thumbImage, marker))
            markers.emplace_back(p, marker.size());
    }
    std::sort(markers.begin(), markers.end());
    const ModifiedUtf8 text(thumbImage);
    for (std::size_t p = 0; p + 3 <= thumbImage.size(); ++p) {
        if (static_cast<unsigned char>(thumbImage[p]) != kJavaString)
            continue;
        const std::size_t start = p + 3;
        const std::size_t end = start + ((static_cast<unsigned char>(thumbImage[p + 1]) << 8) |
                                         static_cast<unsigned char>(thumbImage[p + 2]));
        if (end > thumbImage.size() || !text.isGood(start, end))
            continue;
        const std::string_view raw = thumbImage.substr(start, end - start);
        bool candidate =
            raw.size() > kMediaPrefix.size() && raw.substr(0, kMediaPrefix.size()) == kMediaPrefix;
        if (!candidate && raw.front() == '/') {
            const auto first =
                std::lower_bound(markers.begin(), markers.end(), std::pair{start, std::size_t{0}});
            candidate = first != markers.end() && first->first + first->second < end;
        }
        if (!candidate)
            continue;
        if (std::optional<std::string> path = whatsAppRelativePath(text.decode(start, end)))
            return path;
    }
    return std::nullopt;
}

// ---- the name index ------------------------------------------------------------------------------

MediaNameIndex::MediaNameIndex(const std::string& mediaFolder, const std::function<bool()>& stillWanted) {
    std::string folder = mediaFolder;
    if (folder.empty())
        return;
    if (folder.back() != '/')
        folder += '/';
    const FolderBoundary boundary(folder);
    // readdir's own file types: a folder of 50,000 files costs no look at each file. Links to
    // folders are not followed, so a loop of links ends too.
    std::vector<std::string> pending{"Media"};
    // A linked Media/ may lead anywhere: nothing below it is taken for inside without a look.
    struct stat media {};
    m_sawLink = ::lstat((folder + "Media").c_str(), &media) == 0 && S_ISLNK(media.st_mode);
    std::size_t seen = 0;
    constexpr std::size_t kEntriesBetweenLooks = 256;
    while (!pending.empty() && !m_cancelled) {
        const std::string relativeFolder = std::move(pending.back());
        pending.pop_back();
        DIR* dir = ::opendir((folder + relativeFolder).c_str());
        if (dir == nullptr)
            continue;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            if (stillWanted && ++seen % kEntriesBetweenLooks == 0 && !stillWanted()) {
                m_cancelled = true;
                break;
            }
            std::string relative = relativeFolder + '/' + std::string(name);
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN) {
                struct stat status {};
                if (::lstat((folder + relative).c_str(), &status) != 0)
                    continue;
                type = S_ISDIR(status.st_mode)   ? DT_DIR
                       : S_ISREG(status.st_mode) ? DT_REG
                       : S_ISLNK(status.st_mode) ? DT_LNK
                                                 : DT_UNKNOWN;
            }
            if (type == DT_DIR) {
                pending.push_back(std::move(relative));
                continue;
            }
            m_sawLink = m_sawLink || type == DT_LNK;
            if (type != DT_REG &&
                !(type == DT_LNK && boundary.place(folder + relative) == FolderBoundary::Place::Inside))
                continue;
            m_byName[std::string(name)].push_back(std::move(relative));
            ++m_fileCount;
        }
        ::closedir(dir);
    }
    // The listing's order is the file system's: sorted, the same copy wins on every machine.
    for (auto& [name, paths] : m_byName)
        std::sort(paths.begin(), paths.end());
}

bool MediaNameIndex::holdsFile(std::string_view name, std::string_view relativePath) const {
    const auto found = m_byName.find(name);
    return found != m_byName.end() &&
           std::binary_search(found->second.begin(), found->second.end(), relativePath, std::less<>());
}

std::optional<std::string> MediaNameIndex::find(std::string_view name, std::string_view wantedPath) const {
    const auto found = m_byName.find(name);
    if (found == m_byName.end())
        return std::nullopt;
    const std::string_view wantedTop = topFolder(wantedPath);
    const bool wantedSent = inSentFolder(wantedPath);
    const std::string* best = nullptr;
    int bestScore = -1;
    for (const std::string& path : found->second) {
        const int score = (!wantedTop.empty() && topFolder(path) == wantedTop ? 2 : 0) +
                          (inSentFolder(path) == wantedSent ? 1 : 0);
        if (score > bestScore) {
            best = &path;
            bestScore = score;
        }
    }
    return *best;
}

// ---- the locator ---------------------------------------------------------------------------------

AndroidMediaLocator::AndroidMediaLocator(std::string mediaFolder, std::function<bool()> stillWanted)
    : m_folder(std::move(mediaFolder)), m_boundary(m_folder), m_stillWanted(std::move(stillWanted)) {
    if (!m_folder.empty() && m_folder.back() != '/')
        m_folder += '/';
    std::error_code ec;
    if (!m_folder.empty()) {
        const std::string root = fs::canonical(m_folder, ec).string();
        if (!ec && !root.empty())
            m_root = root.back() == '/' ? root : root + '/';
    }
}

// A plain file (not a link) is inside when its folder is, and a missing one is missing: one look
// at the file, and each folder resolved once per load. Links and everything else take the
// boundary's full resolution.
FolderBoundary::Place AndroidMediaLocator::place(const std::string& path) {
    if (m_root.empty())
        return m_boundary.place(path);
    struct stat status {};
    const bool there = ::lstat(path.c_str(), &status) == 0;
    if (there && !S_ISREG(status.st_mode))
        return m_boundary.place(path);
    const std::string parent = path.substr(0, path.rfind('/'));
    auto known = m_folderInside.find(parent);
    if (known == m_folderInside.end()) {
        std::error_code ec;
        const std::string resolved = fs::canonical(parent, ec).string() + '/';
        // A folder that is not there leads nowhere: what it would hold is missing.
        const bool inside = ec || resolved.compare(0, m_root.size(), m_root) == 0;
        known = m_folderInside.emplace(parent, inside).first;
    }
    if (!known->second)
        return FolderBoundary::Place::Outside;
    return there ? FolderBoundary::Place::Inside : FolderBoundary::Place::Missing;
}

AndroidMediaLocator::~AndroidMediaLocator() {
    // A walk under way ends at its next look at the flag; the future waits for it.
    m_stopWalk->store(true);
}

void AndroidMediaLocator::buildNameIndex() {
    nameIndex(true);
}

void AndroidMediaLocator::startNameIndex() {
    if (m_index || m_walk.valid() || m_folder.empty())
        return;
    try {
        m_walk = std::async(std::launch::async, [folder = m_folder, stop = m_stopWalk] {
            return MediaNameIndex(folder, [stop] { return !stop->load(); });
        });
    } catch (const std::system_error&) {
        // No thread to be had: the first miss walks instead.
    }
}

const MediaNameIndex* AndroidMediaLocator::nameIndex(bool wait) {
    if (!m_index && m_walk.valid()) {
        if (!wait && m_walk.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return nullptr;
        m_index.emplace(m_walk.get());
    }
    if (!m_index && wait && !m_folder.empty())
        m_index.emplace(m_folder, m_stillWanted);
    return m_index ? &*m_index : nullptr;
}

LocatedMedia AndroidMediaLocator::locate(std::string_view relativePath, std::string_view fileName) {
    LocatedMedia out;
    if (m_folder.empty())
        return out;
    std::string relative(relativePath);
    // A phone path outside WhatsApp's folder (a camera picture the owner sent) can still be found
    // by its name.
    if (!relative.empty() && relative.front() == '/')
        relative = whatsAppRelativePath(relative).value_or(std::string());
    std::string_view name =
        relative.empty() ? lastSegment(fileName.empty() ? relativePath : fileName) : lastSegment(relative);
    if (hasControlCharacter(relative) || hasControlCharacter(name)) {
        out.refusal = "the path holds control characters";
        return out;
    }
    if (!relative.empty()) {
        // A refused path is not looked for elsewhere: a database or folder that points outside
        // is hostile, and a same-named file shown in its place would hide that.
        if (hasClimbingSegment(relative)) {
            out.refusal = "the path climbs out of the folder with \"..\"";
            return out;
        }
        out.path = m_folder + relative;
        // Most files of a long history were never copied, and the walk has seen the rest: the index
        // answers without a look at the disk.
        const MediaNameIndex* walked = nameIndex(false);
        if (walked != nullptr && walked->exhaustive() && relative.starts_with("Media/")) {
            if (!walked->holdsName(name))
                return out;
            if (walked->holdsFile(name, relative)) {
                out.present = true;
                return out;
            }
        }
        switch (place(out.path)) {
            case FolderBoundary::Place::Inside:
                out.present = true;
                return out;
            case FolderBoundary::Place::Outside:
                out.refusal = "the path leads out of the folder through a link";
                out.path.clear();
                return out;
            case FolderBoundary::Place::Missing:
                break;
        }
    }
    if (name.empty() || name == "." || name == "..")
        return out;
    const MediaNameIndex* index = nameIndex(true);
    const std::optional<std::string> found = index != nullptr ? index->find(name, relative) : std::nullopt;
    if (found && place(m_folder + *found) == FolderBoundary::Place::Inside) {
        out.path = m_folder + *found;
        out.present = true;
    }
    return out;
}

// ---- previews ------------------------------------------------------------------------------------

bool isPreviewPicture(std::string_view bytes) {
    if (bytes.size() > kMaxPreviewBytes)
        return false;
    constexpr std::string_view kJpeg = "\xFF\xD8\xFF";
    constexpr std::string_view kPng = "\x89PNG\r\n\x1A\n";
    if (bytes.substr(0, kJpeg.size()) == kJpeg || bytes.substr(0, kPng.size()) == kPng)
        return true;
    return bytes.size() >= 12 && bytes.substr(0, 4) == "RIFF" && bytes.substr(8, 4) == "WEBP";
}

namespace {

// A look-up into a table of previews, prepared only when the table holds any: a phone that kept
// none then costs no query per missing file.
Statement previewLookup(const Database& db, std::string_view table, const std::string& sql) {
    Statement any(db, "SELECT 1 FROM " + std::string(table) + " LIMIT 1");
    if (!any.ok() || !any.step())
        return {};
    return Statement(db, sql);
}

// The first row's first column as a preview; the statement is reset for its next use.
std::optional<std::string> previewFromRow(Statement& statement) {
    std::optional<std::string> preview;
    if (statement.ok() && statement.step()) {
        sqlite3_stmt* row = statement.handle();
        // Size first: a huge value is refused without being copied.
        const auto* data = static_cast<const char*>(sqlite3_column_blob(row, 0));
        const auto size = static_cast<std::size_t>(sqlite3_column_bytes(row, 0));
        if (data != nullptr && size <= kMaxPreviewBytes && isPreviewPicture({data, size}))
            preview.emplace(data, size);
    }
    statement.reset();
    return preview;
}

}  // namespace

std::optional<std::string> PreviewReader::modernPreview(std::int64_t messageRowId,
                                                        std::string_view fileHash) {
    if (!m_modernPrepared) {
        m_modernPrepared = true;
        m_byMessage = previewLookup(m_db, "message_thumbnail",
                                    "SELECT thumbnail FROM message_thumbnail WHERE message_row_id = ?");
        m_byHash = previewLookup(m_db, "media_hash_thumbnail",
                                 "SELECT thumbnail FROM media_hash_thumbnail WHERE media_hash = ?");
    }
    m_byMessage.bind(1, messageRowId);
    if (std::optional<std::string> preview = previewFromRow(m_byMessage))
        return preview;
    if (fileHash.empty())
        return std::nullopt;
    m_byHash.bind(1, fileHash);
    return previewFromRow(m_byHash);
}

std::optional<std::string> PreviewReader::legacyPreview(std::string_view jid, int fromMe,
                                                        std::string_view keyId, std::string_view rawData) {
    // raw_data holds other things than pictures too; only a JPEG there is the preview.
    if (rawData.substr(0, 3) == "\xFF\xD8\xFF" && isPreviewPicture(rawData))
        return std::string(rawData);
    if (!m_legacyPrepared) {
        m_legacyPrepared = true;
        m_byKey = previewLookup(m_db, "message_thumbnails",
                                "SELECT thumbnail FROM message_thumbnails WHERE key_remote_jid = ? AND "
                                "key_from_me = ? AND key_id = ?");
    }
    m_byKey.bind(1, jid);
    m_byKey.bind(2, std::int64_t{fromMe});
    m_byKey.bind(3, keyId);
    return previewFromRow(m_byKey);
}

std::optional<std::string> modernPreview(const Database& db, std::int64_t messageRowId,
                                         std::string_view fileHash) {
    return PreviewReader(db).modernPreview(messageRowId, fileHash);
}

std::optional<std::string> legacyPreview(const Database& db, std::string_view jid, int fromMe,
                                         std::string_view keyId, std::string_view rawData) {
    return PreviewReader(db).legacyPreview(jid, fromMe, keyId, rawData);
}

}  // namespace talvio
