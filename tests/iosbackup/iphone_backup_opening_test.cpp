// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// A computer backup opened as the iPhone source's folder: the chat store, media and pictures,
// and what stays behind on this computer.
#include "sources/iphone_backup_opening.h"
#include "backup_fixture.h"
#include "sources/chat_software.h"
#include "sources/database.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace talvio {
namespace {

namespace fs = std::filesystem;
using test::kApp;
using test::kPhotoPath;
using test::kShared;

int messageCount(const PhoneFolder& folder) {
    Database database;
    if (openMessageDatabase(folder, database) != 0)
        return -1;
    Statement count(database, "SELECT count(*) FROM ZWAMESSAGE");
    return count.step() ? static_cast<int>(count.int64(0)) : -1;
}

// Every regular file below folder.
std::vector<std::string> filesBelow(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file())
            files.push_back(it->path().string());
    }
    return files;
}

// Runs with the temporary folder of its own, to see what an opening leaves there.
class IphoneBackupOpeningTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        fs::create_directories(m_temp);
        const char* old = std::getenv("TMPDIR");
        m_oldTemp = old != nullptr ? old : "";
        m_hadTemp = old != nullptr;
        ::setenv("TMPDIR", m_temp.c_str(), 1);
    }
    void TearDown() override {
        if (m_hadTemp)
            ::setenv("TMPDIR", m_oldTemp.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
        if (!m_before.empty()) {
            EXPECT_EQ(test::folderSnapshot(m_backup), m_before);
        }
    }

    IphoneBackupOpening open(const std::vector<ios::BackupFile>& files,
                             const char* password = test::kPassword) {
        test::makeBackup(m_backup, files, GetParam() ? test::encryptedOptions() : ios::BackupWriterOptions());
        m_before = test::folderSnapshot(m_backup);
        return openIphoneBackup(m_backup, ios::Secret(std::string_view(password)), {}, 0);
    }

    test::TempDir m_dir;
    const std::string m_backup = m_dir.path() + "backup/";
    const std::string m_temp = m_dir.path() + "tmp/";
    std::map<std::string, std::string> m_before;
    std::string m_oldTemp;
    bool m_hadTemp = false;
};

