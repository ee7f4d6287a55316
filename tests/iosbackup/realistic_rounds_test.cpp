// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup_fixture.h"
#include "iosbackup/whatsapp_backup.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace talvio::ios {
namespace {

// The one case with the round counts of a real iPhone (seconds of work, twice: writing and
// reading); every other case uses a handful of rounds.
TEST(RealisticRounds, OpensABackupWithTheRoundCountsOfAnIphone) {
    test::TempDir dir;
    test::TempDir work;
    BackupWriterOptions options = test::encryptedOptions();
    options.dataProtectionRounds = 10'000'000;
    options.rounds = 10'000;
    test::makeBackup(dir.path(), test::sampleFiles(), options);
    const auto before = test::folderSnapshot(dir.path());

    IosBackup backup;
    ASSERT_FALSE(backup.open(dir.path()).failed());
    std::vector<double> steps;
    const auto record = [&](double done) {
        steps.push_back(done);
        return true;
    };
    ASSERT_FALSE(backup.unlock(Secret(std::string_view(test::kPassword)), record, work.path()).failed());
    // The long derivation is most of the work, and progress says so once it is done.
    ASSERT_GE(steps.size(), 2u);
    EXPECT_GT(steps[1], 0.85);

    std::vector<WhatsAppInBackup> found;
    ASSERT_FALSE(findWhatsApp(backup, found).failed());
    MemorySink chats;
    ASSERT_FALSE(backup.materialise(found[0].chatStorage, chats).failed());
    EXPECT_TRUE(chats.bytes() == test::sampleFiles()[0].content);
    EXPECT_EQ(test::folderSnapshot(dir.path()), before);
    EXPECT_TRUE(test::isEmptyFolder(work.path()));
}

}  // namespace
}  // namespace talvio::ios
