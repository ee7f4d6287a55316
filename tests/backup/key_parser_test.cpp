// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/key_parser.h"

#include <gtest/gtest.h>
#include <openssl/hmac.h>

#include <string>

#include "backup/backup_writer.h"
#include "backup/java_byte_array.h"
#include "backup/key_derivation.h"
#include "backup_test_support.h"
#include "tests/support/temp_dir.h"

namespace talvio::backup {
namespace {

using test::Bytes;

constexpr char kDigits[] = "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";

Bytes bytesOf(const KeyMaterial& key) {
    return Bytes(key.bytes().begin(), key.bytes().end());
}

Bytes counting() {
    Bytes bytes;
    for (std::uint8_t i = 0; i < 32; ++i)
        bytes.push_back(i);
    return bytes;
}

Bytes textBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

TEST(TypedKey, DigitsAsPastedOrTypedInGroups) {
    for (const std::string& text :
         {std::string(kDigits), std::string("0001 0203 0405 0607 0809 0A0B 0C0D 0E0F\r\n1011-1213-1415-1617\t"
                                            "18191A1B1C1D1E1F\n")}) {
        const KeyResult result = parseTypedKey(text);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.key->kind(), KeyKind::Digits);
        EXPECT_EQ(bytesOf(*result.key), counting());
    }
}

TEST(TypedKey, WrongLengthOrCharacterSaysWhatIsWrongWithoutQuotingIt) {
    const std::string digits(kDigits);
    EXPECT_NE(parseTypedKey(digits.substr(1)).error.find("63 digits"), std::string::npos);
    EXPECT_NE(parseTypedKey(digits + "a").error.find("65 digits"), std::string::npos);
    EXPECT_NE(parseTypedKey("").error.find("0 digits"), std::string::npos);

    std::string typo = digits;
    typo[9] = 'q';
    const KeyResult bad = parseTypedKey(typo);
    EXPECT_FALSE(bad.ok());
    EXPECT_NE(bad.error.find("Character 10"), std::string::npos) << bad.error;
    EXPECT_EQ(bad.error.find("0001020304"), std::string::npos);
    EXPECT_EQ(bad.error.find('q'), std::string::npos);
}

TEST(KeyFile, FilesWrittenLikeThePhonesAreRead) {
    const KeyMaterial aes = test::testKey(KeyKind::BackupKeyFile, 3);
    const Bytes keyFile = writeBackupKeyFile(aes);
    ASSERT_EQ(keyFile.size(), 158u);
    const KeyResult legacy = parseKeyFile(keyFile);
    ASSERT_TRUE(legacy.ok()) << legacy.error;
    EXPECT_EQ(legacy.key->kind(), KeyKind::BackupKeyFile);
    EXPECT_EQ(bytesOf(*legacy.key), bytesOf(aes));

    const KeyMaterial root = test::testKey(KeyKind::RootKeyFile, 4);
    const Bytes rootFile = writeRootKeyFile(root);
    ASSERT_EQ(rootFile.size(), 59u);
    const KeyResult modern = parseKeyFile(rootFile);
    ASSERT_TRUE(modern.ok()) << modern.error;
    EXPECT_EQ(modern.key->kind(), KeyKind::RootKeyFile);
    EXPECT_EQ(bytesOf(*modern.key), bytesOf(root));

    const KeyResult text = parseKeyFile(textBytes("\xEF\xBB\xBF" + std::string(kDigits) + "\n"));
    ASSERT_TRUE(text.ok()) << text.error;
    EXPECT_EQ(text.key->kind(), KeyKind::Digits);
    EXPECT_EQ(bytesOf(*text.key), counting());
}

TEST(KeyFile, DamagedOrForeignFilesAreRefused) {
    const Bytes good = writeBackupKeyFile(test::testKey(KeyKind::BackupKeyFile));
    Bytes shortened(good.begin(), good.end() - 1);
    Bytes longer = good;
    longer.push_back(0);
    Bytes badMagic = good;
    badMagic[3] = 0x06;
    Bytes badClass = good;
    badClass[9] = 'I';
    Bytes badLength = good;
    badLength[26] ^= 1;
    std::vector<Bytes> cases = {shortened,
                                longer,
                                badMagic,
                                badClass,
                                badLength,
                                {},
                                {0xAC, 0xED},
                                textBytes("PK\x03\x04 not a key"),
                                textBytes(std::string(kDigits) + "0")};
    // A well-formed Java array of a size that neither key file has.
    cases.push_back(wrapJavaByteArray(Bytes(64, 7)));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const KeyResult result = parseKeyFile(cases[i]);
        EXPECT_FALSE(result.ok()) << "case " << i;
        EXPECT_FALSE(result.error.empty()) << "case " << i;
    }
    EXPECT_NE(parseKeyFile(cases.back()).error.find("64 bytes"), std::string::npos);
}

TEST(KeyFile, LoadsRegularFilesOnlyAndLeavesThemAlone) {
    talvio::test::TempDir folder;
    const Bytes file = writeRootKeyFile(test::testKey(KeyKind::RootKeyFile));
    test::writeBytes(folder.path() + "encrypted_backup.key", file);
    const auto before = talvio::test::folderSnapshot(folder.path());
    EXPECT_TRUE(loadKeyFile(folder.path() + "encrypted_backup.key").ok());
    EXPECT_EQ(talvio::test::folderSnapshot(folder.path()), before);

    EXPECT_FALSE(loadKeyFile(folder.path() + "missing.key").ok());
    EXPECT_NE(loadKeyFile(folder.path()).error.find("not a regular file"), std::string::npos);
    test::writeBytes(folder.path() + "huge.key", Bytes(100000, '0'));
    EXPECT_NE(loadKeyFile(folder.path() + "huge.key").error.find("too large"), std::string::npos);
}

// The derivation computed a second way: HMAC-SHA256 extract with a zero key, then one expand step.
TEST(KeyDerivation, Crypt15KeyIsHkdfOfTheRootKey) {
    const KeyMaterial root = test::testKey(KeyKind::Digits, 9);
    const std::uint8_t zeros[32] = {};
    std::uint8_t prk[32];
    unsigned int size = 0;
    HMAC(EVP_sha256(), zeros, sizeof zeros, root.bytes().data(), root.bytes().size(), prk, &size);
    const std::string info = std::string("backup encryption") + '\x01';
    std::uint8_t expected[32];
    HMAC(EVP_sha256(), prk, sizeof prk, reinterpret_cast<const std::uint8_t*>(info.data()), info.size(),
         expected, &size);

    const auto derived = deriveCrypt15Key(root);
    ASSERT_TRUE(derived);
    EXPECT_EQ(bytesOf(*derived), Bytes(expected, expected + 32));
    EXPECT_EQ(derived->kind(), KeyKind::Digits);
}

}  // namespace
}  // namespace talvio::backup
