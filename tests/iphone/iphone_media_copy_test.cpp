// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iphone_test_support.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/media_copy.h"
#include "sources/program_state.h"
#include "tests/export/page_scan.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>

namespace talvio {
namespace {

namespace fs = std::filesystem;

std::string bodyOf(const std::string& block) {
    return block.substr(block.find("<br/></div>") + 11);
}

std::string imageStandAlone(const std::string& name) {
    return "<div>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<img src=\"images\\" + name + ".jpg\"/></div>";
}

std::string voiceStandAlone(const std::string& id) {
    return "<div class=\"content\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<a href=\"#\" onClick=\"return "
           "PlayMyWav(this,'" +
           id + "');\">[Play voice]</a></div>";
}

std::string videoStandAlone(const std::string& id) {
    return "<div class=\"content\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<a href=\"#\" onClick=\"return "
           "PlayMyVideo(this,'" +
           id + "');\">[Play video]</a></div>";
}

const std::string kImageMarker =
    "<div class=\"content\"><SPAN "
    "class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;[Image]</span></div>";
const std::string kVoiceMissing =
    "<div class=\"content\"><SPAN class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;[Play Voice](file "
    "lost)</SPAN></div>";
const std::string kVideoMissing =
    "<div class=\"content\"><SPAN class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;[Play video](file "
    "lost)</SPAN></div>";

class IphoneExportMode : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        contactTable().destroy();
        programState().timeZoneBias = 0;
    }
    void TearDown() override {
        resetProgramState();
        contactTable().destroy();
    }
    // Renders a chat of a fixture with ExportMode on into out/, as an export does.
    std::vector<std::string> exportBodies(const std::string& fixture, const std::string& jid,
                                          bool withResources = true) {
        test::loadIphoneFolder(test::iphoneFixtureData(fixture),
                               withResources ? test::iphoneFixtureResources(fixture) : "");
        // One log for the test, as for one export run.
        if (!log)
            log.emplace(out, programState().resourceFolder);
        std::vector<std::string> bodies;
        for (const std::string& block :
             test::pageBlocks(test::renderIphoneRow(test::rowOfJid(jid), kStandAlone, &*log), kStandAlone)) {
            bodies.push_back(bodyOf(block));
        }
        return bodies;
    }
    std::string mediaOf(const std::string& fixture, const std::string& relative) {
        return test::iphoneFixtureResources(fixture) + "Library/" + relative;
    }
    test::TempDir dir;
    const std::string out = dir.path() + "export";
    std::optional<MediaCopyLog> log;
};

TEST_F(IphoneExportMode, CopiesAndTheNamesThePageUses) {
    const std::vector<std::string> bodies = exportBodies("basic", "4915110000001@s.whatsapp.net");
    ASSERT_EQ(bodies.size(), 14u);
    EXPECT_EQ(bodies[2], imageStandAlone("3a1f0c52-sunset"));
    EXPECT_EQ(bodies[3], kImageMarker);
    EXPECT_EQ(bodies[4], voiceStandAlone("5c3f2e74-hello"));
    EXPECT_EQ(bodies[5], kVoiceMissing);
    EXPECT_EQ(bodies[6], videoStandAlone("7e514096-clip"));
    EXPECT_EQ(bodies[7], kVideoMissing);
    EXPECT_EQ(bodies[9], imageStandAlone("10a7b2c8-first"));
    EXPECT_EQ(bodies[10], imageStandAlone("10a7b2c8-second"));

    // "images\%s.jpg" is read by a browser as images/<name>.jpg: that is the copy, byte for byte.
    const std::string annMedia = "Media/4915110000001@s.whatsapp.net/";
    EXPECT_EQ(test::readFile(out + "/images/3a1f0c52-sunset.jpg"),
              test::readFile(mediaOf("basic", annMedia + "3/a/3a1f0c52-sunset.jpg")));
    EXPECT_EQ(test::readFile(out + "/voice/5c3f2e74-hello.opus"),
              test::readFile(mediaOf("basic", annMedia + "5/c/5c3f2e74-hello.opus")));
    EXPECT_EQ(test::readFile(out + "/video/7e514096-clip.mp4"),
              test::readFile(mediaOf("basic", annMedia + "7/e/7e514096-clip.mp4")));
    EXPECT_EQ(test::folderSnapshot(out).size(), 3u + 5u);  // three folders, five files

    // Rendering the chat again hands out the same names and copies nothing twice.
    const std::size_t logged = log->copies().size();
    EXPECT_EQ(test::pageBlocks(
                  test::renderIphoneRow(test::rowOfJid("4915110000001@s.whatsapp.net"), kStandAlone, &*log),
                  kStandAlone)
                  .size(),
              14u);
    EXPECT_EQ(log->copies().size(), logged);
}

