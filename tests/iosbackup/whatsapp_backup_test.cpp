// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iosbackup/whatsapp_backup.h"
#include "backup_fixture.h"
#include "iosbackup/private_folder.h"
#include "sources/database.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace talvio::ios {
namespace {

using test::kApp;
using test::kShared;

constexpr const char* kBusinessShared = "AppDomainGroup-group.net.whatsapp.WhatsAppSMB.shared";
constexpr const char* kCloudBackupAdvice =
    "WhatsApp's end-to-end encrypted iCloud backup keeps chats out of computer backups; turn it off in "
    "WhatsApp "
    "before making the computer backup.";

class WhatsApp : public ::testing::TestWithParam<bool> {
protected:
    void TearDown() override {
        if (!m_before.empty()) {
            EXPECT_EQ(test::folderSnapshot(m_backup), m_before);
        }
        EXPECT_TRUE(test::isEmptyFolder(m_work.path()));
    }

    // Writes and opens a backup of files; fails the case when it cannot be opened.
    void openWith(const std::vector<BackupFile>& files) {
        m_backup = m_dir.path() + "backup/";
        test::makeBackup(m_backup, files, GetParam() ? test::encryptedOptions() : BackupWriterOptions());
        m_before = test::folderSnapshot(m_backup);
        ASSERT_FALSE(m_opened.open(m_backup).failed());
        if (m_opened.encrypted()) {
            ASSERT_FALSE(
                m_opened.unlock(Secret(std::string_view(test::kPassword)), {}, m_work.path()).failed());
        }
    }

    test::TempDir m_dir;
    test::TempDir m_work;
    std::string m_backup;
    std::map<std::string, std::string> m_before;
    IosBackup m_opened;
};

TEST_P(WhatsApp, FindsChatsContactsAndMediaByPath) {
    openWith(test::sampleFiles());
    std::vector<WhatsAppInBackup> found;
    ASSERT_FALSE(findWhatsApp(m_opened, found).failed());
    ASSERT_EQ(found.size(), 1u);
    const WhatsAppInBackup& app = found[0];
    EXPECT_EQ(app.kind, WhatsAppKind::Messenger);
    EXPECT_EQ(app.chatStorage.relativePath, "ChatStorage.sqlite");
    ASSERT_TRUE(app.chatStorageLog);
    ASSERT_TRUE(app.contacts);
    EXPECT_EQ(app.contacts->relativePath, "ContactsV2.sqlite");

    BackupEntry entry;
    ASSERT_FALSE(findMedia(m_opened, app, test::kPhotoPath, entry).failed());
    EXPECT_EQ(entry.domain, kShared);
    // Older WhatsApp versions kept media in the app's own domain, under Library/.
    ASSERT_FALSE(findMedia(m_opened, app, "Media/old/voice.opus", entry).failed());
    EXPECT_EQ(entry.domain, kApp);
    EXPECT_EQ(entry.relativePath, "Library/Media/old/voice.opus");
    EXPECT_EQ(findMedia(m_opened, app, "Media/none.jpg", entry).problem, BackupProblem::NotListed);
    ASSERT_FALSE(findProfilePicture(m_opened, app, "4915112345678-1700000000.thumb", entry).failed());
    MemorySink picture;
    ASSERT_FALSE(m_opened.materialise(entry, picture).failed());
    EXPECT_EQ(picture.bytes(), "profile");
}

TEST_P(WhatsApp, ChatStorageOpensWithItsLogInAPrivateFolder) {
    openWith(test::sampleFiles());
    std::vector<WhatsAppInBackup> found;
    ASSERT_FALSE(findWhatsApp(m_opened, found).failed());
    PrivateFolder folder(m_work.path());
    std::string path;
    ASSERT_FALSE(materialiseChatStorage(m_opened, found[0], folder.path(), path).failed());
    Database db;
    // The copy is ours: SQLite may apply the log to it.
    ASSERT_EQ(db.open(path, Database::Access::ReadWriteExisting), 0);
    Statement rows(db, "SELECT ZTEXT FROM ZWAMESSAGE ORDER BY Z_PK");
    std::vector<std::string> texts;
    while (rows.step())
        texts.emplace_back(rows.textView(0));
    EXPECT_EQ(texts, (std::vector<std::string>{"hello", "from the log"}));
}

TEST_P(WhatsApp, ChatStorageThatCannotBeReadLeavesNothingBehind) {
    openWith(test::sampleFiles());
    std::vector<WhatsAppInBackup> found;
    ASSERT_FALSE(findWhatsApp(m_opened, found).failed());
    std::filesystem::resize_file(test::storedFile(m_backup, kShared, "ChatStorage.sqlite-wal"), 16);
    m_before = test::folderSnapshot(m_backup);
    PrivateFolder folder(m_work.path());
    std::string path;
    EXPECT_EQ(materialiseChatStorage(m_opened, found[0], folder.path(), path).problem,
              BackupProblem::TruncatedFile);
    EXPECT_TRUE(test::isEmptyFolder(folder.path()));
}

TEST_P(WhatsApp, BusinessIsFoundBesideOrInsteadOfWhatsApp) {
    std::vector<BackupFile> files = test::sampleFiles();
    files.push_back({kBusinessShared, "ChatStorage.sqlite", test::chatStorage().database});
    files.push_back({kBusinessShared, "Contacts.sqlite", "older contacts"});
    openWith(files);
    std::vector<WhatsAppInBackup> found;
    ASSERT_FALSE(findWhatsApp(m_opened, found).failed());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].kind, WhatsAppKind::Messenger);
    EXPECT_EQ(found[1].kind, WhatsAppKind::Business);
    EXPECT_EQ(found[1].sharedDomain, kBusinessShared);
    EXPECT_FALSE(found[1].chatStorageLog);
    ASSERT_TRUE(found[1].contacts);
    EXPECT_EQ(found[1].contacts->relativePath, "Contacts.sqlite");
}

TEST_P(WhatsApp, NoWhatsAppAtAll) {
    std::vector<BackupFile> files = test::withoutDomain(kShared);
    std::erase_if(files, [](const BackupFile& file) { return file.domain == kApp; });
    openWith(files);
    std::vector<WhatsAppInBackup> found;
    const BackupError error = findWhatsApp(m_opened, found);
    EXPECT_EQ(error.problem, BackupProblem::NoWhatsApp);
    EXPECT_NE(error.message.find("no WhatsApp"), std::string::npos);
    EXPECT_TRUE(found.empty());
}

TEST_P(WhatsApp, ChatsLeftOutOfTheBackupSayWhy) {
    // The shared domain without its database, and a backup with only the app's own domain.
    std::vector<BackupFile> withoutChats = test::withoutFile("ChatStorage.sqlite");
    std::erase_if(withoutChats,
                  [](const BackupFile& file) { return file.relativePath == "ChatStorage.sqlite-wal"; });
    for (const auto& files : {withoutChats, test::withoutDomain(kShared)}) {
        ASSERT_NO_FATAL_FAILURE(openWith(files));
        std::vector<WhatsAppInBackup> found;
        const BackupError error = findWhatsApp(m_opened, found);
        EXPECT_EQ(error.problem, BackupProblem::NoChatStorage);
        EXPECT_NE(error.message.find(kCloudBackupAdvice), std::string::npos);
        EXPECT_EQ(test::folderSnapshot(m_backup), m_before);
        std::filesystem::remove_all(m_backup);
        m_before.clear();
    }
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncrypted, WhatsApp, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "Encrypted" : "Plain";
                         });

}  // namespace
}  // namespace talvio::ios
