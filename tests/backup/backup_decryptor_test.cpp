// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/backup_decryptor.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>
#include <string>

#include "backup/aes_gcm.h"
#include "backup/backup_header.h"
#include "backup/backup_writer.h"
#include "backup/key_parser.h"
#include "backup_test_support.h"
#include "tests/support/temp_dir.h"

namespace talvio::backup {
namespace {

using test::Bytes;

constexpr BackupFormat kFormats[] = {BackupFormat::Crypt12, BackupFormat::Crypt14, BackupFormat::Crypt15};

std::string fileName(BackupFormat format) {
    return "msgstore.db." + std::string(formatName(format));
}

// The key each format is opened with on a phone: the `key` file's AES key, or a crypt15 root key.
KeyMaterial phoneKey(BackupFormat format, std::uint8_t seed = 1) {
    return test::testKey(format == BackupFormat::Crypt15 ? KeyKind::RootKeyFile : KeyKind::BackupKeyFile,
                         seed);
}

class BackupDecryptorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_database = new Bytes(test::makeDatabase(40, 100)); }
    static void TearDownTestSuite() {
        delete s_database;
        s_database = nullptr;
    }
    static const Bytes& database() { return *s_database; }

    Bytes backup(BackupFormat format, BackupWriteOptions options = {}) const {
        options.format = format;
        return writeBackup(database(), phoneKey(format), options);
    }

    // Decrypts `file` saved under the format's name into memory.
    BackupOutcome open(const Bytes& file, BackupFormat format, const KeyMaterial& key, MemorySink& sink) {
        const std::string path = m_folder.path() + fileName(format);
        test::writeBytes(path, file);
        return decryptBackup(path, key, sink);
    }

    BackupStatus statusOf(const Bytes& file, BackupFormat format) {
        MemorySink sink;
        const BackupOutcome outcome = open(file, format, phoneKey(format), sink);
        EXPECT_TRUE(outcome.ok() || sink.data().empty());
        EXPECT_EQ(outcome.ok(), outcome.message.empty());
        return outcome.status;
    }

    talvio::test::TempDir m_folder;
    static Bytes* s_database;
};

Bytes* BackupDecryptorTest::s_database = nullptr;

TEST_F(BackupDecryptorTest, EveryFormatRoundTripsWithEveryHeaderAndTrailerVariant) {
    for (const BackupFormat format : kFormats) {
        for (const bool featureTable : {true, false}) {
            for (const bool md5Trailer : {true, false}) {
                BackupWriteOptions options;
                options.featureTable = featureTable;
                options.md5Trailer = md5Trailer;
                MemorySink sink;
                const BackupOutcome outcome = open(backup(format, options), format, phoneKey(format), sink);
                ASSERT_TRUE(outcome.ok()) << formatName(format) << ": " << outcome.message;
                EXPECT_EQ(sink.data(), database()) << formatName(format);
            }
        }
    }
}

