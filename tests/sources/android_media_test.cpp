// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Which file an Android message means: kinds, the path inside a legacy serialized MediaData, the
// phone folder a user copied (files moved, links, special files) and the preview tables.
#include "sources/android_media.h"
#include "sources/database.h"
#include "tests/support/android_folder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include <sys/stat.h>

namespace talvio {
namespace {

namespace fs = std::filesystem;
using Kind = AndroidMediaKind;

TEST(AndroidMediaKindTest, TypeCodesPathsAndNames) {
    EXPECT_EQ(androidMediaKind(1, "image/jpeg", "Media/WhatsApp Images/IMG-1.jpg"), Kind::Picture);
    EXPECT_EQ(androidMediaKind(3, "video/mp4", ""), Kind::Video);
    EXPECT_EQ(androidMediaKind(9, "application/pdf", ""), Kind::Document);
    EXPECT_EQ(androidMediaKind(13, "video/mp4", ""), Kind::Gif);
    EXPECT_EQ(androidMediaKind(20, "image/webp", ""), Kind::Sticker);
    for (const int type : {0, 4, 5, 7, 8, 10, 15, 16, -1, 99})
        EXPECT_EQ(androidMediaKind(type, "image/jpeg", "Media/x.jpg"), Kind::None) << type;

    // Audio: the folder or the PTT- name make a voice note; an undownloaded one has only its mime type.
    EXPECT_EQ(androidMediaKind(2, "audio/ogg; codecs=opus", "Media/WhatsApp Voice Notes/201918/PTT-1.opus"),
              Kind::Voice);
    EXPECT_EQ(
        androidMediaKind(2, "", "/storage/emulated/0/WhatsApp/Media/WhatsApp Audio/PTT-20190501-WA0001.opus"),
        Kind::Voice);
    EXPECT_EQ(androidMediaKind(2, "audio/ogg; codecs=opus", ""), Kind::Voice);
    EXPECT_EQ(androidMediaKind(2, "audio/ogg; codecs=opus", "Media/WhatsApp Audio/AUD-1.opus"), Kind::Audio);
    EXPECT_EQ(androidMediaKind(2, "audio/mpeg", "Media/WhatsApp Audio/song.mp3"), Kind::Audio);
    EXPECT_EQ(androidMediaKind(2, "audio/mpeg", ""), Kind::Audio);
}

TEST(AndroidMediaKindTest, PhonePathsBecomeRelative) {
    EXPECT_EQ(whatsAppRelativePath("Media/WhatsApp Images/IMG-1.jpg"), "Media/WhatsApp Images/IMG-1.jpg");
    EXPECT_EQ(whatsAppRelativePath("/storage/emulated/0/WhatsApp/Media/WhatsApp Video/VID-1.mp4"),
              "Media/WhatsApp Video/VID-1.mp4");
    EXPECT_EQ(whatsAppRelativePath("/storage/emulated/0/Android/media/com.whatsapp/WhatsApp/Media/a.jpg"),
              "Media/a.jpg");
    EXPECT_EQ(whatsAppRelativePath("/storage/1A2B-3C4D/WhatsApp Business/Media/WhatsApp Images/b.jpg"),
              "Media/WhatsApp Images/b.jpg");
    for (const char* path : {"", "Media/", "/storage/emulated/0/DCIM/Camera/c.jpg", "/WhatsApp/Media/",
                             "Databases/msgstore.db.crypt15", "x/WhatsApp/Media/a.jpg", "Media/a\nb.jpg"})
        EXPECT_EQ(whatsAppRelativePath(path), std::nullopt) << path;
}

// ---- serialized MediaData, written from the Java object serialization format ----------------

// Java's modified UTF-8: characters beyond U+FFFF as two three-byte surrogates (input is UTF-8).
std::string modifiedUtf8(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0xF0) {
            const std::size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : 3;
            out += utf8.substr(i, length);
            i += length;
            continue;
        }
        const unsigned cp = ((b & 0x07u) << 18) | ((utf8[i + 1] & 0x3Fu) << 12) |
                            ((utf8[i + 2] & 0x3Fu) << 6) | (utf8[i + 3] & 0x3Fu);
        for (const unsigned unit : {0xD800 + ((cp - 0x10000) >> 10), 0xDC00 + ((cp - 0x10000) & 0x3FF)}) {
            out += static_cast<char>(0xE0 | (unit >> 12));
            out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (unit & 0x3F));
        }
        i += 4;
    }
    return out;
}

