// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The export run as a user meets it again: exporting into the same folder later, choosing other
// chats, and the message that closes it.
#include "export/export_run.h"
#include "export/export_summary.h"
#include "sources/android_weixin.h"
#include "sources/contact_table.h"
#include "sources/database.h"
#include "sources/iphone_weixin.h"
#include "sources/media_copy.h"
#include "sources/program_state.h"
#include "tests/export/page_scan.h"
#include "tests/iphone/iphone_test_support.h"
#include "tests/sources/android_sql.h"
#include "tests/support/android_folder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include <unistd.h>

namespace talvio {

namespace {

namespace fs = std::filesystem;
using test::contactRow;
using test::messageRow;

class ExportRunTest : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        resetProgramState();
        contactTable().destroy();
        programState().timeZoneBias = 0;
    }
    ExportReport exportRows(CChatSoftware& source, const std::vector<int>& rows,
                            const ExportRun::Progress& progress = {}) {
        ExportRun run(source, out);
        return run.run(rows, progress);
    }
    test::TempDir dir;
    const std::string out = dir.path() + "export";
};

TEST_F(ExportRunTest, ExportingAgainUpdatesTheFolderAndKeepsWhatItDoesNotWrite) {
    test::loadIphoneFolder(test::iphoneFixtureData("basic"), test::iphoneFixtureResources("basic"));
    CIphoneWeiXin source(chosenPhoneFolder());
    ASSERT_TRUE(exportRows(source, allRows(contactTable())).complete());
    const std::string firstIndex = test::readFile(out + "/index.html");
    ASSERT_EQ(test::indexLinks(out).size(), 6u);

    // The user's own files, a page edited by hand, and index rows that are not ours: one with
    // markup in it, one that points out of the folder.
    test::writeFile(out + "/notes.txt", "mine");
    test::writeFile(out + "/images/mine.jpg", "mine");
    test::writeFile(out + "/4915110000001.html", "stale");
    test::writeFile(out + "/evil.html", "x");
    test::writeFile(out + "/index.html",
                    firstIndex +
                        "<tr data-page=\"evil.html\" data-order=\"9\"><td><a href=\"evil.html\"><script>"
                        "alert(1)</script></a></td><td>x</td><td>1</td></tr>\n"
                        "<tr data-page=\"..%2Fout.html\" data-order=\"9\"><td><a href=\"..%2Fout.html\">x</a>"
                        "</td><td>x</td><td>1</td></tr>\n");

    const int ann = test::rowOfJid("4915110000001@s.whatsapp.net");
    const ExportReport again = exportRows(source, {ann});
    EXPECT_TRUE(again.complete());
    EXPECT_EQ(again.chats, 1);
    EXPECT_EQ(again.pages, 2);
    EXPECT_EQ(again.keptChats, 5);
    EXPECT_EQ(test::readFile(out + "/notes.txt"), "mine");
    EXPECT_EQ(test::readFile(out + "/images/mine.jpg"), "mine");
    EXPECT_NE(test::readFile(out + "/4915110000001.html"), "stale");
    // Every chat of the first export is still listed, in the same order; the foreign rows are gone.
    EXPECT_EQ(test::readFile(out + "/index.html"), firstIndex);

    // A page the user deleted drops out of the list at the next export.
    fs::remove(out + "/4915110000002.html");
    exportRows(source, {ann});
    const std::vector<std::string> links = test::indexLinks(out);
    EXPECT_EQ(links.size(), 5u);
    EXPECT_EQ(std::count(links.begin(), links.end(), "4915110000002.html"), 0);
}