TEST_F(BackupDecryptorTest, KeysAsTheUserGivesThem) {
    // The 64 digits shown on the phone, typed in groups, open a crypt15 backup.
    const KeyMaterial root = phoneKey(BackupFormat::Crypt15);
    std::string typed;
    for (std::size_t i = 0; i < root.bytes().size(); ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", root.bytes()[i]);
        typed += pair;
        if (i % 2 == 1)
            typed += ' ';
    }
    const KeyResult digits = parseTypedKey(typed);
    ASSERT_TRUE(digits.ok()) << digits.error;
    MemorySink sink;
    EXPECT_TRUE(open(backup(BackupFormat::Crypt15), BackupFormat::Crypt15, *digits.key, sink).ok());
    EXPECT_EQ(sink.data(), database());

    // The key files, as read from disk.
    const KeyResult keyFile = parseKeyFile(writeBackupKeyFile(phoneKey(BackupFormat::Crypt14)));
    const KeyResult rootFile = parseKeyFile(writeRootKeyFile(root));
    MemorySink fromKeyFile;
    EXPECT_TRUE(open(backup(BackupFormat::Crypt14), BackupFormat::Crypt14, *keyFile.key, fromKeyFile).ok());
    EXPECT_EQ(fromKeyFile.data(), database());
    MemorySink fromRootFile;
    EXPECT_TRUE(open(backup(BackupFormat::Crypt15), BackupFormat::Crypt15, *rootFile.key, fromRootFile).ok());
    EXPECT_EQ(fromRootFile.data(), database());

    // A key file of the other kind is named as such.
    MemorySink refused;
    const BackupOutcome legacyFor15 =
        open(backup(BackupFormat::Crypt15), BackupFormat::Crypt15, *keyFile.key, refused);
    EXPECT_EQ(legacyFor15.status, BackupStatus::WrongKeyKind);
    EXPECT_NE(legacyFor15.message.find("encrypted_backup.key"), std::string::npos);
    for (const BackupFormat format : {BackupFormat::Crypt12, BackupFormat::Crypt14}) {
        EXPECT_EQ(open(backup(format), format, *rootFile.key, refused).status, BackupStatus::WrongKeyKind);
    }
}

TEST_F(BackupDecryptorTest, AnotherKeyDoesNotOpenTheBackup) {
    for (const BackupFormat format : kFormats) {
        MemorySink sink;
        const BackupOutcome outcome = open(backup(format), format, phoneKey(format, 2), sink);
        EXPECT_EQ(outcome.status, BackupStatus::WrongKey) << formatName(format);
        EXPECT_NE(outcome.message.find("This key does not open this backup"), std::string::npos);
        EXPECT_TRUE(sink.data().empty());
    }
}

// About one wrong key in 500 turns the first two bytes into a valid zlib header; the MD5 trailer
// then still tells a wrong key from a damaged file.
TEST_F(BackupDecryptorTest, AWrongKeyThatPassesTheFirstBytesIsStillAWrongKey) {
    for (const bool md5Trailer : {true, false}) {
        BackupWriteOptions options;
        options.md5Trailer = md5Trailer;
        const Bytes file = backup(BackupFormat::Crypt14, options);
        const BackupHeader header = *parseBackupHeader(file, BackupFormat::Crypt14).header;
        std::optional<KeyMaterial> unlucky;
        for (int seed = 2; !unlucky && seed < 100000; ++seed) {
            std::array<std::uint8_t, kKeySize> bytes{};
            for (std::size_t i = 0; i < bytes.size(); ++i)
                bytes[i] = static_cast<std::uint8_t>(seed >> (8 * (i % 3)));
            const KeyMaterial candidate(KeyKind::BackupKeyFile, bytes);
            AesGcm cipher(AesGcm::Direction::Decrypt, candidate, header.nonce);
            std::uint8_t start[2];
            ASSERT_TRUE(cipher.update(std::span(file).subspan(header.size, 2), start));
            if ((start[0] & 0x0F) == 8 && (start[0] << 8 | start[1]) % 31 == 0)
                unlucky = candidate;
        }
        ASSERT_TRUE(unlucky);
        const BackupStatus expected = md5Trailer ? BackupStatus::WrongKey : BackupStatus::Damaged;
        MemorySink sink;
        EXPECT_EQ(open(file, BackupFormat::Crypt14, *unlucky, sink).status, expected);
        EXPECT_TRUE(sink.data().empty());
    }
}

TEST_F(BackupDecryptorTest, CutShortAnywhereIsNeverDecrypted) {
    for (const BackupFormat format : kFormats) {
        for (const bool md5Trailer : {true, false}) {
            BackupWriteOptions options;
            options.md5Trailer = md5Trailer;
            const Bytes file = backup(format, options);
            const std::size_t size = file.size();
            for (const std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{40}, std::size_t{67},
                                          std::size_t{200}, size / 2, size - 37, size - 36, size - 33,
                                          size - 32, size - 20, size - 17, size - 4, size - 1}) {
                const BackupStatus status = statusOf(Bytes(file.begin(), file.begin() + cut), format);
                EXPECT_NE(status, BackupStatus::Decrypted) << formatName(format) << " cut at " << cut;
            }
            // Without its MD5 trailer a crypt14/15 backup is still whole, and its tag proves it.
            const BackupStatus lastSixteen = statusOf(Bytes(file.begin(), file.end() - 16), format);
            EXPECT_EQ(lastSixteen == BackupStatus::Decrypted, md5Trailer && format != BackupFormat::Crypt12)
                << formatName(format);
        }
    }
}

