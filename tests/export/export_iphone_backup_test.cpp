// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// talvio-export on iPhone computer backups made from the iPhone fixture folders: the same pages
// and media as the folders give, the backup untouched, nothing decrypted left behind.
#include "export/export_run.h"
#include "export/indexed_copy.h"
#include "iosbackup/backup_crypto.h"
#include "iosbackup/backup_writer.h"
#include "sources/contact_table.h"
#include "sources/iphone_backup_opening.h"
#include "sources/iphone_weixin.h"
#include "sources/program_state.h"
#include "tests/iphone/iphone_test_support.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace talvio {
namespace {

namespace fs = std::filesystem;
using test::runCommand;

constexpr const char* kShared = "AppDomainGroup-group.net.whatsapp.WhatsApp.shared";
constexpr const char* kApp = "AppDomain-net.whatsapp.WhatsApp";
constexpr const char* kPassword = "sommer 2026 \xc3\xbc";
const std::string tool = TALVIO_EXPORT_TOOL;

std::string storedPath(const std::string& folder, const std::string& domain, const std::string& path) {
    const std::string id = ios::sha1Hex(domain + "-" + path);
    return folder + id.substr(0, 2) + "/" + id;
}

// Every file below folder (relative path -> bytes).
std::map<std::string, std::string> contentsBelow(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = test::readFile(entry.path().string());
    }
    return files;
}

class IphoneBackupExport : public ::testing::Test {
protected:
    std::string makeBackup(const std::string& name, bool encrypted, bool finished = true) {
        const std::string folder = work.path() + name + "/";
        test::makeIphoneBackup("basic", folder, encrypted ? kPassword : "", 8, finished);
        return folder;
    }
    // Runs talvio-export with its temporary folder below the work folder.
    test::CommandResult run(const std::string& arguments) {
        return runCommand("TMPDIR=" + temp + " " + tool + " " + arguments);
    }
    void expectFailure(const std::string& arguments, const std::string& words) {
        const test::CommandResult result = run(arguments);
        EXPECT_NE(result.status, 0) << arguments;
        EXPECT_NE(result.out.find(words), std::string::npos) << arguments << "\n" << result.out;
    }
    void SetUp() override {
        fs::create_directories(temp);
        test::writeFile(passwordFile, std::string(kPassword) + "\n");
    }
    void TearDown() override {
        // Nothing decrypted stays in the temporary folder after any run.
        EXPECT_EQ(contentsBelow(temp), (std::map<std::string, std::string>{}));
    }

    test::TempDir work;
    const std::string temp = work.path() + "tmp/";
    const std::string passwordFile = work.path() + "password.txt";
};

// The hostile fixture brings media whose names collide and paths that leave the folder; its
// backup names the copies as the folder does.
TEST_F(IphoneBackupExport, PlainAndEncryptedBackupsExportWhatTheFolderExports) {
    for (const char* fixture : {"basic", "hostile"}) {
        SCOPED_TRACE(fixture);
        const std::string folderOut = work.path() + fixture + "-from-folder";
        const int status = run("--resources " + test::iphoneFixtureResources(fixture) + " " +
                               test::iphoneFixtureData(fixture) + " " + folderOut)
                               .status;
        const auto expected = contentsBelow(folderOut);
        ASSERT_GT(expected.size(), 3u);
        const std::string list = run("--list " + test::iphoneFixtureData(fixture)).out;

        for (const bool encrypted : {false, true}) {
            SCOPED_TRACE(encrypted ? "encrypted" : "plain");
            const std::string backup = work.path() + fixture + (encrypted ? "-encrypted/" : "-plain/");
            test::makeIphoneBackup(fixture, backup, encrypted ? kPassword : "");
            const auto before = test::folderSnapshot(backup);
            const std::string password = encrypted ? "--password-file " + passwordFile + " " : "";
            const std::string out =
                backup + "../" + fixture + (encrypted ? "-from-encrypted" : "-from-plain");
            const test::CommandResult result = run(password + backup + " " + out);
            EXPECT_EQ(result.status, status) << result.out;
            EXPECT_EQ(contentsBelow(out), expected);
            EXPECT_EQ(run(password + "--list " + backup).out, list);
            // The password also comes on standard input, never on the command line.
            if (encrypted) {
                EXPECT_EQ(runCommand("TMPDIR=" + temp + " " + tool + " --password-file - --list " + backup +
                                     " < " + passwordFile)
                              .out,
                          list);
            }
            EXPECT_EQ(test::folderSnapshot(backup), before);
        }
    }
}

// Current WhatsApp versions keep ContactsV2.sqlite and no Contacts.sqlite: such a folder opens.
TEST_F(IphoneBackupExport, AFolderWithContactsV2Only) {
    const std::string folder = work.path() + "current/";
    fs::copy(test::iphoneFixtureData("basic"), folder, fs::copy_options::recursive);
    fs::rename(folder + "Contacts.sqlite", folder + "ContactsV2.sqlite");
    const test::CommandResult list = run("--list " + folder);
    EXPECT_EQ(list.status, 0) << list.out;
    EXPECT_EQ(list.out, run("--list " + test::iphoneFixtureData("basic")).out);
    fs::remove(folder + "ContactsV2.sqlite");
    expectFailure("--list " + folder, "not a WhatsApp folder");
}