// Large exports render from an indexed copy of the store; the pages must not notice.
TEST_F(ExportRunTest, TheIndexedCopyChangesNoPage) {
    const std::string phone = dir.path() + "phone/";
    fs::create_directories(phone);
    test::makeIphoneFolder(
        phone,
        "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID, ZPARTNERNAME) VALUES (1, 'a@s', 'Ann'), (2, 'b@s', "
        "'Bo');"
        "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGEDATE, ZFROMJID, ZTOJID, ZTEXT) VALUES "
        "(5, 0, 100.5, 'a@s', 'me', 'third'), (3, 0, 100.5, 'a@s', 'me', 'first of three at one time'),"
        "(4, 0, 100.5, 'a@s', 'me', 'second'), (1, 1, 90, 'me', 'a@s', 'earlier'), (2, 0, 95, 'b@s', 'me', "
        "'to Bo');");
    // Copied while WhatsApp ran: the newest message is only in the log.
    Database writer;
    ASSERT_EQ(writer.open(phone + "ChatStorage.sqlite", Database::Access::ReadWriteExisting), 0);
    ASSERT_EQ(writer.exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                          "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGEDATE, ZTOJID, ZTEXT) VALUES "
                          "(6, 1, 200.25, 'a@s', 'only in the log');"),
              0);
    const auto before = test::folderSnapshot(phone);
    const struct {
        std::string data, resources;
    } folders[] = {{phone, ""},
                   {test::iphoneFixtureData("basic"), test::iphoneFixtureResources("basic")},
                   {test::iphoneFixtureData("hostile"), test::iphoneFixtureResources("hostile")}};
    int n = 0;
    for (const auto& [data, resources] : folders) {
        ++n;
        reset();
        test::loadIphoneFolder(data, resources);
        CIphoneWeiXin source(chosenPhoneFolder());
        std::map<std::string, std::string> pages[2];
        for (const auto use : {ExportRun::IndexedCopy::Never, ExportRun::IndexedCopy::Always}) {
            const std::string to = dir.path() +
                                   (use == ExportRun::IndexedCopy::Never ? "direct" : "indexed") +
                                   std::to_string(n);
            ExportRun run(source, to);
            run.setIndexedCopy(use);
            run.run(allRows(contactTable()));
            pages[use == ExportRun::IndexedCopy::Always] = test::folderSnapshot(to);
        }
        EXPECT_EQ(pages[0], pages[1]) << data;
        // The copy is gone with the run.
        for (const auto& [file, sum] : pages[1])
            EXPECT_EQ(file.find(".talvio-working"), std::string::npos) << file;
    }
    // Messages of one time keep the store's order.
    const std::string ann = test::readFile(dir.path() + "indexed1/a.html");
    const std::size_t first = ann.find("first of three"), second = ann.find("second"),
                      third = ann.find("third");
    EXPECT_TRUE(ann.find("earlier") < first && first < second && second < third &&
                third < ann.find("only in the log"))
        << ann;
    EXPECT_EQ(test::folderSnapshot(phone), before);
}

TEST_F(ExportRunTest, ChatsWithTheSameNumberNeverShareAPage) {
    test::makeAndroidFolder(
        dir.path() + "phone/",
        messageRow("491@s.whatsapp.net", 0, "0", "1496226000123", "to Anna") +
            messageRow("491@g.us", 0, "0", "1500000000000", "to the group", "4917@s.whatsapp.net") +
            messageRow("index@s.whatsapp.net", 1, "0", "1400000000000", "to index"),
        contactRow("491@s.whatsapp.net", "Anna", nullptr) + contactRow("491@g.us", "Group", nullptr) +
            contactRow("index@s.whatsapp.net", "Index", nullptr));
    test::loadAndroidFolder(dir.path() + "phone/");
    CAndroidWeiXin source(chosenPhoneFolder());
    // One chat at a time, in either order, as a user may export them on different days.
    for (const char* jid : {"491@s.whatsapp.net", "491@g.us", "index@s.whatsapp.net"})
        ASSERT_TRUE(exportRows(source, {test::rowOfJid(jid)}).complete()) << jid;
    EXPECT_NE(test::readFile(out + "/491.html").find("to the group"), std::string::npos);
    EXPECT_NE(test::readFile(out + "/491-2.html").find("to Anna"), std::string::npos);
    EXPECT_NE(test::readFile(out + "/index-2.html").find("to index"), std::string::npos);
    EXPECT_EQ(test::indexLinks(out), (std::vector<std::string>{"491.html", "491-2.html", "index-2.html"}));
}

