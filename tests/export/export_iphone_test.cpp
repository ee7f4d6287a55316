// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "export/export_run.h"
#include "sources/contact_table.h"
#include "sources/iphone_weixin.h"
#include "sources/media_copy.h"
#include "sources/program_state.h"
#include "tests/export/browser_probe.h"
#include "tests/export/page_scan.h"
#include "tests/iphone/iphone_test_support.h"
#include "tests/support/android_folder.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

namespace talvio {
namespace {

namespace fs = std::filesystem;

struct Reference {
    std::string page;
    std::string file;  // relative to the export folder, as a browser resolves it
};

// Every media file an exported page refers to: "images\x.jpg" (read as images/x.jpg), and the
// voice/<id>.wav and video/<id>.mp4 that the stand-alone script builds from a link's id.
std::vector<Reference> referencesOf(const std::string& folder) {
    std::vector<Reference> references;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".html")
            continue;
        const std::string page = test::readFile(entry.path().string());
        const std::string name = entry.path().filename().string();
        for (const std::string& file : test::textsBetween(page, "<img src=\"images\\", "\"/>"))
            references.push_back({name, "images/" + file});
        for (const std::string& id : test::textsBetween(page, "PlayMyWav(this,'", "')"))
            references.push_back({name, "voice/" + id + ".wav"});
        for (const std::string& id : test::textsBetween(page, "PlayMyVideo(this,'", "')"))
            references.push_back({name, "video/" + id + ".mp4"});
    }
    return references;
}

bool isWav(const std::string& path) {
    const std::string data = test::readFile(path);
    return data.size() > 44 && data.compare(0, 4, "RIFF") == 0 && data.compare(8, 4, "WAVE") == 0;
}

using test::CommandResult;
using test::runCommand;

class IphoneExport : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        contactTable().destroy();
    }
    void TearDown() override {
        resetProgramState();
        contactTable().destroy();
    }
    ExportReport exportAll(const std::string& fixture, const std::string& decoder = {}) {
        test::loadIphoneFolder(test::iphoneFixtureData(fixture), test::iphoneFixtureResources(fixture));
        CIphoneWeiXin source(chosenPhoneFolder());
        ExportRun run(source, out);
        if (!decoder.empty())
            run.setVoiceDecoder(decoder);
        return run.run(allRows(contactTable()));
    }
    test::TempDir dir;
    const std::string out = dir.path() + "export";
};

TEST_F(IphoneExport, EveryReferenceOfTheExportResolves) {
    const auto dataBefore = test::folderSnapshot(test::iphoneFixtureData("basic"));
    const auto resourcesBefore = test::folderSnapshot(test::iphoneFixtureResources("basic"));
    const ExportReport report = exportAll("basic");
    EXPECT_TRUE(report.complete()) << (report.failedMedia.empty() ? "" : report.failedMedia.front());
    // Six chats: the contact with two pictures is one chat, exported once.
    EXPECT_EQ(report.chats, 6);
    EXPECT_EQ(report.pages, 7);
    // Three pictures, a video, and the voice note's copy with its WAV.
    EXPECT_EQ(report.mediaFiles, 6);

    const std::vector<Reference> references = referencesOf(out);
    EXPECT_EQ(references.size(), 5u);
    for (const Reference& reference : references) {
        EXPECT_TRUE(fs::is_regular_file(out + "/" + reference.file))
            << reference.page << ": " << reference.file;
    }
    EXPECT_TRUE(isWav(out + "/voice/5c3f2e74-hello.wav"));
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    }
    EXPECT_EQ(test::folderSnapshot(test::iphoneFixtureData("basic")), dataBefore);
    EXPECT_EQ(test::folderSnapshot(test::iphoneFixtureResources("basic")), resourcesBefore);
}

TEST_F(IphoneExport, FailuresAreNamed) {
    const ExportReport report = exportAll("hostile");
    EXPECT_FALSE(report.complete());
    ASSERT_EQ(report.failedMedia.size(), 3u);
    const auto named = [&report](const std::string& text) {
        for (const std::string& line : report.failedMedia) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    };
    // The file that is not Ogg Opus: its copy is there, its WAV is not, not even in part.
    EXPECT_TRUE(named("voice/broken.wav: opusdec could not decode it"));
    EXPECT_TRUE(fs::exists(out + "/voice/broken.opus"));
    EXPECT_FALSE(fs::exists(out + "/voice/broken.wav"));
    // The paths that climb out of the resource folder, or name its parent.
    EXPECT_TRUE(named("Library/Media/../secret.jpg: its path leaves the resource folder"));
    EXPECT_TRUE(named("Library/Media/h/..: its path leaves the resource folder"));
    // Copies: four pictures, three voice notes (one a WAV already) and a video; and one WAV made.
    EXPECT_EQ(report.mediaFiles, 9);
    EXPECT_TRUE(isWav(out + "/voice/already.wav"));
    EXPECT_TRUE(isWav(out + "/voice/quo_te____v_.wav"));
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    }
}

