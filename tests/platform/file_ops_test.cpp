// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "platform/file_ops.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace talvio::platform {
namespace {

using test::readFile;
using test::writeFile;
namespace fs = std::filesystem;

// Names in the folder, to show that no temporary file was left behind.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class RenameTest : public ::testing::TestWithParam<bool> {
protected:
    bool rename(const std::string& from, const std::string& to) {
        return GetParam() ? detail::linkThenUnlink(from, to) : renameNoReplace(from, to);
    }
    test::TempDir dir;
};

TEST_P(RenameTest, MovesAFileToAFreeName) {
    writeFile(dir.path() + "msgstore.db-wal", "log");
    EXPECT_TRUE(rename(dir.path() + "msgstore.db-wal", dir.path() + "msgstore.db-wal-undelete"));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"msgstore.db-wal-undelete"});
    EXPECT_EQ(readFile(dir.path() + "msgstore.db-wal-undelete"), "log");
}

TEST_P(RenameTest, NeverReplacesAnExistingTarget) {
    // The log moved aside by an earlier load must survive a second load of fresh phone data.
    writeFile(dir.path() + "msgstore.db-wal", "new log");
    writeFile(dir.path() + "msgstore.db-wal-undelete", "earlier log");
    EXPECT_FALSE(rename(dir.path() + "msgstore.db-wal", dir.path() + "msgstore.db-wal-undelete"));
    EXPECT_EQ(readFile(dir.path() + "msgstore.db-wal-undelete"), "earlier log");
    EXPECT_EQ(readFile(dir.path() + "msgstore.db-wal"), "new log");
}

TEST_P(RenameTest, MissingSourceFailsAndCreatesNothing) {
    EXPECT_FALSE(rename(dir.path() + "msgstore.db-shm", dir.path() + "msgstore.db-shm-undelete"));
    EXPECT_TRUE(namesIn(dir.path()).empty());
}

INSTANTIATE_TEST_SUITE_P(RenameAndLinkFallback, RenameTest, ::testing::Bool());

TEST(RenameNoReplace, AnEmptyFolderIsNotReplacedEither) {
    // rename() would replace an empty folder with a folder of the same kind.
    test::TempDir dir;
    fs::create_directory(dir.path() + "a");
    writeFile(dir.path() + "a/inside", "x");
    fs::create_directory(dir.path() + "b");
    EXPECT_FALSE(renameNoReplace(dir.path() + "a", dir.path() + "b"));
    EXPECT_TRUE(fs::exists(dir.path() + "a/inside"));
}

TEST(CopyFileIfMissing, CopiesOnceAndNeverReplaces) {
    test::TempDir dir;
    writeFile(dir.path() + "phone/pic.jpg", std::string(200000, 'p'));
    fs::create_directory(dir.path() + "images");
    const std::string target = dir.path() + "images/123@s.whatsapp.net.jpg";
    EXPECT_TRUE(copyFileIfMissing(dir.path() + "phone/pic.jpg", target));
    EXPECT_EQ(readFile(target), std::string(200000, 'p'));

    writeFile(dir.path() + "phone/pic.jpg", "changed on the phone");
    EXPECT_FALSE(copyFileIfMissing(dir.path() + "phone/pic.jpg", target));
    EXPECT_EQ(readFile(target), std::string(200000, 'p'));
    EXPECT_EQ(namesIn(dir.path() + "images"), std::vector<std::string>{"123@s.whatsapp.net.jpg"});
}

TEST(CopyFileIfMissing, FailuresLeaveNoFileBehind) {
    test::TempDir dir;
    fs::create_directory(dir.path() + "images");
    fs::create_directory(dir.path() + "a folder");
    EXPECT_FALSE(copyFileIfMissing(dir.path() + "missing.jpg", dir.path() + "images/x.jpg"));
    EXPECT_FALSE(copyFileIfMissing(dir.path() + "a folder", dir.path() + "images/x.jpg"));
    EXPECT_FALSE(copyFileIfMissing("/proc/self/status", dir.path() + "no such folder/x.jpg"));
    EXPECT_TRUE(namesIn(dir.path() + "images").empty());
}