// Exports of single chats into one folder, on different days and in any order: a file never
// overwrites another of the same name, and what is there already is neither copied nor decoded again.
TEST_F(ExportRunTest, MediaOfEarlierExportsAreKeptAndReused) {
    const std::string phone = dir.path() + "phone/";
    const std::string res = dir.path() + "res/";
    fs::create_directories(phone);
    test::makeIphoneFolder(
        phone,
        "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID, ZPARTNERNAME) VALUES (1, 'a@s', 'Ann'), (2, 'b@s', "
        "'Bo');"
        "INSERT INTO ZWAMESSAGE (Z_PK, ZISFROMME, ZMESSAGETYPE, ZMESSAGEDATE, ZFROMJID, ZTOJID) VALUES "
        "(1, 0, 1, 10, 'a@s', 'me'), (2, 0, 1, 20, 'b@s', 'me'), (3, 0, 3, 30, 'a@s', 'me');"
        "INSERT INTO ZWAMEDIAITEM (Z_PK, ZMESSAGE, ZMEDIALOCALPATH) VALUES (1, 1, 'Media/a/same.jpg'), "
        "(2, 2, 'Media/b/same.jpg'), (3, 3, 'Media/a/note.opus');");
    test::writeFile(res + "Library/Media/a/same.jpg", "Ann's picture");
    test::writeFile(res + "Library/Media/b/same.jpg", "Bo's picture");
    fs::create_directories(res + "Library/Media/a");
    fs::copy_file(test::iphoneFixtureResources("basic") +
                      "Library/Media/4915110000001@s.whatsapp.net/5/c/5c3f2e74-hello.opus",
                  res + "Library/Media/a/note.opus");
    // The real decoder, counting its runs.
    const std::string decoder = dir.path() + "counting-opusdec";
    test::writeFile(decoder, "#!/bin/sh\necho run >> '" + dir.path() + "decodes'\nexec opusdec \"$@\"\n");
    fs::permissions(decoder, fs::perms::owner_all);
    test::loadIphoneFolder(phone, res);
    CIphoneWeiXin source(chosenPhoneFolder());
    const auto exportOf = [&](const std::vector<int>& rows) {
        ExportRun run(source, out);
        run.setVoiceDecoder(decoder);
        return run.run(rows);
    };
    const int ann = test::rowOfJid("a@s"), bo = test::rowOfJid("b@s");
    ASSERT_TRUE(exportOf({bo}).complete());
    const ExportReport first = exportOf({ann});
    ASSERT_TRUE(first.complete());
    EXPECT_EQ(first.mediaFiles, 3);

    const std::vector<std::string> annPictures =
        test::textsBetween(test::readFile(out + "/a.html"), "<img src=\"images\\", "\"/>");
    ASSERT_EQ(annPictures.size(), 1u);
    EXPECT_EQ(test::textsBetween(test::readFile(out + "/b.html"), "<img src=\"images\\", "\"/>"),
              std::vector<std::string>{"same.jpg"});
    EXPECT_EQ(test::readFile(out + "/images/same.jpg"), "Bo's picture");
    // Ann's file is named after its place in the phone's folder: the same on every export.
    EXPECT_EQ(annPictures[0].size(), std::string("same-12345678.jpg").size()) << annPictures[0];
    EXPECT_EQ(test::readFile(out + "/images/" + annPictures[0]), "Ann's picture");
    EXPECT_EQ(test::readFile(dir.path() + "decodes"), "run\n");

    // Everything again, in the other order: the same names, no file written anew, no decode.
    const auto before = test::folderSnapshot(out);
    const auto pageTime = fs::last_write_time(out + "/images/same.jpg");
    const auto wavTime = fs::last_write_time(out + "/voice/note.wav");
    const ExportReport again = exportOf({ann, bo});
    EXPECT_TRUE(again.complete());
    EXPECT_EQ(again.mediaFiles, 4);
    EXPECT_EQ(test::folderSnapshot(out), before);
    EXPECT_EQ(fs::last_write_time(out + "/images/same.jpg"), pageTime);
    EXPECT_EQ(fs::last_write_time(out + "/voice/note.wav"), wavTime);
    EXPECT_EQ(test::readFile(dir.path() + "decodes"), "run\n");

    // A WAV whose note has gone may belong to another note: it is not taken over.
    fs::remove(out + "/voice/note.opus");
    test::writeFile(out + "/voice/note.wav", "someone else's");
    ASSERT_TRUE(exportOf({ann}).complete());
    EXPECT_EQ(test::readFile(out + "/voice/note.wav"), "someone else's");
    EXPECT_EQ(
        test::textsBetween(test::readFile(out + "/a.html"), "PlayMyWav(this,'", "')").at(0).rfind("note-", 0),
        0u);
}