class JavaStream {
public:
    JavaStream() { m_bytes = std::string("\xAC\xED\x00\x05", 4); }
    JavaStream& raw(const std::string& bytes) {
        m_bytes += bytes;
        return *this;
    }
    JavaStream& byte(unsigned value) {
        m_bytes += static_cast<char>(value);
        return *this;
    }
    // A length-prefixed name (class and field names), without a type code.
    JavaStream& utf(const std::string& text) {
        const std::string encoded = modifiedUtf8(text);
        byte(static_cast<unsigned>(encoded.size() >> 8)).byte(encoded.size() & 0xFF);
        return raw(encoded);
    }
    JavaStream& string(const std::string& text) { return byte(0x74).utf(text); }  // TC_STRING
    // TC_CLASSDESC with serialVersionUID and flags; fields as (type code, name, class signature).
    JavaStream& classDesc(const std::string& name, unsigned flags,
                          std::initializer_list<std::pair<std::string, std::string>> fields) {
        byte(0x72).utf(name).raw(std::string("\x12\x34\x56\x78\x9A\xBC\xDE\xF0", 8)).byte(flags);
        byte(0).byte(static_cast<unsigned>(fields.size()));
        for (const auto& [field, signature] : fields) {
            byte(static_cast<unsigned char>(signature[0])).utf(field);
            if (signature[0] == 'L' || signature[0] == '[')
                string(signature);
        }
        return byte(0x78).byte(0x70);  // TC_ENDBLOCKDATA, no superclass
    }
    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

// A com.whatsapp.MediaData as WhatsApp wrote it: some flags, a key, a URL string and the file,
// a java.io.File whose path is the string that matters. A null file when path is empty.
std::string mediaData(const std::string& path) {
    JavaStream s;
    s.byte(0x73).classDesc("com.whatsapp.MediaData", 0x02,
                           {{"autodownloadRetryEnabled", "Z"},
                            {"fileSize", "J"},
                            {"mediaKey", "[B"},
                            {"url", "Ljava/lang/String;"},
                            {"file", "Ljava/io/File;"}});
    s.byte(1).raw(std::string("\x00\x00\x00\x00\x00\x01\xE2\x40", 8));
    // A byte array whose content happens to look like a string header.
    s.byte(0x75).classDesc("[B", 0x02, {}).raw(std::string("\x00\x00\x00\x06\x74\x00\x02\x4D\x65\x64", 10));
    s.string("https://mmg.whatsapp.net/d/f/AbCd-efGH.enc");
    if (path.empty())
        return s.byte(0x70).bytes();
    s.byte(0x73).classDesc("java.io.File", 0x03, {{"path", "Ljava/lang/String;"}});
    s.string(path).byte(0x77).byte(2).byte(0).byte('/').byte(0x78);  // writeChar(separatorChar)
    return s.bytes();
}

TEST(LegacyMediaPathTest, PathsFromSerializedMediaData) {
    EXPECT_EQ(legacyMediaPath(mediaData("Media/WhatsApp Images/Sent/IMG-20190101-WA0001.jpg")),
              "Media/WhatsApp Images/Sent/IMG-20190101-WA0001.jpg");
    EXPECT_EQ(legacyMediaPath(
                  mediaData("/storage/emulated/0/WhatsApp/Media/WhatsApp Video/VID-20170312-WA0002.mp4")),
              "Media/WhatsApp Video/VID-20170312-WA0002.mp4");
    EXPECT_EQ(legacyMediaPath(mediaData("/storage/emulated/0/Android/media/com.whatsapp/WhatsApp/Media/"
                                        "WhatsApp Voice Notes/201918/PTT-20190501-WA0003.opus")),
              "Media/WhatsApp Voice Notes/201918/PTT-20190501-WA0003.opus");
    // Names beyond ASCII, one beyond U+FFFF as a surrogate pair, come back as plain UTF-8.
    EXPECT_EQ(legacyMediaPath(mediaData("Media/WhatsApp Documents/Grüße 😀 план.pdf")),
              "Media/WhatsApp Documents/Grüße 😀 план.pdf");
    // A hostile path is returned as it is: the locator refuses it.
    EXPECT_EQ(legacyMediaPath(mediaData("Media/WhatsApp Images/../../../../etc/passwd")),
              "Media/WhatsApp Images/../../../../etc/passwd");
}

TEST(LegacyMediaPathTest, NothingFromWhatHoldsNoMediaPath) {
    EXPECT_EQ(legacyMediaPath(""), std::nullopt);
    EXPECT_EQ(legacyMediaPath(mediaData("")), std::nullopt);
    EXPECT_EQ(legacyMediaPath(mediaData("/storage/emulated/0/DCIM/Camera/IMG_1.jpg")), std::nullopt);
    EXPECT_EQ(legacyMediaPath("Media/WhatsApp Images/IMG-1.jpg"), std::nullopt);  // not serialized
    EXPECT_EQ(legacyMediaPath(std::string(5000, '\x74')), std::nullopt);
    // A length that runs past the end, a zero character (C0 80), a control character, a lone
    // surrogate and an overlong slash.
    const std::string header = std::string("\xAC\xED\x00\x05\x74", 5);
    EXPECT_EQ(legacyMediaPath(header + std::string("\x00\x40", 2) + "Media/WhatsApp Images/a.jpg"),
              std::nullopt);
    for (const std::string& inner :
         {std::string("Media/a\xC0\x80.jpg"), std::string("Media/a\x01.jpg"),
          std::string("Media/a\xED\xA0\x80.jpg"), std::string("Media/a\xC0\xAF.jpg"),
          std::string("Media/a\xED\xB0\x80.jpg"), std::string("Media/a\xF0\x9F\x98\x80")}) {
        JavaStream s;
        s.string("x");
        const std::string blob =
            s.bytes() + "\x74" + std::string(1, '\0') + static_cast<char>(inner.size()) + inner;
        EXPECT_EQ(legacyMediaPath(blob), std::nullopt) << inner;
    }
}

TEST(LegacyMediaPathTest, TruncatedBlobsGiveTheWholePathOrNothing) {
    const std::string path = "/storage/emulated/0/WhatsApp/Media/WhatsApp Images/IMG-20200202-WA0042.jpg";
    const std::string blob = mediaData(path);
    const std::size_t pathEnd = blob.find("WA0042.jpg") + 10;
    for (std::size_t size = 0; size <= blob.size(); ++size) {
        const std::optional<std::string> found = legacyMediaPath(std::string_view(blob).substr(0, size));
        if (size < pathEnd)
            EXPECT_EQ(found, std::nullopt) << size;
        else
            EXPECT_EQ(found, "Media/WhatsApp Images/IMG-20200202-WA0042.jpg") << size;
    }
}

// ---- a copied WhatsApp folder ----------------------------------------------------------------

class AndroidMediaLocatorTest : public ::testing::Test {
protected:
    AndroidMediaLocatorTest() {
        for (const char* file :
             {"Media/WhatsApp Images/IMG-1.jpg", "Media/WhatsApp Images/Sent/IMG-2.jpg",
              "Media/WhatsApp Documents/IMG-3.jpg", "Media/WhatsApp Images/Sent/IMG-3.jpg",
              "Media/WhatsApp Voice Notes/201918/PTT-20190501-WA0003.opus", "Media/WhatsApp Video/VID-1.mp4"})
            test::writeFile(wa() + file, file);
        test::writeFile(outside() + "secret.jpg", "private");
        test::writeFile(outside() + "VID-9.mp4", "private");
        fs::create_symlink(outside() + "secret.jpg", wa() + "Media/WhatsApp Images/leak.jpg");
        fs::create_symlink(outside(), wa() + "Media/WhatsApp Video/linked");
        fs::create_directories(wa() + "Media/WhatsApp Stickers");
        fs::create_symlink("../WhatsApp Images/IMG-1.jpg", wa() + "Media/WhatsApp Stickers/alias.webp");
        fs::create_directories(wa() + "Media/WhatsApp Audio");
        EXPECT_EQ(::mkfifo((wa() + "Media/WhatsApp Audio/AUD-1.opus").c_str(), 0600), 0);
    }
    std::string wa() const { return dir.path() + "WhatsApp/"; }
    std::string outside() const { return dir.path() + "private/"; }
    test::TempDir dir;
};

TEST_F(AndroidMediaLocatorTest, FilesWhereTheDatabaseSaysCostNoWalk) {
    const auto before = test::folderSnapshot(wa());
    AndroidMediaLocator locator(wa());
    for (const char* path :
         {"Media/WhatsApp Images/IMG-1.jpg", "Media/WhatsApp Stickers/alias.webp",
          "/storage/emulated/0/WhatsApp/Media/WhatsApp Video/VID-1.mp4",
          "/storage/emulated/0/Android/media/com.whatsapp/WhatsApp/Media/WhatsApp Images/IMG-1.jpg"}) {
        const LocatedMedia found = locator.locate(path, "ignored.jpg");
        EXPECT_TRUE(found.present) << path;
        EXPECT_TRUE(found.refusal.empty()) << path;
        EXPECT_TRUE(found.path.starts_with(wa() + "Media/WhatsApp ")) << found.path;
    }
    EXPECT_EQ(locator.locate("/storage/emulated/0/WhatsApp/Media/WhatsApp Video/VID-1.mp4").path,
              wa() + "Media/WhatsApp Video/VID-1.mp4");
    EXPECT_FALSE(locator.hasNameIndex());
    EXPECT_FALSE(locator.locate("Media/WhatsApp Images/IMG-404.jpg").present);
    EXPECT_TRUE(locator.hasNameIndex());
    EXPECT_EQ(test::folderSnapshot(wa()), before);
}

TEST_F(AndroidMediaLocatorTest, MovedFilesAreFoundByName) {
    AndroidMediaLocator locator(wa());
    // Sent/ where the database says the received folder, and the other way round.
    EXPECT_EQ(locator.locate("Media/WhatsApp Images/IMG-2.jpg").path,
              wa() + "Media/WhatsApp Images/Sent/IMG-2.jpg");
    EXPECT_EQ(locator.locate("Media/WhatsApp Images/Sent/IMG-1.jpg").path,
              wa() + "Media/WhatsApp Images/IMG-1.jpg");
    // Two copies: the one in the wanted top folder wins.
    EXPECT_EQ(locator.locate("Media/WhatsApp Images/IMG-3.jpg").path,
              wa() + "Media/WhatsApp Images/Sent/IMG-3.jpg");
    EXPECT_EQ(locator.locate("Media/WhatsApp Documents/Sent/IMG-3.jpg").path,
              wa() + "Media/WhatsApp Documents/IMG-3.jpg");
    // A voice note in its dated folder, from a flat path or from the name alone.
    const std::string voice = wa() + "Media/WhatsApp Voice Notes/201918/PTT-20190501-WA0003.opus";
    EXPECT_EQ(locator.locate("Media/WhatsApp Voice Notes/PTT-20190501-WA0003.opus").path, voice);
    EXPECT_EQ(locator.locate("", "PTT-20190501-WA0003.opus").path, voice);
    EXPECT_TRUE(locator.locate("", "PTT-20190501-WA0003.opus").present);
    // A camera picture the owner sent, named by its place on the phone.
    EXPECT_EQ(locator.locate("/storage/emulated/0/DCIM/Camera/IMG-1.jpg").path,
              wa() + "Media/WhatsApp Images/IMG-1.jpg");

    const LocatedMedia missing = locator.locate("Media/WhatsApp Images/IMG-404.jpg");
    EXPECT_FALSE(missing.present);
    EXPECT_EQ(missing.path, wa() + "Media/WhatsApp Images/IMG-404.jpg");
    EXPECT_TRUE(missing.refusal.empty());
    EXPECT_FALSE(locator.locate("", "").present);
}

TEST_F(AndroidMediaLocatorTest, WaysOutAndSpecialFilesAreRefused) {
    const auto before = test::folderSnapshot(wa());
    AndroidMediaLocator locator(wa());
    for (const char* path :
         {"Media/WhatsApp Images/../../../private/secret.jpg", "Media/../../private/secret.jpg",
          "/storage/emulated/0/WhatsApp/Media/../../../../private/secret.jpg"}) {
        const LocatedMedia found = locator.locate(path);
        EXPECT_FALSE(found.present) << path;
        EXPECT_NE(found.refusal.find(".."), std::string::npos) << path;
        EXPECT_TRUE(found.path.empty()) << path;
    }
    // A link to a file outside, and a linked folder outside.
    for (const char* path : {"Media/WhatsApp Images/leak.jpg", "Media/WhatsApp Video/linked/VID-9.mp4"}) {
        const LocatedMedia found = locator.locate(path);
        EXPECT_FALSE(found.present) << path;
        EXPECT_NE(found.refusal.find("link"), std::string::npos) << path;
    }
    // The walk kept neither the link nor what lies behind the linked folder, nor the FIFO.
    for (const char* name : {"leak.jpg", "VID-9.mp4", "secret.jpg", "AUD-1.opus"})
        EXPECT_FALSE(locator.locate("", name).present) << name;
    const LocatedMedia fifo = locator.locate("Media/WhatsApp Audio/AUD-1.opus");
    EXPECT_FALSE(fifo.present);
    EXPECT_FALSE(locator.locate("Media/WhatsApp Images/IMG-1.jpg\n").present);
    EXPECT_FALSE(locator.locate("", "..").present);
    EXPECT_FALSE(
        AndroidMediaLocator(dir.path() + "absent/").locate("Media/WhatsApp Images/IMG-1.jpg").present);
    EXPECT_FALSE(AndroidMediaLocator("").locate("Media/WhatsApp Images/IMG-1.jpg").present);
    EXPECT_EQ(test::folderSnapshot(wa()), before);
}

TEST_F(AndroidMediaLocatorTest, TheWalkCanBeCancelled) {
    for (int i = 0; i < 600; ++i)
        test::writeFile(wa() + "Media/WhatsApp Images/Private/IMG-" + std::to_string(i) + ".jpg", "x");
    const MediaNameIndex whole(wa());
    EXPECT_FALSE(whole.cancelled());
    EXPECT_EQ(whole.fileCount(), 607u);  // 606 files and the link that stays inside
    EXPECT_EQ(whole.find("IMG-599.jpg"), "Media/WhatsApp Images/Private/IMG-599.jpg");
    int looks = 0;
    const MediaNameIndex stopped(wa(), [&looks] { return ++looks < 2; });
    EXPECT_TRUE(stopped.cancelled());
    EXPECT_LT(stopped.fileCount(), whole.fileCount());
    EXPECT_EQ(looks, 2);
}

// Without links the walk's index answers most look-ups alone; it must answer as the disk would.
TEST(AndroidMediaIndexTest, TheIndexAnswersAsTheDiskWould) {
    test::TempDir dir;
    const std::string wa = dir.path() + "WhatsApp/";
    for (const char* file : {"Media/WhatsApp Images/IMG-1.jpg", "Media/WhatsApp Images/Sent/IMG-2.jpg",
                             "Media/WhatsApp Documents/Sent/Plan (2).pdf"})
        test::writeFile(wa + file, "x");
    fs::create_directories(wa + "Media/WhatsApp Images/IMG-9.jpg");  // a folder under a file's name
    const std::vector<std::string> paths = {
        "Media/WhatsApp Images/IMG-1.jpg",      "Media/WhatsApp Images/IMG-2.jpg",
        "Media/WhatsApp Images/Sent/IMG-1.jpg", "Media/WhatsApp Images/IMG-404.jpg",
        "Media/WhatsApp Images/IMG-9.jpg",      "Media/WhatsApp Documents/Plan (2).pdf",
        "Media/./WhatsApp Images/IMG-1.jpg"};
    std::vector<std::pair<std::string, bool>> byDisk;
    for (const std::string& path : paths) {
        AndroidMediaLocator fresh(wa);  // no index yet: the file is looked at where the database says
        const LocatedMedia found = fresh.locate(path);
        byDisk.emplace_back(found.path, found.present);
    }
    AndroidMediaLocator indexed(wa);
    indexed.buildNameIndex();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const LocatedMedia found = indexed.locate(paths[i]);
        EXPECT_EQ(std::make_pair(found.path, found.present), byDisk[i]) << paths[i];
    }
    EXPECT_TRUE(byDisk[0].second);
    EXPECT_FALSE(byDisk[3].second);
    EXPECT_FALSE(byDisk[4].second);

