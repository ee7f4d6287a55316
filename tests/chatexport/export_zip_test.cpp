// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <filesystem>

#include "chatexport/export_fixture.h"
#include "chatexport/export_opener.h"
#include "chatexport/zip_reader.h"
#include "tests/support/temp_dir.h"

namespace talvio::chatexport {
namespace {

const std::string kChat =
    "[18/03/2022, 21:41:55] Anna: \xE2\x80\x8E<attached: 00000001-PHOTO-2022-03-18-21-41-55.jpg>\n";

std::string makeZip(const std::string& path,
                    const std::vector<std::pair<std::string, std::string>>& entries) {
    EXPECT_EQ(fixture::writeZip(path, entries), "");
    return path;
}

TEST(ExportZip, EntriesWithNamesThatCouldEscapeAFolderAreRefused) {
    for (const std::string hostile :
         {"../evil.jpg", "/etc/evil.jpg", "media/../../evil.jpg", "..", "media\\..\\evil.jpg", "C:/evil.jpg",
          "line\nbreak.jpg", "media//../x"}) {
        SCOPED_TRACE(hostile);
        test::TempDir dir;
        const std::string path =
            makeZip(dir.path() + "WhatsApp Chat - Anna.zip", {{"_chat.txt", kChat}, {hostile, "bytes"}});
        const auto before = test::folderSnapshot(dir.path());
        const OpenOutcome outcome = openChatExports(path);
        EXPECT_TRUE(outcome.chats.empty());
        ASSERT_EQ(outcome.problems.size(), 1u);
        EXPECT_NE(outcome.problems[0].find("unsafe name"), std::string::npos) << outcome.problems[0];
        // Nothing unpacked or changed beside the archive.
        EXPECT_EQ(test::folderSnapshot(dir.path()), before);
    }
    EXPECT_TRUE(ZipReader::isSafeName("WhatsApp Chat - Anna/_chat.txt"));
    EXPECT_TRUE(ZipReader::isSafeName("a..b/..c.jpg"));
}

TEST(ExportZip, AnEntryNameWithAZeroByteIsRefused) {
    // "x.jpg<NUL>.txt" could pass for "x.jpg" in C strings; libzip would show "x.jpg .txt".
    test::TempDir dir;
    const std::string path = makeZip(dir.path() + "a.zip", {{"_chat.txt", kChat}, {"x.jpgQ.txt", "b"}});
    std::string bytes = test::readFile(path);
    std::size_t patched = 0;
    for (std::size_t at = bytes.find("x.jpgQ"); at != std::string::npos;
         at = bytes.find("x.jpgQ", at), ++patched)
        bytes[at + 5] = '\0';
    ASSERT_EQ(patched, 2u);  // the local header and the central directory
    test::writeFile(path, bytes);
    std::string error;
    EXPECT_EQ(ZipReader::open(path, error), nullptr);
    EXPECT_NE(error.find("zero byte"), std::string::npos) << error;
}

TEST(ExportZip, SizesAreCheckedBeforeInflating) {
    test::TempDir dir;
    const std::string big(200'000, 'a');  // deflates to a few hundred bytes
    const std::string path =
        makeZip(dir.path() + "big.zip", {{"_chat.txt", kChat}, {"one.jpg", big}, {"two.jpg", big}});
    std::string error;
    ZipReader::Limits entryLimit;
    entryLimit.maxEntryBytes = 100'000;
    EXPECT_EQ(ZipReader::open(path, entryLimit, error), nullptr);
    EXPECT_NE(error.find("more data than a chat export"), std::string::npos);

    ZipReader::Limits totalLimit;
    totalLimit.maxTotalBytes = 300'000;
    EXPECT_EQ(ZipReader::open(path, totalLimit, error), nullptr);

    error.clear();
    const auto zip = ZipReader::open(path, error);
    ASSERT_NE(zip, nullptr) << error;
    std::string bytes;
    EXPECT_FALSE(zip->read("one.jpg", 199'999, bytes, error));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(zip->read("one.jpg", 200'000, bytes, error));
    EXPECT_EQ(bytes, big);
    EXPECT_FALSE(zip->read("three.jpg", 200'000, bytes, error));
}

TEST(ExportZip, DamagedArchivesAndEntriesGiveAnErrorNotBytes) {
    test::TempDir dir;
    const std::string picture = "PICTURE-" + std::string(64, 'p');
    // Stored, not deflated, so the picture's bytes lie in the file as they are.
    const std::string path = dir.path() + "WhatsApp Chat - Anna.zip";
    ASSERT_EQ(fixture::writeZip(
                  path, {{"_chat.txt", kChat}, {"00000001-PHOTO-2022-03-18-21-41-55.jpg", picture}}, true),
              "");
    const std::string good = test::readFile(path);

    // A flipped byte inside the picture: the chat opens, the picture fails its check.
    std::string flipped = good;
    const std::size_t at = flipped.find("PICTURE-");
    ASSERT_NE(at, std::string::npos);
    {
        flipped[at] = 'X';
        test::writeFile(path, flipped);
        const OpenOutcome outcome = openChatExports(path);
        ASSERT_EQ(outcome.chats.size(), 1u);
        const ReadOutcome read =
            outcome.chats[0].readAttachment("00000001-PHOTO-2022-03-18-21-41-55.jpg", 1 << 20);
        EXPECT_NE(read.error, "");
        EXPECT_EQ(read.bytes, "");
    }

    // Half an archive, text renamed .zip, an archive without chat text.
    test::writeFile(path, good.substr(0, good.size() / 2));
    EXPECT_NE(openChatExports(path).problems.at(0).find("cannot be read as a zip archive"),
              std::string::npos);
    test::writeFile(path, kChat);
    EXPECT_NE(openChatExports(path).problems.at(0).find("cannot be read as a zip archive"),
              std::string::npos);
    std::filesystem::remove(path);
    makeZip(path, {{"photo.jpg", "x"}});
    EXPECT_NE(openChatExports(path).problems.at(0).find("holds no chat text"), std::string::npos);
}

TEST(ExportZip, AnIphoneChatTakesItsNameFromItsFolderInTheArchive) {
    test::TempDir dir;
    const OpenOutcome outcome = openChatExports(
        makeZip(dir.path() + "Archive.zip", {{"WhatsApp Chat - Hiking Club/_chat.txt", kChat}}));
    ASSERT_EQ(outcome.chats.size(), 1u);
    EXPECT_EQ(outcome.chats[0].name(), "Hiking Club");
}

TEST(ExportZip, AnAndroidZipWithAFolderInside) {
    test::TempDir dir;
    const std::string text = "18/03/2022, 21:41 - Anna: IMG-20220318-WA0001.jpg (file attached)\nlook\n";
    const std::string path =
        makeZip(dir.path() + "export.zip", {{"WhatsApp Chat with Anna/WhatsApp Chat with Anna.txt", text},
                                            {"WhatsApp Chat with Anna/IMG-20220318-WA0001.jpg", "jpeg"},
                                            {"other/IMG-20220318-WA0001.jpg", "not this one"}});
    const auto before = test::folderSnapshot(dir.path());
    const OpenOutcome outcome = openChatExports(path);
    ASSERT_EQ(outcome.chats.size(), 1u);
    const ChatExport& chat = outcome.chats[0];
    EXPECT_EQ(chat.name(), "Anna");
    ASSERT_EQ(chat.messages().size(), 1u);
    EXPECT_EQ(chat.messages()[0].text, "look");
    EXPECT_EQ(chat.readAttachment("IMG-20220318-WA0001.jpg", 100).bytes, "jpeg");
    EXPECT_EQ(test::folderSnapshot(dir.path()), before);
}

}  // namespace
}  // namespace talvio::chatexport