// An export folder prepared with links: at the names the pages and index are written under, the
// names their temporary files used to have, and in place of the media folders.
TEST_F(ExportRunTest, APreparedFolderIsNeverWrittenThrough) {
    test::loadIphoneFolder(test::iphoneFixtureData("basic"), test::iphoneFixtureResources("basic"));
    CIphoneWeiXin source(chosenPhoneFolder());
    const std::string elsewhere = dir.path() + "elsewhere/";
    test::writeFile(elsewhere + "victim", "keep me");
    fs::create_directories(elsewhere + "media");
    fs::create_directories(out);
    const std::string pid = std::to_string(::getpid());
    for (const std::string& name : {"index.html.part-" + pid, "4915110000001.html.part-" + pid,
                                    std::string("4915110000001.html"), ".index.html.part-" + pid + "-0"})
        fs::create_symlink(elsewhere + "victim", out + "/" + name);
    for (const char* folder : {"images", "voice", "video"})
        fs::create_symlink(elsewhere + "media", out + "/" + folder);

    const ExportReport report = exportRows(source, allRows(contactTable()));
    EXPECT_EQ(test::readFile(elsewhere + "victim"), "keep me");
    EXPECT_TRUE(fs::is_empty(elsewhere + "media"));
    // The pages are written, the page that was a link among them; the media are named as failed.
    EXPECT_TRUE(report.failedPages.empty());
    EXPECT_FALSE(fs::is_symlink(out + "/4915110000001.html"));
    EXPECT_NE(test::readFile(out + "/4915110000001.html").find("<html>"), std::string::npos);
    ASSERT_FALSE(report.failedMedia.empty());
    EXPECT_NE(report.failedMedia[0].find("is not a folder of the export"), std::string::npos)
        << report.failedMedia[0];
    EXPECT_FALSE(report.complete());
}

TEST_F(ExportRunTest, LeftoversOfACrashedExportGo) {
    test::loadIphoneFolder(test::iphoneFixtureData("basic"), test::iphoneFixtureResources("basic"));
    CIphoneWeiXin source(chosenPhoneFolder());
    // A process number that no process has: beyond the largest one the system hands out.
    const std::string gone =
        out + "/.talvio-working-" + std::to_string(std::stol(test::readFile("/proc/sys/kernel/pid_max")));
    const std::string alive = out + "/.talvio-working-1";
    const std::string mine = out + "/.talvio-working-notes";
    for (const std::string& folder : {gone, alive, mine})
        test::writeFile(folder + "/ChatStorage.sqlite", "copy");
    ASSERT_TRUE(exportRows(source, {0}).complete());
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_TRUE(fs::exists(alive));
    EXPECT_TRUE(fs::exists(mine));
}