    // A linked Media/ leads out of the folder: nothing the walk saw through it counts as inside.
    const std::string linked = dir.path() + "Linked/";
    fs::create_directories(linked);
    fs::create_directory_symlink(wa + "Media", linked + "Media");
    AndroidMediaLocator throughLink(linked);
    throughLink.buildNameIndex();
    const LocatedMedia found = throughLink.locate("Media/WhatsApp Images/IMG-1.jpg");
    EXPECT_FALSE(found.present);
    EXPECT_NE(found.refusal.find("link"), std::string::npos);
}

// ---- previews ---------------------------------------------------------------------------------

const std::string kJpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10);

class PreviewTest : public ::testing::Test {
protected:
    Database open(const std::string& folder) {
        Database db;
        EXPECT_EQ(db.open(folder + "databases/msgstore.db", Database::Access::ReadOnlySnapshot), 0);
        return db;
    }
    test::TempDir dir;
};

TEST_F(PreviewTest, LegacyRawDataThenThumbnailTable) {
    const std::string folder = dir.path() + "legacy/";
    test::makeAndroidFolder(
        folder,
        "INSERT INTO message_thumbnails (thumbnail, key_remote_jid, key_from_me, key_id) VALUES "
        "(X'89504E470D0A1A0A0000', 'a@s.whatsapp.net', 1, 'K1'),"
        "(X'00010203', 'a@s.whatsapp.net', 0, 'K2'),"
        "(CAST(X'FFD8FF' || zeroblob(300000) AS BLOB), 'a@s.whatsapp.net', 0, 'BIG'),"
        "(CAST(X'FFD8FF' || zeroblob(200000) AS BLOB), 'a@s.whatsapp.net', 0, 'FITS');",
        "");
    Database db = open(folder);
    PreviewReader reader(db);
    EXPECT_EQ(reader.legacyPreview("a@s.whatsapp.net", 1, "K1", kJpeg), kJpeg);
    EXPECT_EQ(reader.legacyPreview("a@s.whatsapp.net", 1, "K1", "not a picture"),
              std::string("\x89PNG\r\n\x1A\n\0\0", 10));
    // raw_data holding a PNG is not a preview; the key decides, with its from_me.
    EXPECT_EQ(reader.legacyPreview("a@s.whatsapp.net", 0, "K1", std::string("\x89PNG\r\n\x1A\n", 8)),
              std::nullopt);
    EXPECT_EQ(reader.legacyPreview("a@s.whatsapp.net", 0, "K2", ""), std::nullopt);
    EXPECT_EQ(reader.legacyPreview("a@s.whatsapp.net", 0, "BIG", ""), std::nullopt);
    EXPECT_EQ(reader.legacyPreview("a@s.whatsapp.net", 0, "FITS", "").value_or("").size(), 200003u);
    EXPECT_EQ(reader.legacyPreview("a@s.whatsapp.net", 0, "FITS", kJpeg + std::string(300000, 'x'))
                  .value_or("")
                  .size(),
              200003u);
    EXPECT_EQ(legacyPreview(db, "a@s.whatsapp.net", 1, "K1", "").value_or("").substr(0, 4), "\x89PNG");
    // The legacy database has no modern tables: no preview, no error.
    EXPECT_EQ(reader.modernPreview(1, "hash"), std::nullopt);
}

