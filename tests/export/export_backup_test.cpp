// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// talvio-export on the phone's WhatsApp folder: what a user runs with a backup and a key.
#include "backup/backup_writer.h"
#include "tests/sources/android_sql.h"
#include "tests/support/android_folder.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace talvio {
namespace {

namespace fs = std::filesystem;
using backup::BackupFormat;
using backup::KeyKind;

constexpr const char* kMarker = "Kiwi-7391-secret";

using test::CommandResult;
using test::runCommand;

std::vector<std::uint8_t> bytesOf(const std::string& path) {
    const std::string text = test::readFile(path);
    return {text.begin(), text.end()};
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    test::writeFile(path, std::string(bytes.begin(), bytes.end()));
}

// Every file below `folder` whose bytes hold `needle` or start like a SQLite database.
std::vector<std::string> plaintextBelow(const std::string& folder, const std::string& needle) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file())
            continue;
        const std::string bytes = test::readFile(it->path().string());
        if (bytes.find(needle) != std::string::npos || bytes.rfind("SQLite format 3", 0) == 0)
            found.push_back(it->path().string());
    }
    return found;
}

class BackupExport : public ::testing::Test {
protected:
    // The phone's WhatsApp folder with a current and a dated backup of a legacy database whose
    // chat with Anna holds `messages` messages, and the key files of `format`. The plain database
    // it was made from is gone again.
    void makeStorage(BackupFormat format, int messages = 3) {
        const std::string plain = work.path() + "plain/";
        std::string sql = "INSERT INTO chat_list(key_remote_jid, subject) VALUES ('g@g.us', 'Hikers');" +
                          test::messageRow("g@g.us", 0, "0", "1500000000000", "old news") +
                          test::messageRow("4915112345678@s.whatsapp.net", 0, "0", "1400000000000", "hallo");
        for (int i = 0; i < messages; ++i) {
            sql += test::messageRow("a@s.whatsapp.net", i % 2, "0",
                                    std::to_string(1600000000000 + i * 1000).c_str(),
                                    (std::string(kMarker) + " " + std::to_string(i)).c_str());
        }
        test::makeAndroidFolder(plain, sql, test::contactRow("a@s.whatsapp.net", "Anna", nullptr));
        const bool crypt15 = format == BackupFormat::Crypt15;
        key = backup::randomKey(crypt15 ? KeyKind::RootKeyFile : KeyKind::BackupKeyFile);
        writeBytes(keyFile, crypt15 ? backup::writeRootKeyFile(*key) : backup::writeBackupKeyFile(*key));
        backup::BackupWriteOptions options;
        options.format = format;
        const std::string suffix = crypt15 ? "15" : format == BackupFormat::Crypt14 ? "14" : "12";
        const auto backup = backup::writeBackup(bytesOf(plain + "databases/msgstore.db"), *key, options);
        writeBytes(storage + "Databases/msgstore.db.crypt" + suffix, backup);
        // The dated backup is older: without the chat with Anna.
        test::runSql(plain + "databases/msgstore.db",
                     "DELETE FROM messages WHERE key_remote_jid = 'a@s.whatsapp.net';");
        writeBytes(storage + "Databases/msgstore-2024-01-31.1.db.crypt" + suffix,
                   backup::writeBackup(bytesOf(plain + "databases/msgstore.db"), *key, options));
        options.featureTable = false;
        writeBytes(storage + "Backups/wa.db.crypt" + suffix,
                   backup::writeBackup(bytesOf(plain + "databases/wa.db"), *key, options));
        fs::remove_all(plain);
    }

    test::TempDir work;
    const std::string storage = work.path() + "WhatsApp/";
    const std::string keyFile = work.path() + "keys/encrypted_backup.key";
    const std::string tool = TALVIO_EXPORT_TOOL;
    std::optional<backup::KeyMaterial> key;
};

TEST_F(BackupExport, ListsRendersAndExportsAnEncryptedFolder) {
    makeStorage(BackupFormat::Crypt15);
    const auto before = test::folderSnapshot(storage);

    const CommandResult list = runCommand(tool + " --key " + keyFile + " --list " + storage);
    EXPECT_EQ(list.status, 0) << list.out;
    EXPECT_NE(list.out.find("\ta@s.whatsapp.net\tAnna\t"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("\tg@g.us\tHikers\t"), std::string::npos) << list.out;

    // The dated backup, chosen by its name, is an older state; the file itself opens too.
    const CommandResult dated = runCommand(tool + " --key " + keyFile +
                                           " --backup msgstore-2024-01-31.1.db.crypt15 --list " + storage);
    EXPECT_EQ(dated.status, 0) << dated.out;
    EXPECT_NE(dated.out.find("\ta@s.whatsapp.net\tAnna\tcache/Profile Pictures/a.jpg\t0\t"),
              std::string::npos)
        << dated.out;
    EXPECT_EQ(
        runCommand(tool + " --key " + keyFile + " --list " + storage + "Databases/msgstore.db.crypt15").out,
        list.out);

    const std::string out = work.path() + "out";
    const CommandResult exported = runCommand(tool + " --key " + keyFile + " " + storage + " " + out);
    EXPECT_EQ(exported.status, 0) << exported.out;
    EXPECT_NE(test::readFile(out + "/a.html").find(std::string(kMarker) + " 2"), std::string::npos);

    // The 64 digits typed on standard input, with spaces, open it as the key file does.
    std::string digits;
    for (std::uint8_t byte : key->bytes()) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X ", byte);
        digits += hex;
    }
    test::writeFile(work.path() + "typed.txt", digits + "\n");
    EXPECT_EQ(runCommand(tool + " --key - --list " + storage + " < " + work.path() + "typed.txt").out,
              list.out);
    EXPECT_EQ(test::folderSnapshot(storage), before);
}

