// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/backup_header.h"

#include <gtest/gtest.h>

#include <string>

#include "backup/backup_writer.h"
#include "backup/proto_reader.h"
#include "backup_test_support.h"

namespace talvio::backup {
namespace {

using test::Bytes;

TEST(BackupFileName, TellsTheFormatOrWhyNot) {
    struct Case {
        const char* name;
        std::optional<BackupFormat> format;
        BackupStatus refusal;
    };
    const Case cases[] = {
        {"msgstore.db.crypt15", BackupFormat::Crypt15, BackupStatus::Decrypted},
        {"/phone/Databases/msgstore-2024-01-31.1.db.crypt14", BackupFormat::Crypt14, BackupStatus::Decrypted},
        {"wa.db.crypt12", BackupFormat::Crypt12, BackupStatus::Decrypted},
        {"MSGSTORE.DB.CRYPT15", BackupFormat::Crypt15, BackupStatus::Decrypted},
        {"msgstore.db.crypt16", std::nullopt, BackupStatus::NotReadYet},
        {"msgstore-increment-3.db.crypt15", std::nullopt, BackupStatus::NotReadYet},
        {"msgstore.db.crypt8", std::nullopt, BackupStatus::UnknownFormat},
        {"msgstore.db", std::nullopt, BackupStatus::UnknownFormat},
        {"msgstore.db.crypt15.bak", std::nullopt, BackupStatus::UnknownFormat},
        {"msgstore.db.crypt", std::nullopt, BackupStatus::UnknownFormat},
        {"msgstore.db.crypt99999999999999999999", std::nullopt, BackupStatus::UnknownFormat},
    };
    for (const Case& c : cases) {
        const FormatGuess guess = formatFromFileName(c.name);
        EXPECT_EQ(guess.format, c.format) << c.name;
        if (!c.format) {
            EXPECT_EQ(guess.refusal.status, c.refusal) << c.name;
            EXPECT_FALSE(guess.refusal.message.empty()) << c.name;
        }
    }
}

TEST(BackupHeader, ReadsTheFieldsOfEveryKindWithAndWithoutFeatureTable) {
    const Bytes plain = {1, 2, 3};
    for (const BackupFormat format : {BackupFormat::Crypt12, BackupFormat::Crypt14, BackupFormat::Crypt15}) {
        for (const bool featureTable : {true, false}) {
            BackupWriteOptions options;
            options.format = format;
            options.featureTable = featureTable;
            options.appVersion = "2.23.25.84";
            const Bytes file = writeBackup(plain, test::testKey(KeyKind::Digits), options);
            const HeaderResult parsed = parseBackupHeader(file, format);
            ASSERT_TRUE(parsed.header) << parsed.failure.message;
            const BackupHeader& header = *parsed.header;
            // What follows the header is the ciphertext of the compressed bytes, the tag and the trailer.
            const std::size_t trailer = format == BackupFormat::Crypt12 ? 20 : 16;
            EXPECT_EQ(file.size() - header.size - 16 - trailer, 11u) << formatName(format);
            if (format == BackupFormat::Crypt12) {
                EXPECT_EQ(header.size, 67u);
                EXPECT_EQ(header.serverSalt, Bytes(file.begin() + 3, file.begin() + 35));
                EXPECT_EQ(header.googleIdSalt, Bytes(file.begin() + 35, file.begin() + 51));
                EXPECT_EQ(Bytes(header.nonce.begin(), header.nonce.end()),
                          Bytes(file.begin() + 51, file.begin() + 67));
                continue;
            }
            EXPECT_EQ(header.featureTable, featureTable);
            EXPECT_EQ(header.keyType, format == BackupFormat::Crypt15 ? 1u : 0u);
            EXPECT_EQ(header.appVersion, "2.23.25.84");
            EXPECT_EQ(header.serverSalt.size(), format == BackupFormat::Crypt14 ? 32u : 0u);
            EXPECT_EQ(header.googleIdSalt.size(), format == BackupFormat::Crypt14 ? 16u : 0u);
        }
    }
}

TEST(BackupHeader, AHeaderOfAnotherKindThanTheNameIsRefused) {
    const Bytes crypt15 = writeBackup(Bytes{1}, test::testKey(KeyKind::Digits), {});
    BackupWriteOptions options;
    options.format = BackupFormat::Crypt12;
    const Bytes crypt12 = writeBackup(Bytes{1}, test::testKey(KeyKind::Digits), options);
    options.format = BackupFormat::Crypt14;
    const Bytes crypt14 = writeBackup(Bytes{1}, test::testKey(KeyKind::Digits), options);

    EXPECT_EQ(parseBackupHeader(crypt15, BackupFormat::Crypt14).failure.status, BackupStatus::UnknownFormat);
    EXPECT_EQ(parseBackupHeader(crypt14, BackupFormat::Crypt15).failure.status, BackupStatus::UnknownFormat);
    EXPECT_EQ(parseBackupHeader(crypt12, BackupFormat::Crypt15).failure.status, BackupStatus::UnknownFormat);
    EXPECT_EQ(parseBackupHeader(crypt15, BackupFormat::Crypt12).failure.status, BackupStatus::UnknownFormat);
    EXPECT_NE(parseBackupHeader(crypt15, BackupFormat::Crypt14).failure.message.find("crypt15"),
              std::string::npos);
}

TEST(BackupHeader, EveryCutOrChangedByteGivesAnAnswerWithinBounds) {
    for (const BackupFormat format : {BackupFormat::Crypt12, BackupFormat::Crypt14, BackupFormat::Crypt15}) {
        BackupWriteOptions options;
        options.format = format;
        const Bytes file = writeBackup(Bytes{1}, test::testKey(KeyKind::Digits), options);
        const std::size_t size = parseBackupHeader(file, format).header->size;
        for (std::size_t cut = 0; cut < size; ++cut) {
            const HeaderResult parsed = parseBackupHeader(std::span(file).first(cut), format);
            EXPECT_FALSE(parsed.header) << formatName(format) << " cut at " << cut;
            EXPECT_FALSE(parsed.failure.message.empty());
        }
        for (std::size_t at = 0; at < size; ++at) {
            for (const std::uint8_t flip : {0x01, 0x80, 0xFF}) {
                Bytes changed = file;
                changed[at] ^= flip;
                const HeaderResult parsed = parseBackupHeader(changed, format);
                if (parsed.header) {
                    EXPECT_LE(parsed.header->size, changed.size());
                }
            }
        }
    }
}

TEST(ProtoReader, SkipsUnknownFieldsAndStopsAtDamage) {
    // Field 1 varint 300, field 9 fixed64, field 10 fixed32, field 2 "ab".
    const Bytes good = {0x08, 0xAC, 0x02, 0x49, 1, 2, 3, 4, 5, 6, 7, 8, 0x55, 1, 2, 3, 4, 0x12, 2, 'a', 'b'};
    ProtoReader reader(good);
    std::vector<std::uint32_t> numbers;
    while (const auto field = reader.next())
        numbers.push_back(field->number);
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(numbers, (std::vector<std::uint32_t>{1, 9, 10, 2}));

    const std::vector<Bytes> damaged = {
        {0x08},                                                                    // varint missing
        {0x08, 0x80, 0x80},                                                        // varint cut
        {0x12, 0x05, 'a'},                                                         // length beyond the end
        {0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01},        // enormous length
        {0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01},  // eleven-byte varint
        {0x0B},                                                                    // group start
        {0x00, 0x01},                                                              // field number 0
        {0x49, 1, 2, 3},                                                           // fixed64 cut
    };
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        ProtoReader bad(damaged[i]);
        while (bad.next()) {
        }
        EXPECT_TRUE(bad.failed()) << "case " << i;
    }
}

}  // namespace
}  // namespace talvio::backup