TEST_F(BackupDecryptorTest, AChangedByteInHeaderBodyTagOrTrailerIsNeverDecrypted) {
    for (const BackupFormat format : kFormats) {
        const Bytes file = backup(format);
        const std::size_t headerSize = parseBackupHeader(file, format).header->size;
        const std::size_t trailer = format == BackupFormat::Crypt12 ? 20 : 16;
        const std::size_t tagAt = file.size() - trailer - 16;
        std::vector<std::size_t> places = {headerSize, headerSize + 1, headerSize + 500,
                                           tagAt - 1,  tagAt,          tagAt + 15};
        // crypt12's salts are not covered by any check, so only its version bytes and nonce count;
        // in crypt14 and crypt15 the MD5 trailer covers every header byte.
        if (format == BackupFormat::Crypt12) {
            for (std::size_t at : {0, 1, 51, 60, 66})
                places.push_back(at);
        } else {
            for (std::size_t at = 0; at < headerSize; ++at)
                places.push_back(at);
            for (std::size_t at = file.size() - 16; at < file.size(); ++at)
                places.push_back(at);
        }
        for (const std::size_t at : places) {
            Bytes changed = file;
            changed[at] ^= 0x20;
            EXPECT_NE(statusOf(changed, format), BackupStatus::Decrypted)
                << formatName(format) << " byte " << at;
        }
        Bytes body = file;
        body[headerSize + 300] ^= 0x01;
        EXPECT_EQ(statusOf(body, format), BackupStatus::Damaged) << formatName(format);
    }
}

TEST_F(BackupDecryptorTest, WhatIsNotAZlibDatabaseNeverReachesTheSink) {
    const KeyMaterial key = phoneKey(BackupFormat::Crypt15);
    BackupWriteOptions options;
    options.compress = false;
    const Bytes zip = {'P', 'K', 3, 4, 20, 0, 0, 0, 8, 0, 'm', 'e', 's', 's', 'a', 'g', 'e', 's'};
    MemorySink sink;
    EXPECT_EQ(open(writeBackup(zip, key, options), BackupFormat::Crypt15, key, sink).status,
              BackupStatus::NotReadYet);

    EXPECT_TRUE(sink.data().empty());

    // Encrypted intact: a zlib stream that goes wrong after a valid start, and one cut short.
    Bytes garbage = {0x78, 0x9C};
    garbage.insert(garbage.end(), database().begin(), database().begin() + 4000);
    uLongf size = compressBound(static_cast<uLong>(database().size()));
    Bytes cut(size);
    ASSERT_EQ(compress2(cut.data(), &size, database().data(), static_cast<uLong>(database().size()), 6),
              Z_OK);
    cut.resize(size / 2);
    for (const bool md5Trailer : {false, true}) {
        options.md5Trailer = md5Trailer;
        // A file that matches its MD5 is as the phone wrote it: plaintext going wrong points at the key.
        EXPECT_EQ(open(writeBackup(garbage, key, options), BackupFormat::Crypt15, key, sink).status,
                  md5Trailer ? BackupStatus::WrongKey : BackupStatus::Damaged);
        EXPECT_TRUE(sink.data().empty());
        EXPECT_EQ(open(writeBackup(cut, key, options), BackupFormat::Crypt15, key, sink).status,
                  BackupStatus::Damaged);
        EXPECT_TRUE(sink.data().empty());
    }
}