TEST_F(BackupExport, SearchesAnEncryptedFolder) {
    makeStorage(BackupFormat::Crypt15);
    const auto before = test::folderSnapshot(storage);
    const CommandResult found = runCommand(tool + " --key " + keyFile + " --search KIWI-7391 " + storage);
    EXPECT_EQ(found.status, 0) << found.out;
    // Three lines, the newest first.
    EXPECT_EQ(std::count(found.out.begin(), found.out.end(), '\n'), 3) << found.out;
    EXPECT_NE(found.out.find(std::string(kMarker) + " 2\n"), std::string::npos) << found.out;
    EXPECT_LT(found.out.find(std::string(kMarker) + " 2\n"), found.out.find(std::string(kMarker) + " 1\n"));
    const CommandResult dated = runCommand(
        tool + " --key " + keyFile + " --backup msgstore-2024-01-31.1.db.crypt15 --search kiwi " + storage);
    EXPECT_EQ(dated.status, 1) << dated.out;
    EXPECT_EQ(test::folderSnapshot(storage), before);
}

TEST_F(BackupExport, BadKeysAndBadChoicesSayWhatToDo) {
    makeStorage(BackupFormat::Crypt14);
    const auto before = test::folderSnapshot(storage);
    const auto expectFailure = [&](const std::string& arguments, const std::string& message) {
        const CommandResult run = runCommand(tool + " " + arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.out.find(message), std::string::npos) << arguments << "\n" << run.out;
    };
    expectFailure("--list " + storage, "is encrypted. Give its key with --key FILE");
    const std::string otherKey = work.path() + "other.key";
    writeBytes(otherKey, backup::writeBackupKeyFile(backup::randomKey(KeyKind::BackupKeyFile)));
    expectFailure("--key " + otherKey + " --list " + storage, "This key does not open this backup");
    const std::string rootKey = work.path() + "encrypted_backup.key";
    writeBytes(rootKey, backup::writeRootKeyFile(backup::randomKey(KeyKind::RootKeyFile)));
    expectFailure("--key " + rootKey + " --list " + storage, "This is an encrypted_backup.key file");
    expectFailure("--key " + keyFile + " --backup msgstore-1999-01-01.1.db.crypt14 --list " + storage,
                  "the folder has no backup");
    test::writeFile(work.path() + "short.txt", "0123456789abcdef\n");
    expectFailure("--key " + work.path() + "short.txt --list " + storage, "64");

    // A backup cut short, and a folder whose only backup is one not read yet.
    const std::string cut = work.path() + "cut/WhatsApp/Databases/msgstore.db.crypt14";
    const std::string whole = test::readFile(storage + "Databases/msgstore.db.crypt14");
    writeBytes(cut,
               std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)));
    expectFailure("--key " + keyFile + " --list " + cut, "cut short or damaged");
    const std::string increment = work.path() + "inc/WhatsApp/";
    writeBytes(increment + "Databases/msgstore-increment-1.db.crypt15", {1, 2, 3});
    expectFailure("--key " + keyFile + " --list " + increment, "Incremental backups");
    EXPECT_EQ(test::folderSnapshot(storage), before);
}

// A run killed while it shows a page leaves no plaintext anywhere: not in the temporary, cache,
// data or settings folders it was given, not beside the backup.
TEST_F(BackupExport, AKilledRunLeavesNothingDecrypted) {
    makeStorage(BackupFormat::Crypt15, 3000);
    const std::string home = work.path() + "home/";
    for (const char* sub : {"tmp", "cache", "data", "config"})
        fs::create_directories(home + sub);
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("TMPDIR", (home + "tmp").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (home + "cache").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home + "data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "config").c_str(), 1);
        ::execl(tool.c_str(), tool.c_str(), "--key", keyFile.c_str(), "--page", "0", storage.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    // The page is far larger than the pipe: once its first bytes arrive, the backup is decrypted
    // and the run is blocked writing the rest.
    char first[4096];
    std::size_t got = 0;
    while (got < sizeof first) {
        const ssize_t n = ::read(out[0], first + got, sizeof first - got);
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    EXPECT_EQ(got, sizeof first);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(out[0]);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(plaintextBelow(work.path(), kMarker), std::vector<std::string>{});
}

}  // namespace
}  // namespace talvio