TEST_F(IphoneBackupExport, OutcomesTellTheUserWhatToDo) {
    const std::string encrypted = makeBackup("encrypted", true);
    const auto before = test::folderSnapshot(encrypted);
    test::writeFile(work.path() + "wrong.txt", "Sommer 2026\n");
    expectFailure("--password-file " + work.path() + "wrong.txt --list " + encrypted,
                  "This password does not open this backup");
    expectFailure("--list " + encrypted, "--password-file");
    expectFailure("--resources " + work.path() + " --password-file " + passwordFile + " --list " + encrypted,
                  "brings its own media");
    EXPECT_EQ(test::folderSnapshot(encrypted), before);

    expectFailure("--list " + makeBackup("unfinished", false, false), "still being written");
    const std::string plain = makeBackup("plain", false);
    expectFailure("--password-file " + passwordFile + " --list " + test::iphoneFixtureData("basic"),
                  "--password-file is for iPhone computer backups");

    // A damaged Manifest.db, and a chat store missing from the folder.
    const std::string damaged = work.path() + "damaged/";
    fs::copy(plain, damaged, fs::copy_options::recursive);
    test::writeFile(damaged + "Manifest.db", std::string(4096, 'x'));
    expectFailure("--list " + damaged, "Manifest.db) is damaged");
    const std::string store = storedPath(plain, kShared, "ChatStorage.sqlite");
    fs::resize_file(store, 100);
    expectFailure("--list " + plain, "ChatStorage.sqlite is missing from the backup folder or cut short");
    fs::remove(store);
    expectFailure("--list " + plain, "ChatStorage.sqlite is missing");
}

// An export of many chats reads an indexed copy of the store; a backup's, held in memory, gets
// one in memory, and the pages stay those of the folder.
TEST_F(IphoneBackupExport, TheIndexedCopyOfAStoreInMemoryGivesTheSamePages) {
    resetProgramState();
    const auto exportWith = [&](PhoneFolder folder, const std::string& out) {
        CIphoneWeiXin source(std::move(folder));
        source.LoadContacts(contactTable());
        ExportRun run(source, work.path() + out);
        run.setIndexedCopy(ExportRun::IndexedCopy::Always);
        const ExportReport report = run.run(allRows(contactTable()));
        EXPECT_TRUE(report.error.empty()) << report.error;
        return contentsBelow(work.path() + out);
    };
    const auto expected = exportWith(phoneFolderOf(kSourceIPhone, test::iphoneFixtureData("basic"),
                                                   test::iphoneFixtureResources("basic"), 0),
                                     "from-folder");
    const std::string backup = makeBackup("encrypted", true);
    IphoneBackupOpening opening = openIphoneBackup(backup, ios::Secret(std::string_view(kPassword)), {}, 0);
    ASSERT_TRUE(opening.folder) << opening.error.message;
    ASSERT_TRUE(opening.folder->heldMessageDb);
    const auto indexed = indexedStoreImage(*opening.folder->heldMessageDb);
    ASSERT_TRUE(indexed);
    Database database;
    ASSERT_EQ(database.openImage(indexed->bytes()), 0);
    Statement indexes(database, "SELECT count(*) FROM sqlite_master WHERE name LIKE 'talvio_export_%'");
    ASSERT_TRUE(indexes.step());
    EXPECT_EQ(indexes.int64(0), 2);
    EXPECT_EQ(exportWith(*opening.folder, "from-backup"), expected);
    contactTable().destroy();
    resetProgramState();
}

// A run killed while it shows a page with decrypted media leaves them only until the next run.
TEST_F(IphoneBackupExport, AKilledRunsFilesGoAtTheNextRun) {
    const std::string backup = makeBackup("encrypted", true);
    // Its output goes into a pipe that is full already: the run blocks printing the page, once
    // the page's media are decrypted.
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    ::fcntl(out[1], F_SETFL, O_NONBLOCK);
    const std::string filler(4096, 'x');
    while (::write(out[1], filler.data(), filler.size()) > 0) {
    }
    ::fcntl(out[1], F_SETFL, 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv("TMPDIR", temp.c_str(), 1);
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::execl(tool.c_str(), tool.c_str(), "--password-file", passwordFile.c_str(), "--page", "0",
                backup.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::size_t decrypted = 0;
    for (int i = 0; i < 1000 && decrypted < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        decrypted = contentsBelow(temp).size();
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(out[0]);
    // Ann's page shows five media files, decrypted when it was built.
    EXPECT_GE(decrypted, 5u);
    EXPECT_EQ(run("--password-file " + passwordFile + " --list " + backup).status, 0);
}

}  // namespace
}  // namespace talvio