TEST_P(IphoneBackupOpeningTest, ReadsTheStoreWithItsLogAndFindsMediaAndPictures) {
    IphoneBackupOpening opening = open(test::sampleFiles());
    ASSERT_TRUE(opening.folder) << opening.error.message;
    EXPECT_EQ(opening.folder->kind, kSourceIPhone);
    // The row that is only in the log counts: the store was read with its log applied.
    EXPECT_EQ(messageCount(*opening.folder), 2);
    ASSERT_TRUE(opening.folder->backupFiles);
    BackupFiles& files = *opening.folder->backupFiles;
    EXPECT_EQ(files.decrypted(), GetParam());

    const std::string photo = files.mediaFile(kPhotoPath);
    ASSERT_FALSE(photo.empty());
    std::string expected;
    for (const ios::BackupFile& file : test::sampleFiles()) {
        if (file.relativePath == std::string("Message/") + kPhotoPath)
            expected = file.content;
    }
    EXPECT_EQ(test::readFile(photo), expected);
    EXPECT_EQ(files.mediaFile(kPhotoPath), photo);  // decrypted once
    // Older versions kept media in the app's own domain under Library/.
    EXPECT_EQ(test::readFile(files.mediaFile("Media/old/voice.opus")), std::string(32, 'v'));
    EXPECT_EQ(test::readFile(files.pictureFile("Media/Profile/4915112345678-1700000000.thumb")), "profile");
    EXPECT_EQ(files.mediaFile("Media/none.jpg"), "");
    EXPECT_EQ(files.mediaFile("../Library/SMS/sms.db"), "");
    EXPECT_EQ(files.pictureFile("Library/SMS/sms.db"), "");

    if (GetParam()) {
        // Decrypted files lie in a folder only we may enter, and go with the folder.
        EXPECT_EQ(photo.rfind(m_temp, 0), 0u) << photo;
        struct stat status {};
        ASSERT_EQ(::stat(fs::path(photo).parent_path().c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u);
    } else {
        // A plain backup's file is read where it lies.
        EXPECT_EQ(photo, test::storedFile(m_backup, kShared, std::string("Message/") + kPhotoPath));
    }
    opening.folder.reset();
    EXPECT_EQ(filesBelow(m_temp), std::vector<std::string>{});
}

TEST_P(IphoneBackupOpeningTest, AStoreWithoutLog) {
    IphoneBackupOpening opening = open(test::withoutFile("ChatStorage.sqlite-wal"));
    ASSERT_TRUE(opening.folder) << opening.error.message;
    EXPECT_EQ(messageCount(*opening.folder), 1);
    // A plain store without a log is read in place; nothing of it is copied.
    EXPECT_EQ(static_cast<bool>(opening.folder->heldMessageDb), GetParam());
    if (!GetParam()) {
        EXPECT_EQ(opening.folder->messageDbPath, test::storedFile(m_backup, kShared, "ChatStorage.sqlite"));
    }
}

TEST_P(IphoneBackupOpeningTest, WhatsAppBusinessBesideWhatsApp) {
    constexpr const char* kBusiness = "AppDomainGroup-group.net.whatsapp.WhatsAppSMB.shared";
    std::vector<ios::BackupFile> files = test::sampleFiles();
    // Business's store: the same without its log, so it holds one message where WhatsApp's holds two.
    for (const ios::BackupFile& file : test::sampleFiles()) {
        if (file.domain == kShared && file.relativePath == "ChatStorage.sqlite")
            files.push_back({kBusiness, file.relativePath, file.content});
    }
    files.push_back({kBusiness, "Message/Media/b.jpg", "business photo"});
    test::makeBackup(m_backup, files, GetParam() ? test::encryptedOptions() : ios::BackupWriterOptions());
    m_before = test::folderSnapshot(m_backup);
    IphoneBackupOpening messenger =
        openIphoneBackup(m_backup, ios::Secret(std::string_view(test::kPassword)), {}, 0);
    ASSERT_TRUE(messenger.folder) << messenger.error.message;
    EXPECT_EQ(messageCount(*messenger.folder), 2);
    EXPECT_NE(messenger.note.find("WhatsApp Business"), std::string::npos);
    EXPECT_EQ(messenger.folder->backupFiles->mediaFile("Media/b.jpg"), "");

    IphoneBackupOpening business = openIphoneBackup(m_backup, ios::Secret(std::string_view(test::kPassword)),
                                                    {}, 0, ios::WhatsAppKind::Business);
    ASSERT_TRUE(business.folder) << business.error.message;
    EXPECT_EQ(messageCount(*business.folder), 1);
    EXPECT_EQ(test::readFile(business.folder->backupFiles->mediaFile("Media/b.jpg")), "business photo");
}

TEST_P(IphoneBackupOpeningTest, OutcomesSayWhatIsWrong) {
    const IphoneBackupOpening noChats = open(test::withoutFile("ChatStorage.sqlite"));
    EXPECT_EQ(noChats.error.problem, ios::BackupProblem::NoChatStorage);
    EXPECT_NE(noChats.error.message.find("end-to-end"), std::string::npos);
    fs::remove_all(m_backup);
    EXPECT_EQ(open(test::withoutDomain(kShared)).error.problem, ios::BackupProblem::NoChatStorage);
    fs::remove_all(m_backup);
    auto others = test::withoutDomain(kShared);
    std::erase_if(others, [](const ios::BackupFile& file) { return file.domain == kApp; });
    EXPECT_EQ(open(others).error.problem, ios::BackupProblem::NoWhatsApp);
    if (GetParam()) {
        fs::remove_all(m_backup);
        const IphoneBackupOpening wrong = open(test::sampleFiles(), "Tr0ub4dor&3");
        EXPECT_EQ(wrong.error.problem, ios::BackupProblem::WrongPassword);
        EXPECT_NE(wrong.error.message.find("This password does not open this backup"), std::string::npos);
        EXPECT_EQ(openIphoneBackup(m_backup, ios::Secret(), {}, 0).error.problem, ios::BackupProblem::Locked);
    }
    EXPECT_EQ(filesBelow(m_temp), std::vector<std::string>{});
}

TEST_P(IphoneBackupOpeningTest, DamagedFilesGiveMessagesOrGaps) {
    // The chat store cut short: a message, never a crash.
    test::makeBackup(m_backup, test::withoutFile("ChatStorage.sqlite-wal"),
                     GetParam() ? test::encryptedOptions() : ios::BackupWriterOptions());
    const std::string store = test::storedFile(m_backup, kShared, "ChatStorage.sqlite");
    fs::resize_file(store, fs::file_size(store) / 2);
    IphoneBackupOpening cut =
        openIphoneBackup(m_backup, ios::Secret(std::string_view(test::kPassword)), {}, 0);
    EXPECT_FALSE(cut.folder);
    EXPECT_FALSE(cut.error.message.empty());

    // A media file cut short or replaced by a link shows as missing; the rest still opens.
    fs::remove_all(m_backup);
    test::makeBackup(m_backup, test::sampleFiles(),
                     GetParam() ? test::encryptedOptions() : ios::BackupWriterOptions());
    const std::string photo = test::storedFile(m_backup, kShared, std::string("Message/") + kPhotoPath);
    fs::resize_file(photo, 1000);
    const std::string voice = test::storedFile(m_backup, kApp, "Library/Media/old/voice.opus");
    fs::remove(voice);
    fs::create_symlink("/etc/passwd", voice);
    IphoneBackupOpening opening =
        openIphoneBackup(m_backup, ios::Secret(std::string_view(test::kPassword)), {}, 0);
    ASSERT_TRUE(opening.folder) << opening.error.message;
    EXPECT_EQ(opening.folder->backupFiles->mediaFile(kPhotoPath), "");
    EXPECT_EQ(opening.folder->backupFiles->mediaFile("Media/old/voice.opus"), "");
    opening.folder.reset();
    EXPECT_EQ(filesBelow(m_temp), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncrypted, IphoneBackupOpeningTest, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "Encrypted" : "Plain"; });

// What a run that was killed left in the temporary folder goes at the next opening; what a
// running process keeps stays.
TEST(IphoneBackupSweep, RemovesOnlyFoldersOfEndedRuns) {
    test::TempDir dir;
    const char* old = std::getenv("TMPDIR");
    const std::string oldTemp = old != nullptr ? old : "";
    ::setenv("TMPDIR", dir.path().c_str(), 1);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string ended = dir.path() + "talvio-iphone-" + std::to_string(child) + "-abc123/";
    const std::string running = dir.path() + "talvio-iphone-" + std::to_string(::getppid()) + "-def456/";
    const std::string foreign = dir.path() + "talvio-iphone-notapid-x/";
    for (const std::string& folder : {ended, running, foreign}) {
        fs::create_directories(folder);
        test::writeFile(folder + "photo.jpg", "decrypted");
    }
    sweepLeftoverBackupFolders();
    EXPECT_FALSE(fs::exists(ended));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(foreign));
    if (old != nullptr)
        ::setenv("TMPDIR", oldTemp.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

}  // namespace
}  // namespace talvio
