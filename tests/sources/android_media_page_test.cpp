// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Android chats with the phone's WhatsApp folder: which block each kind of file gets, in the viewer
// and in an export, and what a missing, moved or hostile file shows.
#include "android_sql.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/media_copy.h"
#include "tests/support/android_folder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace talvio {
namespace {

namespace fs = std::filesystem;

const char kJpeg[] = "\xFF\xD8\xFF\xE0 tiny jpeg";

// One media message of the modern layout in chat 10 (Anna), with its message_media row.
std::string media(int id, int type, const char* path, const char* mime, const char* name,
                  const char* caption = nullptr, const char* hash = nullptr) {
    return "INSERT INTO message(_id, chat_row_id, from_me, key_id, timestamp, message_type, text_data) "
           "VALUES(" +
           std::to_string(id) + ", 10, 0, 'K" + std::to_string(id) + "', " +
           std::to_string(1600000000000 + id) + ", " + std::to_string(type) +
           ", NULL);"
           "INSERT INTO message_media(message_row_id, chat_row_id, file_path, mime_type, media_name, "
           "media_caption, file_hash) VALUES(" +
           std::to_string(id) + ", 10, " + test::sqlValue(path) + ", " + test::sqlValue(mime) + ", " +
           test::sqlValue(name) + ", " + test::sqlValue(caption) + ", " + test::sqlValue(hash) + ");";
}

class AndroidMediaPage : public test::SourceTest {
protected:
    void SetUp() override {
        SourceTest::SetUp();
        const std::string sql =
            "INSERT INTO jid(_id, user, server, type, raw_string) VALUES (1, '491', 's.whatsapp.net', 0, "
            "'491@s.whatsapp.net');"
            "INSERT INTO chat(_id, jid_row_id) VALUES (10, 1);" +
            media(1, 1, "Media/WhatsApp Images/IMG-1.jpg", "image/jpeg", "IMG-1.jpg", "Sunset <b>") +
            media(2, 1, "Media/WhatsApp Images/IMG-2.jpg", "image/jpeg", "IMG-2.jpg") +
            media(3, 2, "Media/WhatsApp Voice Notes/202412/PTT-20241203-WA0001.opus",
                  "audio/ogg; codecs=opus", "PTT-20241203-WA0001.opus") +
            media(4, 3, "Media/WhatsApp Video/VID-1.mp4", "video/mp4", "VID-1.mp4", "Waves") +
            media(5, 9, "Media/WhatsApp Documents/Plan \"B\" <1>.pdf", "application/pdf",
                  "Plan \"B\" <1>.pdf") +
            media(6, 1, "Media/WhatsApp Images/IMG-gone.jpg", "image/jpeg", "IMG-gone.jpg", nullptr,
                  "HASH6") +
            media(7, 1, "Media/WhatsApp Images/IMG-lost.jpg", "image/jpeg", "IMG-lost.jpg") +
            media(8, 1, "Media/../../secret.jpg", "image/jpeg", "secret.jpg") +
            "INSERT INTO media_hash_thumbnail(media_hash, thumbnail) VALUES ('HASH6', X'" + hex(kJpeg) +
            "');";
        test::makeModernAndroidFolder(data, sql, "");
        for (const char* file :
             {"Media/WhatsApp Images/IMG-1.jpg", "Media/WhatsApp Images/Sent/IMG-2.jpg",
              "Media/WhatsApp Voice Notes/202412/PTT-20241203-WA0001.opus", "Media/WhatsApp Video/VID-1.mp4",
              "Media/WhatsApp Documents/Plan \"B\" <1>.pdf"}) {
            fs::create_directories(fs::path(phone + file).parent_path());
            test::writeFile(phone + file, std::string(file) + " bytes");
        }
        test::writeFile(root.path() + "secret.jpg", "not for pages");
    }
    static std::string hex(std::string_view bytes) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        std::string out;
        for (unsigned char c : bytes) {
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
        return out;
    }
    std::string render(const std::string& mediaFolder, MediaCopyLog* copies = nullptr) {
        CAndroidWeiXin source(phoneFolderOf(kSourceAndroid, data, mediaFolder, 0));
        source.LoadContacts(contactTable());
        for (const ContactEntry& entry : contactTable().rows()) {
            if (entry.jid == "491@s.whatsapp.net") {
                ChatPageBuffer page;
                renderContact(source, entry, copies != nullptr ? kStandAlone : kViewer, page, copies);
                return page.text();
            }
        }
        return {};
    }

