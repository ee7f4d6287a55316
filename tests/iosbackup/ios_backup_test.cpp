// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iosbackup/ios_backup.h"
#include "backup_fixture.h"
#include "iosbackup/backup_crypto.h"
#include "iosbackup/plist_doc.h"
#include "iosbackup/private_folder.h"
#include "sources/database.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace talvio::ios {
namespace {

namespace fs = std::filesystem;
using test::kApp;
using test::kShared;

// Every case runs on a plain and on an encrypted backup. Decrypted files may only appear in
// m_work, which must be empty again when the case ends, and the backup must be as it was.
class Backup : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { m_backup = m_dir.path() + "backup/"; }
    void TearDown() override {
        if (!m_before.empty()) {
            EXPECT_EQ(test::folderSnapshot(m_backup), m_before);
        }
        EXPECT_TRUE(test::isEmptyFolder(m_work.path()));
    }

    bool encrypted() const { return GetParam(); }
    BackupWriterOptions options() const {
        return encrypted() ? test::encryptedOptions() : BackupWriterOptions();
    }

    void make(const std::vector<BackupFile>& files = test::sampleFiles()) {
        test::makeBackup(m_backup, files, options());
    }
    // Takes the snapshot that TearDown compares with: after any damage a case does on purpose.
    void freeze() { m_before = test::folderSnapshot(m_backup); }

    BackupError open(IosBackup& backup) {
        BackupError error = backup.open(m_backup);
        if (error.failed() || !backup.encrypted())
            return error;
        return backup.unlock(Secret(std::string_view(test::kPassword)), {}, m_work.path());
    }

    test::TempDir m_dir;
    test::TempDir m_work;
    std::string m_backup;
    std::map<std::string, std::string> m_before;
};

TEST_P(Backup, GivesBackEveryFileByteForByte) {
    make();
    freeze();
    IosBackup backup;
    ASSERT_FALSE(open(backup).failed());
    EXPECT_EQ(backup.encrypted(), encrypted());
    EXPECT_EQ(backup.deviceName(), "Test iPhone");
    for (const BackupFile& file : test::sampleFiles()) {
        BackupEntry entry;
        ASSERT_FALSE(backup.lookup(file.domain, file.relativePath, entry).failed()) << file.relativePath;
        EXPECT_EQ(entry.flags, 1);
        MemorySink sink;
        ASSERT_FALSE(backup.materialise(entry, sink).failed()) << file.relativePath;
        EXPECT_TRUE(sink.bytes() == file.content) << file.relativePath;
        // A plain backup's file is read where it lies; an encrypted one never is.
        EXPECT_EQ(backup.storedPath(entry).empty(), encrypted());
    }
}

TEST_P(Backup, ListsFilesUnderAFolderLiterally) {
    make();
    freeze();
    IosBackup backup;
    ASSERT_FALSE(open(backup).failed());
    std::vector<BackupEntry> entries;
    ASSERT_FALSE(backup.list(kShared, "Message/", entries).failed());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].relativePath, std::string("Message/") + test::kPhotoPath);
    EXPECT_EQ(entries[1].relativePath, "Message/Media/empty.txt");
    // "_" and "%" are characters of a path, not patterns; case matters.
    ASSERT_FALSE(backup.list(kShared, "Message_", entries).failed());
    EXPECT_TRUE(entries.empty());
    ASSERT_FALSE(backup.list(kShared, "message/", entries).failed());
    EXPECT_TRUE(entries.empty());
    EXPECT_TRUE(backup.hasDomain("CameraRollDomain"));
    EXPECT_FALSE(backup.hasDomain("AppDomain-com.example.missing"));
    BackupEntry entry;
    EXPECT_EQ(backup.lookup(kShared, "Nothing.sqlite", entry).problem, BackupProblem::NotListed);
    // A folder is listed, but there is nothing to take out of it.
    ASSERT_FALSE(backup.lookup(kShared, "Message", entry).failed());
    MemorySink sink;
    EXPECT_EQ(backup.materialise(entry, sink).problem, BackupProblem::NotListed);
}

TEST_P(Backup, RefusesAnUnfinishedBackup) {
    BackupWriterOptions unfinished = options();
    unfinished.finished = false;
    test::makeBackup(m_backup, test::sampleFiles(), unfinished);
    freeze();
    IosBackup backup;
    const BackupError error = backup.open(m_backup);
    EXPECT_EQ(error.problem, BackupProblem::StillBeingWritten);
    EXPECT_NE(error.message.find("still being written"), std::string::npos);
    EXPECT_FALSE(backup.ready());
}

