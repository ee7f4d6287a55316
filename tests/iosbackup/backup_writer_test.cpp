// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iosbackup/backup_writer.h"
#include "backup_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace talvio::ios {
namespace {

namespace fs = std::filesystem;

TEST(BackupTree, TopFoldersAreDomainsAndLinksAreLeftOut) {
    test::TempDir dir;
    const std::string tree = dir.path() + "tree/";
    test::writeFile(tree + test::kShared + "/ChatStorage.sqlite", "chats");
    test::writeFile(tree + test::kShared + "/Message/Media/a b/ü.jpg", "picture");
    test::writeFile(tree + "HomeDomain/Library/SMS/sms.db", "sms");
    fs::create_symlink(tree + "HomeDomain/Library/SMS/sms.db", tree + "HomeDomain/Library/link.db");
    std::vector<BackupFile> files;
    ASSERT_EQ(readBackupTree(tree, files), "");
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].domain, test::kShared);
    EXPECT_EQ(files[0].relativePath, "ChatStorage.sqlite");
    EXPECT_EQ(files[1].relativePath, "Message/Media/a b/ü.jpg");
    EXPECT_EQ(files[1].content, "picture");
    EXPECT_EQ(files[2].domain, "HomeDomain");

    // The tree's files come back out of an encrypted backup made from it.
    ASSERT_EQ(writeBackup(dir.path() + "backup", files, test::encryptedOptions()), "");
    IosBackup backup;
    test::TempDir work;
    ASSERT_FALSE(backup.open(dir.path() + "backup").failed());
    ASSERT_FALSE(backup.unlock(Secret(std::string_view(test::kPassword)), {}, work.path()).failed());
    BackupEntry entry;
    ASSERT_FALSE(backup.lookup(test::kShared, "Message/Media/a b/ü.jpg", entry).failed());
    MemorySink sink;
    ASSERT_FALSE(backup.materialise(entry, sink).failed());
    EXPECT_EQ(sink.bytes(), "picture");

    test::writeFile(tree + "stray.txt", "no domain");
    EXPECT_NE(readBackupTree(tree, files), "");
    EXPECT_NE(readBackupTree(dir.path() + "missing", files), "");
}

}  // namespace
}  // namespace talvio::ios