    test::TempDir root;
    const std::string data = root.path() + "com.whatsapp/";
    const std::string phone = root.path() + "WhatsApp/";
};

TEST_F(AndroidMediaPage, ViewerShowsEachKindWhereItLies) {
    const auto before = test::folderSnapshot(phone);
    const std::string page = render(phone);
    // Pictures where they lie, also one the copy moved to Sent/.
    EXPECT_NE(page.find("<img src=\"file://" + phone + "Media/WhatsApp%20Images/IMG-1.jpg\"/>"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("Media/WhatsApp%20Images/Sent/IMG-2.jpg"), std::string::npos);
    EXPECT_NE(page.find("Sunset &lt;b&gt;"), std::string::npos);
    EXPECT_NE(
        page.find("PlayMyWav('" + phone + "Media/WhatsApp Voice Notes/202412/PTT-20241203-WA0001.opus')"),
        std::string::npos);
    EXPECT_NE(page.find("PlayMyVideo('" + phone + "Media/WhatsApp Video/VID-1.mp4')"), std::string::npos);
    // A hostile name is text in the link and percent-encoded in its address.
    EXPECT_NE(
        page.find(
            "WhatsApp%20Documents/Plan%20%22B%22%20%3C1%3E.pdf\">[Document] Plan \"B\" &lt;1&gt;.pdf</a>"),
        std::string::npos);
    // A missing file shows the preview the database keeps, then the marker; without one, the marker.
    EXPECT_NE(page.find("<img src=\"data:image/jpeg;base64,"), std::string::npos);
    std::size_t markers = 0;
    for (std::size_t at = page.find("[Image]"); at != std::string::npos; at = page.find("[Image]", at + 1))
        ++markers;
    EXPECT_EQ(markers, 3u);  // with the preview, without one, and the refused path
    // Nothing outside the WhatsApp folder reaches the page.
    EXPECT_EQ(page.find("secret"), std::string::npos);
    EXPECT_EQ(test::folderSnapshot(phone), before);
}

TEST_F(AndroidMediaPage, WithoutAMediaFolderThePageKeepsItsMarkers) {
    const std::string page = render("");
    EXPECT_EQ(page.find("<img"), std::string::npos);
    EXPECT_EQ(page.find("Sunset"), std::string::npos);
    EXPECT_NE(page.find("[Image]"), std::string::npos);
    EXPECT_NE(page.find("[Audio]"), std::string::npos);
    EXPECT_NE(page.find("[Video]"), std::string::npos);
}

TEST_F(AndroidMediaPage, AnExportCopiesEachKindIntoItsFolder) {
    const std::string out = root.path() + "export";
    MediaCopyLog copies(out, phone);
    const std::string page = render(phone, &copies);
    EXPECT_NE(page.find("<img src=\"images\\IMG-1.jpg\"/>"), std::string::npos) << page;
    EXPECT_NE(page.find("PlayMyWav(this,'PTT-20241203-WA0001');"), std::string::npos);
    EXPECT_NE(page.find("PlayMyVideo(this,'VID-1');"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"documents/Plan__B___1_.pdf\">"), std::string::npos) << page;
    for (const char* copy : {"images/IMG-1.jpg", "images/IMG-2.jpg", "voice/PTT-20241203-WA0001.opus",
                             "video/VID-1.mp4", "documents/Plan__B___1_.pdf"})
        EXPECT_TRUE(fs::is_regular_file(out + "/" + copy)) << copy;
    // The path that leaves the folder is logged as refused, never copied.
    bool refused = false;
    for (const MediaCopy& copy : copies.copies())
        refused |= copy.source.find("secret") != std::string::npos && !copy.copied && !copy.error.empty();
    EXPECT_TRUE(refused);
    EXPECT_FALSE(fs::exists(out + "/images/secret.jpg"));
}

// The legacy layout keeps the path inside thumb_image, a serialized MediaData object, and the
// preview in message_thumbnails.
TEST_F(AndroidMediaPage, LegacyRowsFindTheirFileInThumbImage) {
    const std::string legacy = root.path() + "legacy/";
    // Stream magic, an object of a class, then the path as a serialized string (0x74, length, bytes).
    const std::string path = "Media/WhatsApp Images/IMG-1.jpg";
    const std::string blob = std::string("\xAC\xED\x00\x05\x73\x72\x00\x16", 8) + "com.whatsapp.MediaData" +
                             "\x74" + std::string(1, '\0') + static_cast<char>(path.size()) + path;
    const std::string sql =
        "INSERT INTO messages(key_remote_jid, key_from_me, key_id, status, media_wa_type, timestamp, "
        "media_name, media_caption, thumb_image) VALUES ('491@s.whatsapp.net', 0, 'L1', 0, '1', "
        "1600000000000, "
        "'IMG-1.jpg', 'From the old phone', X'" +
        hex(blob) +
        "'),"
        "('491@s.whatsapp.net', 1, 'L2', 0, '1', 1600000001000, 'IMG-9.jpg', NULL, NULL);"
        "INSERT INTO message_thumbnails(thumbnail, key_remote_jid, key_from_me, key_id) VALUES (X'" +
        hex(kJpeg) + "', '491@s.whatsapp.net', 1, 'L2');";
    test::makeAndroidFolder(legacy, sql, test::contactRow("491@s.whatsapp.net", "Anna", nullptr));
    CAndroidWeiXin source(phoneFolderOf(kSourceAndroid, legacy, phone, 0));
    source.LoadContacts(contactTable());
    ChatPageBuffer page;
    for (const ContactEntry& entry : contactTable().rows()) {
        if (entry.jid == "491@s.whatsapp.net")
            renderContact(source, entry, kViewer, page);
    }
    EXPECT_NE(page.text().find("<img src=\"file://" + phone + "Media/WhatsApp%20Images/IMG-1.jpg\"/>"),
              std::string::npos)
        << page.text();
    EXPECT_NE(page.text().find("From the old phone"), std::string::npos);
    EXPECT_NE(page.text().find("<img src=\"data:image/jpeg;base64,"), std::string::npos);
}

}  // namespace
}  // namespace talvio