TEST_P(Backup, SaysWhichStoredFileIsMissing) {
    make();
    fs::remove(test::storedFile(m_backup, kShared, "ContactsV2.sqlite"));
    // A link in the stored file's place counts as missing: it could lead anywhere.
    const std::string linked = test::storedFile(m_backup, kShared, "ChatStorage.sqlite");
    fs::remove(linked);
    fs::create_symlink(test::storedFile(m_backup, "HomeDomain", "Library/SMS/sms.db"), linked);
    freeze();
    IosBackup backup;
    ASSERT_FALSE(open(backup).failed());
    for (const char* path : {"ContactsV2.sqlite", "ChatStorage.sqlite"}) {
        BackupEntry entry;
        ASSERT_FALSE(backup.lookup(kShared, path, entry).failed());
        MemorySink sink;
        const BackupError error = backup.materialise(entry, sink);
        EXPECT_EQ(error.problem, BackupProblem::MissingFile) << path;
        EXPECT_NE(error.message.find(entry.fileID), std::string::npos);
        EXPECT_TRUE(sink.bytes().empty());
    }
}

TEST_P(Backup, ReportsATruncatedFileAndKeepsNothingOfIt) {
    make();
    const std::string photo = test::storedFile(m_backup, kShared, std::string("Message/") + test::kPhotoPath);
    fs::resize_file(photo, fs::file_size(photo) - 32);
    freeze();
    IosBackup backup;
    ASSERT_FALSE(open(backup).failed());
    BackupEntry entry;
    ASSERT_FALSE(backup.lookup(kShared, std::string("Message/") + test::kPhotoPath, entry).failed());
    PrivateFolder out(m_work.path());
    {
        FileSink sink(out.path() + "photo.jpg");
        EXPECT_EQ(backup.materialise(entry, sink).problem, BackupProblem::TruncatedFile);
    }
    EXPECT_TRUE(test::isEmptyFolder(out.path()));
}

TEST_P(Backup, ReportsADamagedManifestDb) {
    make();
    // The first bytes hold SQLite's header (or, encrypted, the block every later one depends on).
    std::fstream manifest(m_backup + "Manifest.db", std::ios::in | std::ios::out | std::ios::binary);
    manifest.write("garbage, not a database", 16);
    manifest.close();
    freeze();
    IosBackup backup;
    const BackupError error = open(backup);
    EXPECT_EQ(error.problem, BackupProblem::DamagedManifest);
    EXPECT_NE(error.message.find("Manifest.db"), std::string::npos);
    EXPECT_FALSE(backup.ready());
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncrypted, Backup, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "Encrypted" : "Plain";
                         });

class EncryptedBackup : public ::testing::Test {
protected:
    void SetUp() override {
        m_backup = m_dir.path() + "backup/";
        test::makeBackup(m_backup, test::sampleFiles(), test::encryptedOptions());
        m_before = test::folderSnapshot(m_backup);
        ASSERT_FALSE(m_backup_.open(m_backup).failed());
    }
    void TearDown() override {
        EXPECT_EQ(test::folderSnapshot(m_backup), m_before);
        EXPECT_TRUE(test::isEmptyFolder(m_work.path()));
    }

    test::TempDir m_dir;
    test::TempDir m_work;
    std::string m_backup;
    std::map<std::string, std::string> m_before;
    IosBackup m_backup_;
};

TEST_F(EncryptedBackup, NeedsItsPasswordBeforeAnyFile) {
    EXPECT_TRUE(m_backup_.encrypted());
    EXPECT_FALSE(m_backup_.ready());
    BackupEntry entry;
    EXPECT_EQ(m_backup_.lookup(kShared, "ChatStorage.sqlite", entry).problem, BackupProblem::Locked);

    const BackupError wrong =
        m_backup_.unlock(Secret(std::string_view("correct horse battery")), {}, m_work.path());
    EXPECT_EQ(wrong.problem, BackupProblem::WrongPassword);
    EXPECT_NE(wrong.message.find("This password does not open this backup"), std::string::npos);
    EXPECT_FALSE(m_backup_.ready());
    EXPECT_EQ(m_backup_.unlock(Secret(), {}, m_work.path()).problem, BackupProblem::WrongPassword);

    ASSERT_FALSE(m_backup_.unlock(Secret(std::string_view(test::kPassword)), {}, m_work.path()).failed());
    EXPECT_TRUE(m_backup_.ready());
    EXPECT_FALSE(m_backup_.lookup(kShared, "ChatStorage.sqlite", entry).failed());
}

