// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// talvio-fixture's backup commands as a fixture script runs them: key files and backups that the
// library opens.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "backup/backup_decryptor.h"
#include "backup/key_parser.h"
#include "backup_test_support.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace talvio::backup {
namespace {

int runFixtureTool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), TALVIO_BUILD_DIR "/tools/talvio-fixture");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST(FixtureCommand, WritesKeyFilesAndBackupsTheLibraryOpens) {
    talvio::test::TempDir folder;
    const std::string db = folder.path() + "msgstore.db";
    const test::Bytes database = test::makeDatabase(30, 50);
    test::writeBytes(db, database);

    struct Case {
        const char* kind;
        const char* format;
    };
    for (const Case& c : {Case{"key", "crypt12"}, Case{"key", "crypt14"},
                          Case{"encrypted_backup.key", "crypt15"}, Case{"digits", "crypt15"}}) {
        const std::string key = folder.path() + c.kind + "-" + c.format;
        const std::string out = folder.path() + "msgstore.db." + c.format;
        ASSERT_EQ(runFixtureTool({"android-key", "--kind", c.kind, "--out", key}), 0);
        struct stat info {};
        ASSERT_EQ(::stat(key.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << c.kind;
        ASSERT_EQ(runFixtureTool(
                      {"encrypt-android", "--format", c.format, "--key-file", key, "--in", db, "--out", out}),
                  0);

        const KeyResult loaded = loadKeyFile(key);
        ASSERT_TRUE(loaded.ok()) << loaded.error;
        MemorySink sink;
        const BackupOutcome outcome = decryptBackup(out, *loaded.key, sink);
        ASSERT_TRUE(outcome.ok()) << c.kind << " " << c.format << ": " << outcome.message;
        EXPECT_EQ(sink.data(), database);
    }

    EXPECT_EQ(runFixtureTool(
                  {"encrypt-android", "--format", "crypt13", "--key-file", "k", "--in", db, "--out", "o"}),
              2);
    EXPECT_EQ(runFixtureTool({"encrypt-android", "--format", "crypt15", "--key-file",
                              folder.path() + "missing", "--in", db, "--out", folder.path() + "o"}),
              1);
}

}  // namespace
}  // namespace talvio::backup
