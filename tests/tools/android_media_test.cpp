// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "fixture_test_support.h"
#include "tools/android_fixture_builder.h"
#include "tools/iphone_picture.h"
#include "tools/java_media_data.h"
#include "tools/media_files.h"
#include "tools/scale_generator.h"

namespace talvio::fixture::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const fs::path kSamples = fs::path(TALVIO_BUILD_DIR) / "samples";
const fs::path kSources = fs::path(TALVIO_SAMPLES);

// What a media player or viewer checks first: the signature of each kind of file.
std::string kindOf(const fs::path& file) {
    const std::string bytes = fileBytes(file);
    const auto at = [&](std::size_t offset, std::string_view text) {
        return bytes.size() >= offset + text.size() && bytes.compare(offset, text.size(), text) == 0;
    };
    if (at(0, "\xFF\xD8\xFF"))
        return "jpeg";
    if (at(0, "OggS") && at(28, "OpusHead"))
        return "opus";
    if (at(0, "OggS") && at(29, "vorbis"))
        return "vorbis";
    if (at(4, "ftyp"))
        return "mp4";
    if (at(0, "%PDF-") && bytes.ends_with("%%EOF\n"))
        return "pdf";
    if (at(0, "RIFF") && at(8, "WEBPVP8"))
        return "webp";
    if (at(0, "ID3") || at(0, "\xFF\xFB"))
        return "mp3";
    if (at(0, "PK\x03\x04") || at(0, "PK\x05\x06"))
        return "zip";  // office documents
    return "unknown";
}

// The path a reader finds in a legacy thumb_image: a TC_STRING holding "Media/...".
std::string pathInMediaData(const std::string& blob) {
    for (std::size_t i = 0; i + 9 < blob.size(); ++i) {
        if (blob[i] != 0x74 || blob.compare(i + 3, 6, "Media/") != 0)
            continue;
        const std::size_t length =
            static_cast<unsigned char>(blob[i + 1]) << 8 | static_cast<unsigned char>(blob[i + 2]);
        return blob.substr(i + 3, length);
    }
    return {};
}

struct MediaRow {
    std::string path;
    bool preview = false;
};

// The media rows of a built sample, by key: the path the database names and whether a
// preview of it is kept anywhere.
std::map<std::string, MediaRow> mediaRows(const fs::path& msgstore, bool modern) {
    const Database db = openSnapshot(msgstore);
    std::map<std::string, MediaRow> rows;
    const char* sql =
        modern ? "SELECT m.key_id, mm.file_path, t.thumbnail IS NOT NULL OR h.thumbnail IS NOT NULL "
                 "FROM message_media mm JOIN message m ON m._id = mm.message_row_id "
                 "LEFT JOIN message_thumbnail t ON t.message_row_id = m._id "
                 "LEFT JOIN media_hash_thumbnail h ON h.media_hash = mm.file_hash"
               : "SELECT m.key_id, m.thumb_image, m.raw_data IS NOT NULL OR t.thumbnail IS NOT NULL "
                 "FROM messages m LEFT JOIN message_thumbnails t USING (key_remote_jid, key_from_me, key_id) "
                 "WHERE m.thumb_image IS NOT NULL";
    Statement s(db, sql);
    while (s.step()) {
        const std::string value = s.isNull(1) ? std::string() : std::string(s.textView(1));
        rows[std::string(s.textView(0))] = {modern ? value : pathInMediaData(value), s.int64(2) != 0};
    }
    return rows;
}

// Every file below `folder`, by name.
std::multimap<std::string, fs::path> filesByName(const fs::path& folder) {
    std::multimap<std::string, fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files.emplace(entry.path().filename().string(), entry.path());
    }
    return files;
}

bool escapes(const std::string& path) {
    return fs::path(path).lexically_normal().begin()->string() == "..";
}

struct Sample {
    const char* name;
    bool modern;
    std::set<std::string> moved, missing;
};

