// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "load_in_child.h"
#include "media/wav_reader.h"
#include "sources/database.h"
#include "tests/support/android_folder.h"
#include "tests/support/temp_dir.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace talvio::test {
namespace {

// Whether Database::open of path for reading returns, and with which code.
std::string openOutcome(const std::string& path) {
    const ChildOutcome outcome = runInChild(
        [&] {
            Database db;
            const int rc = db.open(path, Database::Access::ReadOnlySnapshot);
            return std::to_string(rc) + (db.isOpen() ? " open" : " closed");
        },
        10);
    return outcome.end == ChildOutcome::End::Finished ? outcome.output : describe(outcome);
}

// A copied folder can hold anything under a database's name. Opening a FIFO for reading waits for
// a writer that never comes, so only regular files are handed to SQLite.
TEST(UserDatabaseFiles, OnlyRegularFilesAreOpened) {
    TempDir dir;
    const std::string fifo = dir.path() + "fifo.db";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() + "folder.db");
    std::filesystem::create_symlink("/dev/zero", dir.path() + "device.db");
    std::filesystem::create_symlink("fifo.db", dir.path() + "link-to-fifo.db");
    for (const char* name : {"fifo.db", "folder.db", "device.db", "link-to-fifo.db"})
        EXPECT_EQ(openOutcome(dir.path() + name), "14 closed") << name;  // SQLITE_CANTOPEN

    runSql(dir.path() + "real.db", "CREATE TABLE t(x);");
    std::filesystem::create_symlink("real.db", dir.path() + "link-to-real.db");
    EXPECT_EQ(openOutcome(dir.path() + "real.db"), "0 open");
    EXPECT_EQ(openOutcome(dir.path() + "link-to-real.db"), "0 open");
}

// The voice player plays a WAV found beside a voice note in the phone copy as it is.
TEST(UserMediaFiles, AWavThatIsNoRegularFileIsNotOpened) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path() + "fifo.wav").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() + "folder.wav");
    std::filesystem::create_symlink("/dev/zero", dir.path() + "device.wav");
    const auto load = [](const std::string& path) {
        const ChildOutcome outcome = runInChild(
            [&] {
                media::SoundRecord sound;
                return std::string(media::wavErrorText(media::loadWavFile(path, sound)));
            },
            10);
        return outcome.end == ChildOutcome::End::Finished ? outcome.output : describe(outcome);
    };
    const std::string cannotOpen(media::wavErrorText(media::WavError::CannotOpen));
    for (const char* name : {"fifo.wav", "folder.wav", "device.wav"})
        EXPECT_EQ(load(dir.path() + name), cannotOpen) << name;
}

}  // namespace
}  // namespace talvio::test
