// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/scale_media.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "sources/database.h"
#include "tools/android_media.h"
#include "tools/iphone_media.h"
#include "tools/iphone_picture.h"
#include "tools/java_media_data.h"
#include "tools/media_files.h"
#include "tools/media_names.h"
#include "tools/random.h"

namespace talvio::fixture {

namespace {

namespace fs = std::filesystem;

// One small file of each kind, keyed by what tells the kinds apart in a path.
class Templates {
public:
    Failure make(const fs::path& scratchFolder) {
        std::string jpeg;
        if (auto failure = IphonePicture::encode(jpeg, 64, 48, "scale media"))
            return failure;
        m_bytes["jpg"] = jpeg;
        m_bytes["pdf"] = MediaFiles::pdfBytes("Document");
        // Office files are ZIP containers; an empty one is a valid ZIP.
        m_bytes["zip"] = std::string("PK\x05\x06", 4) + std::string(18, '\0');
        const std::vector<std::pair<std::string, std::string>> made = {{"webp", "sticker.webp"},
                                                                       {"opus", "voice.opus"},
                                                                       {"mp3", "audio.mp3"},
                                                                       {"mp4", "video.mp4"},
                                                                       {"gif", "gif.mp4"}};
        for (const auto& [key, name] : made) {
            const fs::path file = scratchFolder / name;
            Failure failure;
            if (key == "webp")
                failure = IphonePicture::write(file, 64, 64, "scale sticker", "WEBP");
            if (key == "opus")
                failure = IphoneMedia::writeToneVoice(file, 1, 440, 0x5CA1E);
            if (key == "mp3")
                failure = MediaFiles::writeAudio(file, 1, 660);
            if (key == "mp4")
                failure = IphoneMedia::writeVideo(file, 1, 64, 48, 440);
            if (key == "gif")
                failure = MediaFiles::writeGif(file, 1, 64, 48);
            if (failure)
                return failure;
            std::ifstream in(file, std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            m_bytes[key] = bytes.str();
        }
        return std::nullopt;
    }

    const std::string& forPath(const std::string& path) const {
        const std::string extension = fs::path(path).extension().string();
        if (path.find("/WhatsApp Animated Gifs/") != std::string::npos)
            return m_bytes.at("gif");
        for (const char* key : {"jpg", "webp", "opus", "mp3", "mp4", "pdf"}) {
            if (extension == std::string(".") + key)
                return m_bytes.at(key);
        }
        return m_bytes.at("zip");
    }

private:
    std::map<std::string, std::string> m_bytes;
};

// The folder a moved file ended up in: out of Sent/, or into Private/.
std::string movedPath(const std::string& path) {
    const std::size_t sent = path.find("/Sent/");
    if (sent != std::string::npos)
        return path.substr(0, sent) + path.substr(sent + 5);
    const std::size_t slash = path.rfind('/');
    return path.substr(0, slash) + "/Private" + path.substr(slash);
}

// The path a phone gives a legacy media row, as the modern generator names them.
std::string legacyPath(const Statement& row, std::int64_t serial) {
    const bool sent = row.int64(1) != 0;
    const int type = static_cast<int>(row.int64(2));
    const std::int64_t timestamp = row.int64(3);
    char number[8];
    std::snprintf(number, sizeof number, "%04d", static_cast<int>(serial % 10000));
    const std::string stem = mediaDayText(timestamp) + "-WA" + number;
    const std::string sentFolder = sent ? "Sent/" : "";
    switch (type) {
        case 1:
            return "Media/WhatsApp Images/" + sentFolder + "IMG-" + stem + ".jpg";
        case 2:
            return row.int64(4) == 1
                       ? "Media/WhatsApp Voice Notes/" + mediaWeekText(timestamp) + "/PTT-" + stem + ".opus"
                       : "Media/WhatsApp Audio/" + sentFolder + "AUD-" + stem + ".mp3";
        case 3:
            return "Media/WhatsApp Video/" + sentFolder + "VID-" + stem + ".mp4";
        case 9:
            return "Media/WhatsApp Documents/" + sentFolder +
                   (row.isNull(5) ? "DOC-" + stem + ".pdf" : std::string(row.textView(5)));
        case 13:
            return "Media/WhatsApp Animated Gifs/" + sentFolder + "VID-" + stem + ".mp4";
        case 20:
            return "Media/WhatsApp Stickers/STK-" + stem + ".webp";
        default:
            return {};
    }
}

bool hasTable(const Database& db, const char* table) {
    Statement s(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    s.bind(1, std::string_view(table));
    return s.step();
}

// Gives every legacy media row a path in thumb_image; received files the owner never opened
// keep a MediaData without a file. Returns the paths given.
Failure fillLegacyPaths(Database& db, Random& random, std::vector<std::string>& paths) {
    Statement rows(
        db,
        "SELECT _id, key_from_me, CAST(media_wa_type AS INTEGER), timestamp, origin, media_name, "
        "media_size FROM messages WHERE media_wa_type IN ('1', '2', '3', '9', '13', '20') ORDER BY _id");
    Statement update(db, "UPDATE messages SET thumb_image = ? WHERE _id = ?");
    if (!rows.ok() || !update.ok())
        return "cannot read the media rows: " + db.lastError();
    std::int64_t serial = 0;
    while (rows.step()) {
        const bool downloaded = rows.int64(1) != 0 || !random.chance(0.1);
        const std::string path = downloaded ? legacyPath(rows, ++serial) : std::string();
        const std::string data = JavaMediaData::serialize(path, rows.int64(6), downloaded);
        sqlite3_bind_blob64(update.handle(), 1, data.data(), data.size(), SQLITE_TRANSIENT);
        update.bind(2, rows.int64(0));
        update.step();
        if (update.failed())
            return "cannot store a media path: " + db.lastError();
        update.reset();
        if (!path.empty())
            paths.push_back(path);
    }
    return std::nullopt;
}

Failure writeBytes(const fs::path& file, const std::string& bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return "cannot write " + file.string();
    const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && ok ? Failure() : Failure("cannot write " + file.string());
}

}  // namespace

Failure ScaleMedia::write(const fs::path& msgstore, const fs::path& whatsAppFolder, std::int64_t files,
                          std::uint64_t seed) {
    if (auto failure = AndroidMedia::prepareMediaFolder(whatsAppFolder))
        return failure;
    const fs::path media = whatsAppFolder / "Media";
    const fs::path scratch = media / ".templates";
    std::error_code error;
    fs::create_directories(scratch, error);
    Templates templates;
    Failure failure = templates.make(scratch);
    fs::remove_all(scratch, error);
    if (failure)
        return failure;

    Database db;
    if (db.open(msgstore.string(), Database::Access::ReadWriteExisting) != SQLITE_OK)
        return "cannot open " + msgstore.string() + ": " + db.lastError();
    Random random(Random::scramble(seed) ^ 0x6D65646961ull);
    std::vector<std::string> paths;
    if (db.exec("BEGIN") != SQLITE_OK)
        return "cannot start a transaction: " + db.lastError();
    if (hasTable(db, "messages")) {
        if (auto legacyFailure = fillLegacyPaths(db, random, paths))
            return legacyFailure;
    }
    if (hasTable(db, "message_media")) {
        Statement rows(db,
                       "SELECT file_path FROM message_media WHERE ifnull(file_path, '') <> '' "
                       "ORDER BY message_row_id");
        while (rows.step())
            paths.emplace_back(rows.textView(0));
    }
    if (db.exec("COMMIT") != SQLITE_OK)
        return "cannot store the media paths: " + db.lastError();
    db.close();

    // Which rows get files is drawn over the whole database, so that every chat has some.
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    for (std::size_t i = paths.size(); i > 1; --i)
        std::swap(paths[i - 1], paths[random.below(i)]);

    std::set<fs::path> folders;
    std::int64_t written = 0;
    for (const std::string& path : paths) {
        if (written >= files)
            break;
        const double draw = random.unit();
        if (draw < kMissingShare)
            continue;
        const fs::path file = whatsAppFolder / (draw < kMissingShare + kMovedShare ? movedPath(path) : path);
        if (folders.insert(file.parent_path()).second) {
            fs::create_directories(file.parent_path(), error);
            if (error)
                return "cannot create " + file.parent_path().string() + ": " + error.message();
        }
        if (auto writeFailure = writeBytes(file, templates.forPath(path)))
            return writeFailure;
        ++written;
    }
    return std::nullopt;
}

}  // namespace talvio::fixture