TEST(CopyFileIfMissing, RefusesAFifoWithoutWaitingForAWriter) {
    // A picture path from a database could name anything; opening a FIFO without a writer blocks,
    // so that the call returns at all is the check.
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path() + "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(copyFileIfMissing(dir.path() + "fifo", dir.path() + "x.jpg"));
    EXPECT_FALSE(fs::exists(dir.path() + "x.jpg"));
}

TEST(WriteFileReplacing, ReplacesWholeAndCleansUp) {
    test::TempDir dir;
    writeFile(dir.path() + "para.dll", std::string(5000, 'o'));
    EXPECT_TRUE(writeFileReplacing(dir.path() + "para.dll", std::string("new\0data", 8)));
    EXPECT_EQ(readFile(dir.path() + "para.dll"), std::string("new\0data", 8));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"para.dll"});

    // A folder path running through a regular file can never be written.
    EXPECT_FALSE(writeFileReplacing(dir.path() + "para.dll/inner", "x"));
}

TEST(CopyFileReplacing, ReplacesALinkPlantedAtTheTargetWithoutWritingThroughIt) {
    test::TempDir dir;
    writeFile(dir.path() + "phone/note.opus", "voice");
    writeFile(dir.path() + "elsewhere/victim", "keep me");
    fs::create_directory(dir.path() + "export");
    fs::create_symlink(dir.path() + "elsewhere/victim", dir.path() + "export/note.opus");
    EXPECT_EQ(copyFileReplacing(dir.path() + "phone/note.opus", dir.path() + "export/note.opus"), "");
    EXPECT_EQ(readFile(dir.path() + "elsewhere/victim"), "keep me");
    EXPECT_FALSE(fs::is_symlink(dir.path() + "export/note.opus"));
    EXPECT_EQ(readFile(dir.path() + "export/note.opus"), "voice");
    EXPECT_EQ(namesIn(dir.path() + "export"), std::vector<std::string>{"note.opus"});
    // Only a regular file is copied.
    ASSERT_EQ(::mkfifo((dir.path() + "phone/pipe").c_str(), 0600), 0);
    EXPECT_NE(copyFileReplacing(dir.path() + "phone/pipe", dir.path() + "export/pipe"), "");
    EXPECT_FALSE(fs::exists(dir.path() + "export/pipe"));
}

TEST(CreateFileBeside, NeverOpensWhatLiesThereAndNamesAreNotGuessable) {
    test::TempDir dir;
    const NewFile first = createFileBeside(dir.path() + "page.html");
    const NewFile second = createFileBeside(dir.path() + "page.html");
    ASSERT_FALSE(first.path.empty());
    ASSERT_FALSE(second.path.empty());
    EXPECT_NE(first.path, second.path);
    EXPECT_EQ(first.path.rfind(dir.path() + ".page.html.part-", 0), 0u) << first.path;
    ::close(first.fd);
    ::close(second.fd);
    EXPECT_EQ(createFileBeside(dir.path() + "no-such-folder/page.html").path, "");
}

TEST(ReadRegularFile, ReadsAtMostWhatIsAskedAndNeverASpecialFile) {
    test::TempDir dir;
    writeFile(dir.path() + "para.dll", std::string(2000, 'x'));
    EXPECT_EQ(readRegularFile(dir.path() + "para.dll", 1044), std::string(1044, 'x'));
    EXPECT_EQ(readRegularFile(dir.path() + "para.dll", 5000), std::string(2000, 'x'));
    EXPECT_EQ(readRegularFile(dir.path() + "missing", 10), std::nullopt);
    EXPECT_EQ(readRegularFile(dir.path(), 10), std::nullopt);
    // A FIFO with no writer would block a plain open for ever.
    ASSERT_EQ(::mkfifo((dir.path() + "fifo").c_str(), 0600), 0);
    EXPECT_EQ(readRegularFile(dir.path() + "fifo", 10), std::nullopt);
    EXPECT_EQ(readRegularFile("/dev/zero", 10), std::nullopt);
}

}  // namespace
}  // namespace talvio::platform
