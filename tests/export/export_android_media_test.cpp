// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The bundled Android samples exported with their media folder: every file a page refers to is in
// the export, voice notes get their WAV, and the only file left out is the one whose path climbs
// out of the phone's folder.
#include "export/export_run.h"
#include "sources/android_weixin.h"
#include "sources/contact_table.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "tests/export/browser_probe.h"
#include "tests/export/page_scan.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

namespace talvio {
namespace {

namespace fs = std::filesystem;

// Every file an exported page refers to, as a browser resolves it from the page's folder.
std::vector<std::string> referencesOf(const std::string& folder) {
    std::vector<std::string> references;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".html" || entry.path().filename() == "index.html")
            continue;
        const std::string page = test::readFile(entry.path().string());
        for (const std::string& file : test::textsBetween(page, "<img src=\"images\\", "\"/>"))
            references.push_back("images/" + file);
        for (const std::string& id : test::textsBetween(page, "PlayMyWav(this,'", "')"))
            references.push_back("voice/" + id + ".wav");
        for (const std::string& id : test::textsBetween(page, "PlayMyVideo(this,'", "')"))
            references.push_back("video/" + id + ".mp4");
        for (const std::string& file : test::textsBetween(page, "<a href=\"documents/", "\">"))
            references.push_back("documents/" + file);
    }
    return references;
}

class AndroidMediaExport : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        resetProgramState();
        contactTable().destroy();
    }
    void TearDown() override {
        resetProgramState();
        contactTable().destroy();
    }
    test::TempDir dir;
};

TEST_P(AndroidMediaExport, EveryReferenceResolvesAndNothingLeavesThePhoneFolder) {
    const std::string sample = std::string(TALVIO_BUILD_DIR) + "/samples/" + GetParam() + "/";
    const std::string data = sample + "com.whatsapp/";
    const std::string media = sample + "WhatsApp/";
    const auto before = test::folderSnapshot(sample);
    CAndroidWeiXin source(phoneFolderOf(kSourceAndroid, data, media, 0));
    source.LoadContacts(contactTable());
    const std::string out = dir.path() + "export";
    const ExportReport report = ExportRun(source, out).run(allRows(contactTable()));

    EXPECT_GT(report.mediaFiles, 5);
    for (const std::string& failure : report.failedMedia)
        EXPECT_NE(failure.find("climbs out of the folder"), std::string::npos) << failure;
    const std::vector<std::string> references = referencesOf(out);
    EXPECT_GT(references.size(), 5u);
    std::size_t documents = 0;
    for (const std::string& reference : references) {
        EXPECT_TRUE(fs::is_regular_file(out + "/" + reference)) << reference;
        documents += reference.starts_with("documents/");
    }
    EXPECT_GE(documents, 1u);
    // A reply's quote links to the quoted message on the same page; a place's link is its map.
    std::size_t quoteLinks = 0, mapLinks = 0;
    for (const auto& entry : fs::directory_iterator(out)) {
        if (entry.path().extension() != ".html")
            continue;
        const std::string page = test::readFile(entry.path().string());
        for (const std::string& target : test::textsBetween(page, "<a href=\"#m", "\"")) {
            EXPECT_NE(page.find("<a id=\"m" + target + "\"></a>"), std::string::npos) << target;
            ++quoteLinks;
        }
        for (const std::string& address : test::textsBetween(page, "<a href=\"https://", "\"")) {
            EXPECT_TRUE(address.starts_with("www.openstreetmap.org/?mlat=")) << address;
            ++mapLinks;
        }
    }
    if (std::string_view(GetParam()) == "android-modern") {
        EXPECT_GE(quoteLinks, 2u);
        EXPECT_GE(mapLinks, 2u);
    }
    bool wav = false;
    for (const auto& entry : fs::directory_iterator(out + "/voice"))
        wav |= entry.path().extension() == ".wav" && test::readFile(entry.path()).compare(0, 4, "RIFF") == 0;
    EXPECT_TRUE(wav);
    // The bait beside the WhatsApp folder, which a "../" path in the database aims at, stays out.
    for (const auto& entry : fs::recursive_directory_iterator(out))
        EXPECT_EQ(entry.path().filename().string().find("escaped"), std::string::npos) << entry.path();
    EXPECT_EQ(test::folderSnapshot(sample), before);

    // A real browser shows the pictures of the page with the most media and plays its voice notes
    // and videos from the copies.
    if (!test::haveChromium())
        return;
    std::string richest;
    std::size_t most = 0;
    for (const auto& entry : fs::directory_iterator(out)) {
        const std::string page = test::readFile(entry.path().string());
        const std::size_t count = test::textsBetween(page, "<img src=\"images\\", "\"").size() +
                                  test::textsBetween(page, "PlayMy", "(").size();
        if (entry.path().extension() == ".html" && count > most) {
            most = count;
            richest = entry.path().string();
        }
    }
    const std::string shown = test::probeExportedPage(richest, dir.path());
    EXPECT_NE(shown.find("AUDIO"), std::string::npos) << shown;
    EXPECT_NE(shown.find("VIDEO"), std::string::npos) << shown;
    EXPECT_NE(shown.find("image"), std::string::npos) << shown;
    for (const char* fault : {"broken", "error", "not ready"})
        EXPECT_EQ(shown.find(fault), std::string::npos) << shown;
}

INSTANTIATE_TEST_SUITE_P(Samples, AndroidMediaExport, ::testing::Values("android", "android-modern"));

}  // namespace
}  // namespace talvio