TEST_F(EncryptedBackup, ReportsProgressAndCanBeCancelledAtEveryStep) {
    std::vector<double> steps;
    const auto record = [&](double done) {
        steps.push_back(done);
        return true;
    };
    ASSERT_FALSE(m_backup_.unlock(Secret(std::string_view(test::kPassword)), record, m_work.path()).failed());
    ASSERT_GE(steps.size(), 3u);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_DOUBLE_EQ(steps.front(), 0.0);
    EXPECT_DOUBLE_EQ(steps.back(), 1.0);

    for (std::size_t stop = 0; stop < steps.size(); ++stop) {
        IosBackup backup;
        ASSERT_FALSE(backup.open(m_backup).failed());
        std::size_t calls = 0;
        const auto cancel = [&](double) { return calls++ < stop; };
        EXPECT_EQ(backup.unlock(Secret(std::string_view(test::kPassword)), cancel, m_work.path()).problem,
                  BackupProblem::Cancelled)
            << "cancelled at step " << stop;
        EXPECT_FALSE(backup.ready());
    }
}

TEST_F(EncryptedBackup, DecryptedManifestNeverStaysOnDisk) {
    ASSERT_FALSE(m_backup_.unlock(Secret(std::string_view(test::kPassword)), {}, m_work.path()).failed());
    // Open and readable, yet nothing of it is left in the work folder.
    EXPECT_TRUE(test::isEmptyFolder(m_work.path()));
    BackupEntry entry;
    EXPECT_FALSE(m_backup_.lookup("HomeDomain", "Library/SMS/sms.db", entry).failed());
}

// Stored names are built from fileID: one that is not the hash of its own path is refused.
TEST(PlainBackup, RefusesAListedPathThatIsNotItsOwnHash) {
    test::TempDir dir;
    const std::string folder = dir.path() + "backup/";
    test::makeBackup(folder, test::sampleFiles());
    {
        Database db;
        ASSERT_EQ(db.open(folder + "Manifest.db", Database::Access::ReadWriteExisting), 0);
        ASSERT_EQ(
            db.exec(
                "UPDATE Files SET fileID = '../../../etc/passwd' WHERE relativePath = 'ContactsV2.sqlite';"
                "UPDATE Files SET fileID = '" +
                std::string(40, 'a') + "' WHERE relativePath = 'Documents/notes.txt';"),
            0);
    }
    const auto before = test::folderSnapshot(folder);
    IosBackup backup;
    ASSERT_FALSE(backup.open(folder).failed());
    // Looked up by its hash, a forged row is never found; listed, it shows the list is damaged.
    BackupEntry entry;
    EXPECT_EQ(backup.lookup(kShared, "ContactsV2.sqlite", entry).problem, BackupProblem::NotListed);
    EXPECT_EQ(backup.lookup("AppDomain-com.example.notes", "Documents/notes.txt", entry).problem,
              BackupProblem::NotListed);
    std::vector<BackupEntry> entries;
    EXPECT_EQ(backup.list("AppDomain-com.example.notes", "Documents/", entries).problem,
              BackupProblem::DamagedManifest);
    EXPECT_EQ(test::folderSnapshot(folder), before);
}