TEST_F(IphoneExportMode, WithoutResourceFolderNothingIsCopied) {
    const std::vector<std::string> bodies = exportBodies("basic", "4915110000001@s.whatsapp.net", false);
    EXPECT_EQ(bodies[2], kImageMarker);
    EXPECT_EQ(bodies[4], kVoiceMissing);
    EXPECT_EQ(bodies[6], kVideoMissing);
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(IphoneExportMode, HostileNamesNeverLeaveTheExportFolder) {
    const auto resourcesBefore = test::folderSnapshot(test::iphoneFixtureResources("hostile"));
    const std::vector<std::string> bodies = exportBodies("hostile", "hostile@s.whatsapp.net");
    ASSERT_EQ(bodies.size(), 11u);
    // Quotes, backslashes, "&", "<", "#", "?" and "%" become "_": the id is safe in an address,
    // an attribute and a script string alike.
    EXPECT_EQ(bodies[0], imageStandAlone("it_s_a__b_"));
    EXPECT_EQ(bodies[1], voiceStandAlone("quo_te____v_"));
    EXPECT_EQ(bodies[2], videoStandAlone("_frag_x_1_20"));
    // A path that climbs out of Library/ is never copied, though the file is there.
    EXPECT_EQ(bodies[3], kImageMarker);
    EXPECT_EQ(bodies[4], kImageMarker);
    EXPECT_EQ(bodies[5], kImageMarker);
    // Three files named alike, one only in other letter case, get three ids: the first its stem,
    // the others the stem tagged with their place in the phone's folder.
    const std::string second = test::textsBetween(bodies[7], "images\\", ".jpg").at(0);
    const std::string third = test::textsBetween(bodies[10], "images\\", ".jpg").at(0);
    EXPECT_EQ(bodies[6], imageStandAlone("same"));
    EXPECT_EQ(bodies[7], imageStandAlone(second));
    EXPECT_EQ(bodies[10], imageStandAlone(third));
    EXPECT_EQ(second.rfind("same-", 0), 0u) << second;
    EXPECT_EQ(third.rfind("SAME-", 0), 0u) << third;
    EXPECT_EQ(second.size(), 13u);
    EXPECT_NE(second.substr(5), third.substr(5));
    EXPECT_EQ(bodies[8], voiceStandAlone("broken"));
    EXPECT_EQ(bodies[9], voiceStandAlone("already"));

    EXPECT_EQ(test::readFile(out + "/images/same.jpg"),
              test::readFile(mediaOf("hostile", "Media/h/a/same.jpg")));
    EXPECT_EQ(test::readFile(out + "/images/" + second + ".jpg"),
              test::readFile(mediaOf("hostile", "Media/h/b/same.jpg")));
    // A voice note that is a WAV already is copied as the WAV its page plays.
    EXPECT_TRUE(fs::exists(out + "/voice/already.wav"));
    std::set<std::string> files;
    for (const auto& [name, kind] : test::folderSnapshot(out)) {
        if (kind != "folder")
            files.insert(name);
    }
    EXPECT_EQ(files,
              (std::set<std::string>{"images/it_s_a__b_.jpg", "images/same.jpg", "images/" + second + ".jpg",
                                     "images/" + third + ".jpg", "voice/quo_te____v_.opus",
                                     "voice/broken.opus", "voice/already.wav", "video/_frag_x_1_20.mp4"}));
    // Nothing beside the export folder, and the phone's folder is as it was.
    EXPECT_EQ(test::folderSnapshot(dir.path()).size(), test::folderSnapshot(out).size() + 1);
    EXPECT_EQ(test::folderSnapshot(test::iphoneFixtureResources("hostile")), resourcesBefore);

    // The refused path is reported, with the reason.
    bool refused = false;
    for (const MediaCopy& copy : log->copies()) {
        if (copy.source.find("secret.jpg") != std::string::npos)
            refused = !copy.copied && !copy.error.empty();
    }
    EXPECT_TRUE(refused);

    // Another chat that shows the same file reuses its copy.
    contactTable().destroy();
    const std::size_t logged = log->copies().size();
    EXPECT_EQ(exportBodies("hostile", "second@s.whatsapp.net")[0], imageStandAlone("same"));
    EXPECT_EQ(log->copies().size(), logged);
}

TEST_F(IphoneExportMode, NoExportFolderNoCopies) {
    test::loadIphoneFolder(test::iphoneFixtureData("basic"), test::iphoneFixtureResources("basic"));
    log.emplace("", programState().resourceFolder);
    const std::vector<std::string> blocks = test::pageBlocks(
        test::renderIphoneRow(test::rowOfJid("4915110000001@s.whatsapp.net"), kStandAlone, &*log),
        kStandAlone);
    // The body is still the stand-alone one; the failed copy is logged, not made below "/".
    EXPECT_EQ(bodyOf(blocks[2]), imageStandAlone("3a1f0c52-sunset"));
    EXPECT_FALSE(fs::exists("/images/3a1f0c52-sunset.jpg"));
    ASSERT_FALSE(log->copies().empty());
    EXPECT_FALSE(log->copies().front().copied);
}

TEST_F(IphoneExportMode, ALinkPlantedWhereTheCopyGoesIsReplaced) {
    const std::string outside = dir.path() + "outside.txt";
    test::writeFile(outside, "keep me");
    fs::create_directories(out + "/images");
    fs::create_symlink(outside, out + "/images/3a1f0c52-sunset.jpg");
    exportBodies("basic", "4915110000001@s.whatsapp.net");
    EXPECT_EQ(test::readFile(outside), "keep me");
    EXPECT_FALSE(fs::is_symlink(out + "/images/3a1f0c52-sunset.jpg"));
    EXPECT_EQ(test::readFile(out + "/images/3a1f0c52-sunset.jpg"),
              test::readFile(mediaOf("basic", "Media/4915110000001@s.whatsapp.net/3/a/3a1f0c52-sunset.jpg")));
}

// A resource folder prepared as an attacker would: the chat's media are links to private files
// outside it (absolute, relative and through a linked folder).
TEST_F(IphoneExportMode, LinksOutOfTheResourceFolderAreNeitherCopiedNorShown) {
    const std::string res = dir.path() + "res/";
    fs::copy(test::iphoneFixtureResources("basic"), res, fs::copy_options::recursive);
    const std::string media = res + "Library/Media/4915110000001@s.whatsapp.net/";
    const std::string secret = dir.path() + "private/id_rsa";
    test::writeFile(secret, "PRIVATE KEY");
    test::writeFile(dir.path() + "private/videos/7e514096-clip.mp4", "private video");
    fs::remove(media + "3/a/3a1f0c52-sunset.jpg");
    fs::create_symlink(secret, media + "3/a/3a1f0c52-sunset.jpg");
    fs::remove(media + "5/c/5c3f2e74-hello.opus");
    fs::create_symlink("../../../../../../private/id_rsa", media + "5/c/5c3f2e74-hello.opus");
    fs::remove_all(media + "7/e");
    fs::create_symlink(dir.path() + "private/videos", media + "7/e");
    const auto before = test::folderSnapshot(res);

    test::loadIphoneFolder(test::iphoneFixtureData("basic"), res);
    const int ann = test::rowOfJid("4915110000001@s.whatsapp.net");
    const std::string viewerPage = test::renderIphoneRow(ann, kViewer);
    EXPECT_EQ(viewerPage.find("private"), std::string::npos) << "the viewer's page names a private file";
    const std::vector<std::string> viewer = test::pageBlocks(viewerPage, kViewer);
    EXPECT_EQ(bodyOf(viewer[2]), kImageMarker);
    EXPECT_EQ(bodyOf(viewer[4]), kVoiceMissing);
    EXPECT_EQ(bodyOf(viewer[6]), kVideoMissing);

    log.emplace(out, res);
    std::vector<std::string> bodies;
    for (const std::string& block :
         test::pageBlocks(test::renderIphoneRow(ann, kStandAlone, &*log), kStandAlone))
        bodies.push_back(bodyOf(block));
    ASSERT_EQ(bodies.size(), 14u);
    EXPECT_EQ(bodies[2], kImageMarker);
    EXPECT_EQ(bodies[4], kVoiceMissing);
    EXPECT_EQ(bodies[6], kVideoMissing);
    // The files inside are copied as ever.
    EXPECT_EQ(bodies[9], imageStandAlone("10a7b2c8-first"));
    for (const auto& [name, kind] : test::folderSnapshot(out)) {
        if (kind != "folder") {
            EXPECT_NE(test::readFile(out + "/" + name), "PRIVATE KEY") << name;
        }
        EXPECT_EQ(name.find("clip"), std::string::npos) << name;
    }
    // Each refusal is named, so the export does not call itself complete.
    int refused = 0;
    for (const MediaCopy& copy : log->copies())
        refused += copy.error == "its path leaves the resource folder" ? 1 : 0;
    EXPECT_EQ(refused, 3);
    EXPECT_EQ(test::folderSnapshot(res), before);
}

TEST(SafeMediaStem, NamesFromDatabases) {
    EXPECT_EQ(safeMediaStem("3a1f0c52-sunset.jpg"), "3a1f0c52-sunset");
    EXPECT_EQ(safeMediaStem("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(safeMediaStem("noextension"), "noextension");
    EXPECT_EQ(safeMediaStem(".hidden"), "hidden");
    EXPECT_EQ(safeMediaStem(".."), "media");
    EXPECT_EQ(safeMediaStem("."), "media");
    EXPECT_EQ(safeMediaStem(""), "media");
    EXPECT_EQ(safeMediaStem("a\nb\x01.jpg"), "a_b_");
    EXPECT_EQ(safeMediaStem("..\\..\\evil.jpg"), "_.._evil");
    EXPECT_EQ(safeMediaStem("名前.jpg"), "______");
    EXPECT_EQ(safeMediaStem(std::string(300, 'x') + ".jpg").size(), 80u);
}

}  // namespace
}  // namespace talvio