const Sample kLegacy{"android",
                     false,
                     {"IMG-20241205-WA0008.jpg", "VID-20241205-WA0009.mp4"},
                     {"IMG-20241206-WA0010.jpg", "VID-20241206-WA0011.mp4"}};
const Sample kModern{"android-modern",
                     true,
                     {"IMG-20241205-WA0019.jpg", "PTT-20241205-WA0020.opus"},
                     {"IMG-20241206-WA0021.jpg", "VID-20241206-WA0022.mp4", "Kvittering.pdf"}};

TEST(SampleMedia, EveryFileIsRealAndEveryKindIsThere) {
    for (const Sample& sample : {kLegacy, kModern}) {
        SCOPED_TRACE(sample.name);
        std::set<std::string> kinds;
        for (const auto& [name, file] : filesByName(kSamples / sample.name / "WhatsApp" / "Media")) {
            if (name.front() == '.')
                continue;
            SCOPED_TRACE(file.string());
            const std::string kind = kindOf(file);
            EXPECT_NE(kind, "unknown");
            kinds.insert(kind);
            if (file.parent_path().filename() == "WhatsApp Animated Gifs") {
                EXPECT_EQ(kind, "mp4");
            }
            if (file.extension() == ".webp") {
                EXPECT_EQ(kind, "webp");
            }
        }
        EXPECT_TRUE(kinds.count("jpeg") && kinds.count("opus") && kinds.count("mp4") && kinds.count("pdf") &&
                    kinds.count("webp"));
        EXPECT_TRUE(kinds.count("mp3") || kinds.count("vorbis"));
    }
}

TEST(SampleMedia, EveryRowResolvesButTheMovedTheMissingAndTheEscapingOnes) {
    for (const Sample& sample : {kLegacy, kModern}) {
        SCOPED_TRACE(sample.name);
        const fs::path whatsApp = kSamples / sample.name / "WhatsApp";
        const auto files = filesByName(whatsApp / "Media");
        const auto rows =
            mediaRows(kSamples / sample.name / "com.whatsapp" / "databases" / "msgstore.db", sample.modern);
        std::set<std::string> moved, missing;
        int present = 0, escaping = 0, undownloaded = 0, hostile = 0, inSent = 0;
        for (const auto& [key, row] : rows) {
            SCOPED_TRACE(key + " " + row.path);
            if (row.path.empty()) {
                ++undownloaded;
                continue;
            }
            if (escapes(row.path)) {
                // A reader that followed it would find the bait beside the WhatsApp folder.
                ++escaping;
                EXPECT_TRUE(fs::is_regular_file(whatsApp / row.path));
                continue;
            }
            ASSERT_EQ(row.path.rfind("Media/", 0), 0u);
            const std::string name = fs::path(row.path).filename().string();
            if (fs::is_regular_file(whatsApp / row.path)) {
                ++present;
                inSent += row.path.find("/Sent/") != std::string::npos;
                hostile += name.find_first_of("\"<&'") != std::string::npos;
            } else if (files.count(name) != 0) {
                moved.insert(name);
            } else {
                missing.insert(name);
            }
        }
        EXPECT_EQ(moved, sample.moved);
        EXPECT_EQ(missing, sample.missing);
        EXPECT_GE(present, 10);
        EXPECT_GE(inSent, 2);
        EXPECT_EQ(hostile, 1);
        EXPECT_EQ(escaping, 1);
        EXPECT_EQ(undownloaded, 1);

        // Of the missing, some keep a preview and some do not.
        int missingWithPreview = 0;
        for (const auto& [key, row] : rows)
            missingWithPreview += row.preview && missing.count(fs::path(row.path).filename().string());
        EXPECT_GT(missingWithPreview, 0);
        EXPECT_LT(missingWithPreview, static_cast<int>(missing.size()));
    }
}