TEST(PlainBackup, ReadsRowsThatAreStillInManifestDbsLog) {
    test::TempDir dir;
    const std::string folder = dir.path() + "backup/";
    test::makeBackup(folder, test::sampleFiles());
    const std::string manifest = folder + "Manifest.db";
    // The file as it was before the last write, and the log holding that write, as a backup
    // copied while the writer ran leaves them.
    std::string mainFile;
    std::string log;
    {
        Database db;
        ASSERT_EQ(db.open(manifest, Database::Access::ReadWriteExisting), 0);
        ASSERT_EQ(db.exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"), 0);
        mainFile = test::readFile(manifest);
        ASSERT_EQ(
            db.exec("UPDATE Files SET domain = 'HomeDomain', relativePath = 'Library/late.db', "
                    "fileID = '" +
                    sha1Hex("HomeDomain-Library/late.db") + "' WHERE relativePath = 'Documents/notes.txt';"),
            0);
        log = test::readFile(manifest + "-wal");
    }
    test::writeFile(manifest, mainFile);
    test::writeFile(manifest + "-wal", log);
    const auto before = test::folderSnapshot(folder);

    IosBackup backup;
    ASSERT_FALSE(backup.open(folder).failed());
    BackupEntry entry;
    EXPECT_FALSE(backup.lookup("HomeDomain", "Library/late.db", entry).failed());
    EXPECT_EQ(backup.lookup("AppDomain-com.example.notes", "Documents/notes.txt", entry).problem,
              BackupProblem::NotListed);
    EXPECT_EQ(test::folderSnapshot(folder), before);
}

TEST(OpenBackup, SurvivesDamagedPlistsAndRecords) {
    test::TempDir dir;
    const std::string folder = dir.path() + "backup/";
    test::makeBackup(folder, test::sampleFiles(), test::encryptedOptions());
    const std::string plist = test::readFile(folder + "Manifest.plist");
    const std::optional<Keybag> keybag =
        Keybag::parse(*dataValue(dictItem(PlistDoc::fromBytes(plist).root(), "BackupKeyBag")));
    ASSERT_TRUE(keybag);
    const std::string record = makeFileRecord("Message/a.jpg", 5000, 3, std::string(44, 'k'));
    // Deterministic damage: every kind of input meets flipped bytes and cut ends.
    std::uint32_t seed = 7;
    const auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    const auto damage = [&](std::string bytes) {
        for (int flips = 1 + next() % 4; flips > 0; --flips)
            bytes[next() % bytes.size()] ^= (1 << (next() % 8));
        if (next() % 3 == 0)
            bytes.resize(next() % bytes.size());
        return bytes;
    };
    for (int round = 0; round < 300; ++round) {
        parseFileRecord(damage(record));
        PlistDoc::fromBytes(damage(plist));
        const std::string damaged = damage(plist);
        test::writeFile(folder + "Manifest.plist", damaged);
        IosBackup backup;
        if (backup.open(folder).failed() || !backup.encrypted())
            continue;
        // A flipped bit in a round count can ask for millions of rounds: derive only small ones.
        const PlistDoc doc = PlistDoc::fromBytes(damaged);
        const std::optional<Keybag> parsed =
            Keybag::parse(dataValue(dictItem(doc.root(), "BackupKeyBag")).value_or(""));
        if (parsed && parsed->dataProtectionIterations() <= 64 && parsed->iterations() <= 64) {
            EXPECT_TRUE(backup.unlock(Secret(std::string_view("wrong"))).failed());
        }
    }
    test::writeFile(folder + "Manifest.plist", plist);
    IosBackup backup;
    EXPECT_FALSE(backup.open(folder).failed());
}

TEST(PrivateFolder, IsOwnerOnlyAndGoneWhenDestroyed) {
    test::TempDir parent;
    std::string path;
    {
        PrivateFolder folder(parent.path());
        ASSERT_TRUE(folder.ok());
        path = folder.path();
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        FileSink sink(path + "x");
        const unsigned char byte = 1;
        EXPECT_TRUE(sink.write(&byte, 1));
        EXPECT_TRUE(sink.close());
        // A sink never writes over a file that is there.
        EXPECT_FALSE(FileSink(path + "x").ok());
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(test::isEmptyFolder(parent.path()));
}

TEST(OpenBackup, RefusesAFolderThatIsNoBackup) {
    test::TempDir dir;
    IosBackup backup;
    BackupError error = backup.open(dir.path());
    EXPECT_EQ(error.problem, BackupProblem::NotABackup);
    EXPECT_NE(error.message.find("not an iPhone backup"), std::string::npos);
    // The three files by name, but not what they should hold.
    for (const char* name : {"Manifest.db", "Manifest.plist", "Info.plist"})
        test::writeFile(dir.path() + name, "x");
    const auto before = test::folderSnapshot(dir.path());
    error = backup.open(dir.path());
    EXPECT_EQ(error.problem, BackupProblem::Unreadable);
    EXPECT_EQ(test::folderSnapshot(dir.path()), before);
}

}  // namespace
}  // namespace talvio::ios