TEST_F(IphoneExport, MissingDecoderIsNamed) {
    const ExportReport report = exportAll("basic", dir.path() + "no-such-opusdec");
    ASSERT_EQ(report.failedMedia.size(), 1u);
    EXPECT_EQ(report.failedMedia[0].rfind("voice/5c3f2e74-hello.wav: cannot run ", 0), 0u)
        << report.failedMedia[0];
    EXPECT_EQ(report.mediaFiles, 5);
}

// A real browser opens an exported page from disk: the pictures load through "images\…", the
// voice note and the video that the links insert have data to play (readyState 2 and up), and a
// message that holds markup reads as typed.
TEST_F(IphoneExport, ABrowserShowsAndPlaysTheExport) {
    if (!test::haveChromium())
        GTEST_SKIP() << "chromium is not installed";
    ASSERT_TRUE(exportAll("basic").complete());
    EXPECT_EQ(test::probeExportedPage(out + "/4915110000001.html", dir.path()),
              "AUDIO,VIDEO,image,image,image,literal");
}

// A copy that lists its chats but whose messages cannot be read, exported over a good export: every
// page of the earlier export stays as it was, every chat is named, and the run fails.
TEST_F(IphoneExport, ADamagedCopyExportedOverAGoodExportLeavesItsPages) {
    const std::string tool = TALVIO_EXPORT_TOOL;
    const std::string phone = dir.path() + "phone/";
    std::filesystem::copy(test::iphoneFixtureData("basic"), phone, std::filesystem::copy_options::recursive);
    ASSERT_EQ(runCommand(tool + " " + phone + " " + out).status, 0);
    const auto good = test::folderSnapshot(out);
    const std::string annPage = test::readFile(out + "/4915110000001.html");
    ASSERT_NE(annPage.find("SenderNameMe"), std::string::npos);

    // The chat query needs ZWAMEDIAITEM; the listing does not.
    for (const char* companion : {"-wal", "-shm"})
        std::filesystem::remove(phone + "ChatStorage.sqlite" + companion);
    test::runSql(phone + "ChatStorage.sqlite", "DROP TABLE ZWAMEDIAITEM;");
    CommandResult damaged = runCommand(tool + " " + phone + " " + out);
    EXPECT_EQ(damaged.status, 1) << damaged.out;
    EXPECT_NE(
        damaged.out.find("a chat could not be read, its page was not written: Ann Becker: no such table: "
                         "ZWAMEDIAITEM"),
        std::string::npos)
        << damaged.out;
    EXPECT_EQ(test::readFile(out + "/4915110000001.html"), annPage);
    EXPECT_EQ(test::folderSnapshot(out), good);

    // A single page of it fails the same way.
    CommandResult page = runCommand(tool + " --page 1 " + phone);
    EXPECT_EQ(page.status, 1);
    EXPECT_NE(page.out.find("could not be read: no such table: ZWAMEDIAITEM"), std::string::npos) << page.out;
}

TEST_F(IphoneExport, CommandLine) {
    const std::string tool = TALVIO_EXPORT_TOOL;
    const std::string data = test::iphoneFixtureData("basic");
    const std::string resources = test::iphoneFixtureResources("basic");

    CommandResult list = runCommand(tool + " --resources " + resources + " --list " + data);
    EXPECT_EQ(list.status, 0) << list.out;
    EXPECT_EQ(list.out.rfind("0\t4915110000001@s.whatsapp.net\tAnn Becker\t", 0), 0u) << list.out;

    CommandResult page = runCommand(tool + " --resources " + resources + " --page 0 " + data);
    EXPECT_EQ(page.status, 0);
    EXPECT_NE(page.out.find("<img src=\"file://" + resources), std::string::npos);

    CommandResult exported = runCommand(tool + " --resources " + resources + " " + data + " " + out);
    EXPECT_EQ(exported.status, 0) << exported.out;
    EXPECT_NE(exported.out.find("Exported 6 chats (7 pages, 6 media files)"), std::string::npos)
        << exported.out;

    CommandResult hostile =
        runCommand(tool + " --resources " + test::iphoneFixtureResources("hostile") + " " +
                   test::iphoneFixtureData("hostile") + " " + dir.path() + "hostile");
    EXPECT_EQ(hostile.status, 1);
    EXPECT_NE(hostile.out.find("voice/broken.wav: "), std::string::npos) << hostile.out;

    // A resource folder must exist.
    CommandResult missing = runCommand(tool + " --resources " + dir.path() + "nowhere --list " + data);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(runCommand(tool + " --help").out.find("--resources RESDIR"), std::string::npos);
}

}  // namespace
}  // namespace talvio