TEST(SampleMedia, RebuildsAreByteIdentical) {
    if (!IphonePicture::available())
        GTEST_SKIP() << "pictures need Qt";
    TempDir dir;
    for (const Sample& sample : {kLegacy, kModern}) {
        SCOPED_TRACE(sample.name);
        AndroidFixtureBuilder::Options options;
        options.sqlDir = kSources / sample.name;
        options.out = dir.path() / sample.name / "com.whatsapp";
        options.mediaOut = dir.path() / sample.name / "WhatsApp";
        options.layout = sample.modern ? AndroidLayout::Modern : AndroidLayout::Legacy;
        // Twice: the second build starts from what the first left.
        for (int round = 0; round < 2; ++round)
            ASSERT_EQ(AndroidFixtureBuilder::build(options), std::nullopt);
        const fs::path built = kSamples / sample.name;
        std::size_t compared = 0;
        for (const auto& entry : fs::recursive_directory_iterator(built)) {
            if (!entry.is_regular_file())
                continue;
            const fs::path relative = fs::relative(entry.path(), built);
            SCOPED_TRACE(relative.string());
            ASSERT_TRUE(fs::exists(dir.path() / sample.name / relative));
            EXPECT_TRUE(fileBytes(entry.path()) == fileBytes(dir.path() / sample.name / relative));
            ++compared;
        }
        EXPECT_GT(compared, 15u);
    }
}

TEST(AndroidMediaList, RefusesPathsOutsideAndFoldersItDidNotMake) {
    TempDir dir;
    fs::create_directories(dir.path() / "sql");
    std::ofstream(dir.path() / "sql" / "wa.sql") << "SELECT 1;";
    AndroidFixtureBuilder::Options options;
    options.sqlDir = dir.path() / "sql";
    options.out = dir.path() / "com.whatsapp";
    const auto buildWith = [&](const std::string& list) {
        std::ofstream(dir.path() / "sql" / "media.txt") << list;
        return AndroidFixtureBuilder::build(options).value_or("(built)");
    };
    EXPECT_THAT(buildWith("text hi | Media/a.txt\n"), HasSubstr("--media-out is required"));
    options.mediaOut = dir.path() / "WhatsApp";
    EXPECT_EQ(buildWith("# a comment\ntext hi there | Media/WhatsApp Documents/a b.txt\n"), "(built)");
    EXPECT_EQ(fileBytes(dir.path() / "WhatsApp" / "Media" / "WhatsApp Documents" / "a b.txt"), "hi there\n");
    for (const char* path : {"../../x.txt", "/tmp/x.txt", "Media/../../../x.txt"})
        EXPECT_THAT(buildWith(std::string("text x | ") + path + "\n"),
                    HasSubstr("inside the WhatsApp folder"));
    EXPECT_THAT(buildWith("picture big | Media/x.jpg\n"), HasSubstr("media.txt:1: cannot read"));
    EXPECT_THAT(buildWith("picture 10x10 Media/x.jpg\n"), HasSubstr("expected KIND ARGUMENTS | PATH"));

    // A Media folder with someone else's files is never emptied.
    options.mediaOut = dir.path() / "Foreign";
    fs::create_directories(dir.path() / "Foreign" / "Media");
    std::ofstream(dir.path() / "Foreign" / "Media" / "photo.jpg") << "mine";
    EXPECT_THAT(buildWith("text hi | Media/a.txt\n"), HasSubstr("did not make"));
    EXPECT_EQ(fileBytes(dir.path() / "Foreign" / "Media" / "photo.jpg"), "mine");
}