TEST_F(PreviewTest, ModernByMessageThenByFileHash) {
    const std::string folder = dir.path() + "modern/";
    const std::string webp("RIFF\x10\x00\x00\x00WEBPVP8 ", 16);
    test::makeModernAndroidFolder(folder,
                                  "INSERT INTO message_thumbnail (message_row_id, thumbnail) VALUES "
                                  "(5, X'FFD8FFDB0043'), (8, X'474946383961');"
                                  "INSERT INTO media_hash_thumbnail (media_hash, thumbnail) VALUES "
                                  "('hashA', X'52494646100000005745425056503820'), ('hashB', X'0000');",
                                  "");
    Database db = open(folder);
    PreviewReader reader(db);
    EXPECT_EQ(reader.modernPreview(5, "hashA"), std::string("\xFF\xD8\xFF\xDB\x00\x43", 6));
    EXPECT_EQ(reader.modernPreview(6, "hashA"), webp);
    EXPECT_EQ(reader.modernPreview(8, "hashA"), webp);  // a GIF in the message's row does not count
    EXPECT_EQ(reader.modernPreview(8, "hashB"), std::nullopt);
    EXPECT_EQ(reader.modernPreview(6, ""), std::nullopt);
    EXPECT_EQ(modernPreview(db, 5, ""), std::string("\xFF\xD8\xFF\xDB\x00\x43", 6));
    // No message_thumbnails table in a modern-only database: raw_data still counts.
    EXPECT_EQ(reader.legacyPreview("a@s.whatsapp.net", 0, "K", "junk"), std::nullopt);
    EXPECT_EQ(reader.legacyPreview("a@s.whatsapp.net", 0, "K", kJpeg), kJpeg);
}

}  // namespace
}  // namespace talvio