TEST_F(ExportRunTest, FoldersAnExportMustNotWriteInto) {
    const std::string phone = dir.path() + "phone/";
    fs::create_directories(phone);
    fs::copy(test::iphoneFixtureData("basic"), phone + "data", fs::copy_options::recursive);
    fs::copy(test::iphoneFixtureResources("basic"), phone + "res", fs::copy_options::recursive);
    fs::create_symlink(phone + "data", dir.path() + "link");
    test::loadIphoneFolder(phone + "data/", phone + "res/");
    const auto before = test::folderSnapshot(phone);
    CIphoneWeiXin source(chosenPhoneFolder());
    for (const std::string& folder : {phone + "data", phone + "data/sub/", phone + "res/Library",
                                      dir.path() + "link/x", phone + "res/../res"}) {
        const ExportReport report = ExportRun(source, folder).run(allRows(contactTable()));
        EXPECT_NE(report.error.find("cannot be exported into the phone's folder"), std::string::npos)
            << folder;
        EXPECT_EQ(report.pages, 0) << folder;
    }
    EXPECT_EQ(test::folderSnapshot(phone), before);
    // Beside the phone's folders is fine.
    EXPECT_TRUE(ExportRun(source, phone + "export").run({0}).complete());

    // Nor does an export replace the start page of something else.
    test::writeFile(dir.path() + "site/index.html", "<html>my site</html>");
    const ExportReport site = ExportRun(source, dir.path() + "site").run({0});
    EXPECT_NE(site.error.find("holds an index.html that is not an export of chats"), std::string::npos);
    EXPECT_EQ(test::readFile(dir.path() + "site/index.html"), "<html>my site</html>");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() + "site"), fs::directory_iterator()), 1);
}

TEST_F(ExportRunTest, TheClosingMessageSaysWhatWasWrittenAndWhatIsMissing) {
    test::loadIphoneFolder(test::iphoneFixtureData("hostile"), test::iphoneFixtureResources("hostile"));
    CIphoneWeiXin source(chosenPhoneFolder());
    const ExportSummary failed = exportSummary(exportRows(source, allRows(contactTable())));
    EXPECT_TRUE(failed.problem);
    EXPECT_TRUE(failed.offerOpen);
    EXPECT_NE(failed.text.find("Written into " + out + ": "), std::string::npos) << failed.text;
    EXPECT_NE(failed.text.find("and 9 media files."), std::string::npos) << failed.text;
    EXPECT_NE(
        failed.text.find("3 media files could not be copied or converted; the pages cannot show or play "
                         "them:\n    "),
        std::string::npos)
        << failed.text;
    EXPECT_NE(failed.text.find("\n    voice/broken.wav: opusdec could not decode it"), std::string::npos);
    EXPECT_NE(failed.text.find("/Library/Media/../secret.jpg: its path leaves the resource folder"),
              std::string::npos)
        << failed.text;
    EXPECT_EQ(failed.text.substr(failed.text.size() - 22), "\n\nOpen the folder now?");

    // Cancelled after two chats: the index is written all the same, and says so.
    contactTable().destroy();
    test::loadIphoneFolder(test::iphoneFixtureData("basic"), test::iphoneFixtureResources("basic"));
    const ExportReport cancelled =
        ExportRun(source, dir.path() + "cancelled").run(allRows(contactTable()), [](int done, int) {
            return done < 2;
        });
    EXPECT_EQ(cancelled.chats, 2);
    EXPECT_EQ(test::indexLinks(dir.path() + "cancelled").size(), 2u);
    const ExportSummary stopped = exportSummary(cancelled);
    EXPECT_TRUE(stopped.problem);
    EXPECT_EQ(
        stopped.text.rfind("The export was cancelled after 2 of 6 chats; 4 chats were not exported.\nWritten "
                           "into " +
                               dir.path() + "cancelled: 3 pages (index.html included) and ",
                           0),
        0u)
        << stopped.text;

    const ExportSummary nothing = exportSummary(ExportRun(source, "/proc/no/such").run({0}));
    EXPECT_FALSE(nothing.offerOpen);
    EXPECT_EQ(nothing.text, "Nothing was exported. The folder /proc/no/such could not be created.");
}

}  // namespace
}  // namespace talvio