TEST_F(BackupDecryptorTest, FilesNotReadAreRefusedWithTheirReason) {
    const std::string path = m_folder.path() + "msgstore.db.crypt16";
    test::writeBytes(path, backup(BackupFormat::Crypt15));
    MemorySink sink;
    EXPECT_EQ(decryptBackup(path, phoneKey(BackupFormat::Crypt15), sink).status, BackupStatus::NotReadYet);
    // A plain database renamed to look like a backup.
    test::writeBytes(m_folder.path() + "msgstore.db.crypt14", database());
    const BackupOutcome plain =
        decryptBackup(m_folder.path() + "msgstore.db.crypt14", phoneKey(BackupFormat::Crypt14), sink);
    EXPECT_EQ(plain.status, BackupStatus::UnknownFormat);
    EXPECT_NE(plain.message.find("not encrypted"), std::string::npos);
    EXPECT_EQ(decryptBackup(m_folder.path() + "gone.crypt15", phoneKey(BackupFormat::Crypt15), sink).status,
              BackupStatus::ReadFailed);
}

class FailingSink : public PlainSink {
public:
    bool write(std::span<const std::uint8_t>) override { return false; }
    void discard() override { discarded = true; }
    bool discarded = false;
};

TEST_F(BackupDecryptorTest, ASinkThatCannotKeepThePlaintextStopsTheDecryption) {
    test::writeBytes(m_folder.path() + "wa.db.crypt14", backup(BackupFormat::Crypt14));
    FailingSink sink;
    const BackupOutcome outcome =
        decryptBackup(m_folder.path() + "wa.db.crypt14", phoneKey(BackupFormat::Crypt14), sink);
    EXPECT_EQ(outcome.status, BackupStatus::WriteFailed);
    EXPECT_TRUE(sink.discarded);
}

// Several megabytes in 4 KiB chunks through a file descriptor, as the viewer will use it.
TEST(BackupStreaming, LargeBackupInSmallChunksWithProgressAndCancel) {
    const Bytes database = test::makeDatabase(1500, 4000);
    ASSERT_GT(database.size(), 5u << 20);
    const KeyMaterial key = phoneKey(BackupFormat::Crypt15);
    talvio::test::TempDir folder;
    const std::string backupPath = folder.path() + "msgstore.db.crypt15";
    test::writeBytes(backupPath, writeBackup(database, key));
    const auto before = talvio::test::folderSnapshot(folder.path());

    const int out = ::open((folder.path() + "plain").c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    ASSERT_GE(out, 0);
    FileSink sink(out);
    std::uint64_t calls = 0, last = 0, total = 0;
    bool increasing = true;
    DecryptOptions options;
    options.chunkSize = 4096;
    options.progress = [&](std::uint64_t done, std::uint64_t all) {
        increasing = increasing && done > last;
        last = done;
        total = all;
        ++calls;
        return true;
    };
    const BackupOutcome outcome = decryptBackup(backupPath, key, sink, options);
    ASSERT_TRUE(outcome.ok()) << outcome.message;
    EXPECT_EQ(test::readBytes(folder.path() + "plain"), database);
    EXPECT_TRUE(increasing);
    EXPECT_GT(calls, 1000u);
    EXPECT_EQ(total, std::filesystem::file_size(backupPath));
    EXPECT_EQ(last, total);

    // Stopping half-way leaves the file the sink writes to empty.
    ASSERT_EQ(::ftruncate(out, 0), 0);
    ASSERT_EQ(::lseek(out, 0, SEEK_SET), 0);
    options.progress = [](std::uint64_t done, std::uint64_t all) { return done < all / 2; };
    EXPECT_EQ(decryptBackup(backupPath, key, sink, options).status, BackupStatus::Cancelled);
    struct stat info {};
    ASSERT_EQ(::fstat(out, &info), 0);
    EXPECT_EQ(info.st_size, 0);
    ::close(out);
    ::unlink((folder.path() + "plain").c_str());

    // The backup itself was only read.
    EXPECT_EQ(talvio::test::folderSnapshot(folder.path()), before);
}

}  // namespace
}  // namespace talvio::backup