TEST(JavaMediaData, KeepsThePathAsALengthPrefixedModifiedUtf8String) {
    const std::string path = "Media/WhatsApp Images/Sent/IMG-20241203-WA0001 ü.jpg";
    const std::string blob = JavaMediaData::serialize(path, 1234, true);
    EXPECT_EQ(blob.substr(0, 6), std::string("\xAC\xED\x00\x05\x73\x72", 6));
    EXPECT_THAT(blob, HasSubstr(std::string("\x00\x16", 2) + "com.whatsapp.MediaData"));
    EXPECT_THAT(blob, HasSubstr(std::string("\x74\x00", 2) + static_cast<char>(path.size()) + path));
    EXPECT_EQ(pathInMediaData(blob), path);

    // Never downloaded: the file field is null, and no path is in the stream.
    EXPECT_EQ(pathInMediaData(JavaMediaData::serialize("", 1234, false)), "");

    // Java writes NUL as two bytes and characters beyond U+FFFF as two surrogates.
    EXPECT_EQ(JavaMediaData::modifiedUtf(std::string("a\0b", 3)), std::string("\x00\x04"
                                                                              "a\xC0\x80"
                                                                              "b",
                                                                              6));
    EXPECT_EQ(JavaMediaData::modifiedUtf("\xF0\x9F\x98\x80"),
              std::string("\x00\x06\xED\xA0\xBD\xED\xB8\x80", 8));
}

TEST(MediaFiles, PdfCrossReferencePointsAtItsObjects) {
    const std::string pdf = MediaFiles::pdfBytes("Bill (March) \\ Grüße");
    EXPECT_THAT(pdf, HasSubstr("(Bill \\(March\\) \\\\ Gr??e) Tj"));
    const std::size_t start = pdf.rfind("startxref\n") + 10;
    const std::size_t xref = std::stoul(pdf.substr(start));
    ASSERT_EQ(pdf.compare(xref, 4, "xref"), 0);
    // Entry n gives the offset of "n 0 obj".
    for (int object = 1; object <= 5; ++object) {
        const std::size_t offset = std::stoul(pdf.substr(xref + 9 + 20 * object, 10));
        EXPECT_EQ(pdf.compare(offset, 7, std::to_string(object) + " 0 obj"), 0) << object;
    }
}

// Every file a generated folder has: its path below the WhatsApp folder and its bytes.
std::map<std::string, std::string> treeOf(const fs::path& folder) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            tree[fs::relative(entry.path(), folder).string()] = fileBytes(entry.path());
    }
    return tree;
}

TEST(ScaleMedia, MostRowsFindTheirFileSomeWereMovedSomeAreMissing) {
    if (!IphonePicture::available())
        GTEST_SKIP() << "pictures need Qt";
    for (const AndroidLayout layout : {AndroidLayout::Legacy, AndroidLayout::Modern}) {
        SCOPED_TRACE(androidLayoutName(layout));
        TempDir dir;
        ScaleGenerator::Options options;
        options.contacts = 30;
        options.messages = 6000;
        options.out = dir.path() / "com.whatsapp";
        options.pictures = false;
        options.layout = layout;
        options.mediaFiles = 400;
        ASSERT_EQ(ScaleGenerator::build(options), std::nullopt);
        const fs::path whatsApp = dir.path() / "WhatsApp";
        const auto first = treeOf(whatsApp);
        EXPECT_EQ(first.size(), 401u);  // the files and the marker

        const auto rows =
            mediaRows(options.out / "databases" / "msgstore.db", layout == AndroidLayout::Modern);
        const auto files = filesByName(whatsApp / "Media");
        int present = 0, moved = 0, missing = 0;
        for (const auto& [key, row] : rows) {
            if (row.path.empty())
                continue;
            if (fs::is_regular_file(whatsApp / row.path)) {
                ++present;
                EXPECT_NE(kindOf(whatsApp / row.path), "unknown") << row.path;
            } else {
                (files.count(fs::path(row.path).filename().string()) ? moved : missing) += 1;
            }
        }
        EXPECT_GT(present, 300);
        EXPECT_GT(moved, 0);
        EXPECT_GT(missing, 0);
        EXPECT_LT(moved, present / 5);

        ASSERT_EQ(ScaleGenerator::build(options), std::nullopt);
        EXPECT_TRUE(treeOf(whatsApp) == first) << "a rebuild with the same seed differs";
    }
}

}  // namespace
}  // namespace talvio::fixture::test
