// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iosbackup/backup_crypto.h"
#include "iosbackup/encrypted_stream.h"
#include "iosbackup/file_record.h"
#include "iosbackup/keybag.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace talvio::ios {
namespace {

std::string fromHex(std::string_view hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return out;
}

TEST(BackupCrypto, KeyWrapMatchesRfc3394AndRefusesTheWrongKey) {
    // RFC 3394 section 4.6: 256 bits of key data with a 256-bit key-encryption key.
    const Secret kek(fromHex("000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F"));
    const Secret key(fromHex("00112233445566778899AABBCCDDEEFF000102030405060708090A0B0C0D0E0F"));
    const std::string wrapped =
        fromHex("28C9F404C4B810F4CBCCB35CFB87F8263F5786E2D80ED326CBC7F0E71A99F43BFB988B9B7A02DD21");
    EXPECT_EQ(aesWrap(kek, key), wrapped);
    Secret unwrapped;
    ASSERT_TRUE(aesUnwrap(kek, wrapped, unwrapped));
    EXPECT_EQ(unwrapped.view(), key.view());

    const Secret otherKek = randomBytes(32);
    EXPECT_FALSE(aesUnwrap(otherKek, wrapped, unwrapped));
    std::string flipped = wrapped;
    flipped[20] ^= 1;
    EXPECT_FALSE(aesUnwrap(kek, flipped, unwrapped));
    EXPECT_FALSE(aesUnwrap(kek, wrapped.substr(0, 39), unwrapped));
    EXPECT_FALSE(aesUnwrap(kek, "", unwrapped));
}

std::string classRecord(std::uint32_t protectionClass, const std::string& wrapped) {
    return keybagRecord("UUID", std::string(16, 'u')) + keybagRecord("CLAS", keybagNumber(protectionClass)) +
           keybagRecord("WRAP", keybagNumber(2)) + keybagRecord("WPKY", wrapped);
}

std::string globals(std::uint32_t rounds) {
    return keybagRecord("VERS", keybagNumber(3)) + keybagRecord("UUID", std::string(16, 'g')) +
           keybagRecord("SALT", std::string(20, 's')) + keybagRecord("ITER", keybagNumber(rounds)) +
           keybagRecord("DPIC", keybagNumber(3)) + keybagRecord("DPSL", std::string(20, 'd'));
}

TEST(Keybag, RefusesMalformedBags) {
    const std::string good = globals(2) + classRecord(1, std::string(40, 'w'));
    ASSERT_TRUE(Keybag::parse(good));
    EXPECT_EQ(Keybag::parse(good)->classKeys().size(), 1u);
    EXPECT_FALSE(Keybag::parse(""));
    EXPECT_FALSE(Keybag::parse(good.substr(0, good.size() - 1)));  // value runs past the end
    EXPECT_FALSE(Keybag::parse(good + "WPK"));                     // a record cut in its header
    EXPECT_FALSE(Keybag::parse(globals(2)));                       // no class key at all
    EXPECT_FALSE(Keybag::parse(globals(0) + classRecord(1, std::string(40, 'w'))));
    // Round counts far beyond an iPhone's would keep a worker busy for hours.
    EXPECT_FALSE(Keybag::parse(globals(400'000'000) + classRecord(1, std::string(40, 'w'))));
    std::string hugeLength = good + "WPKY" + std::string("\xff\xff\xff\xff", 4);
    EXPECT_FALSE(Keybag::parse(hugeLength));
    EXPECT_FALSE(
        Keybag::parse(globals(2) + keybagRecord("ITER", "xx") + classRecord(1, std::string(40, 'w'))));
}

TEST(Keybag, UnlocksOnlyWithItsPasswordAndStopsWhenCancelled) {
    Secret first;
    Secret passcodeKey;
    ASSERT_TRUE(pbkdf2Sha256("secret", std::string(20, 'd'), 3, first));
    ASSERT_TRUE(pbkdf2Sha1(first.view(), std::string(20, 's'), 2, passcodeKey));
    const Secret classKey = randomBytes(32);
    // A class key the passcode did not wrap is skipped, not mistaken for a wrong password.
    const Secret foreignKek = randomBytes(32);
    const std::string bag = globals(2) + classRecord(3, aesWrap(passcodeKey, classKey)) +
                            classRecord(5, aesWrap(foreignKek, classKey));
    const std::optional<Keybag> keybag = Keybag::parse(bag);
    ASSERT_TRUE(keybag);

    std::map<std::uint32_t, Secret> keys;
    std::vector<double> steps;
    const auto record = [&](double done) {
        steps.push_back(done);
        return true;
    };
    ASSERT_EQ(keybag->unlock(Secret(std::string_view("secret")), record, keys),
              Keybag::UnlockResult::Unlocked);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys.at(3).view(), classKey.view());
    ASSERT_FALSE(steps.empty());
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_DOUBLE_EQ(steps.back(), 1.0);

    EXPECT_EQ(keybag->unlock(Secret(std::string_view("Secret")), {}, keys),
              Keybag::UnlockResult::WrongPassword);
    EXPECT_TRUE(keys.empty());
    int calls = 0;
    const auto cancelSecond = [&](double) { return ++calls < 2; };
    EXPECT_EQ(keybag->unlock(Secret(std::string_view("secret")), cancelSecond, keys),
              Keybag::UnlockResult::Cancelled);
    EXPECT_TRUE(keys.empty());
}

TEST(FileRecord, ReadsWhatItWritesAndRefusesOtherBlobs) {
    const std::string withKey = std::string("\x03\0\0\0", 4) + std::string(40, 'k');
    const std::optional<FileRecord> record =
        parseFileRecord(makeFileRecord("Message/a.jpg", 5000, 3, withKey));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size, 5000u);
    EXPECT_EQ(record->protectionClass, 3u);
    EXPECT_EQ(record->wrappedKey, std::string(40, 'k'));

    const std::optional<FileRecord> plain = parseFileRecord(makeFileRecord("a", 7, 0, {}));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->size, 7u);
    EXPECT_TRUE(plain->wrappedKey.empty());

    EXPECT_FALSE(parseFileRecord(""));
    EXPECT_FALSE(parseFileRecord("bplist00"));
    EXPECT_FALSE(parseFileRecord("<plist><dict><key>$objects</key><array/></dict></plist>"));
    std::string cut = makeFileRecord("Message/a.jpg", 5000, 3, withKey);
    EXPECT_FALSE(parseFileRecord(cut.substr(0, cut.size() / 2)));
}

class DecryptStream : public ::testing::Test {
protected:
    StreamResult decrypt(const std::string& plain, std::optional<std::uint64_t> size, std::size_t cut = 0) {
        std::string cipher = aesCbcEncrypt(m_key, plain);
        cipher.resize(cipher.size() - cut);
        test::writeFile(m_dir.path() + "f", cipher);
        const StoredFile file = StoredFile::open(m_dir.path() + "f");
        return decryptStream(file, m_key, size, m_sink);
    }

    test::TempDir m_dir;
    Secret m_key = randomBytes(32);
    MemorySink m_sink;
};

TEST_F(DecryptStream, CutsToSizeOrDropsPadding) {
    const std::string block(32, 'b');  // a whole number of blocks: the padding is a block of its own
    ASSERT_EQ(decrypt(block, std::nullopt), StreamResult::Done);
    EXPECT_EQ(m_sink.bytes(), block);
    m_sink.discard();
    ASSERT_EQ(decrypt("seventeen bytes!!", std::nullopt), StreamResult::Done);
    EXPECT_EQ(m_sink.bytes(), "seventeen bytes!!");
    m_sink.discard();
    ASSERT_EQ(decrypt("seventeen bytes!!", 17), StreamResult::Done);
    EXPECT_EQ(m_sink.bytes(), "seventeen bytes!!");
    m_sink.discard();
    // Two megabytes and a bit cross the reading chunks.
    std::string large(2 * 1024 * 1024 + 5, 'x');
    large[1024 * 1024] = 'y';
    ASSERT_EQ(decrypt(large, large.size()), StreamResult::Done);
    EXPECT_EQ(m_sink.bytes(), large);
}

TEST_F(DecryptStream, ReportsShortFiles) {
    EXPECT_EQ(decrypt(std::string(40, 'a'), 40, 16), StreamResult::Truncated);
    EXPECT_EQ(decrypt(std::string(40, 'a'), 40, 3), StreamResult::Truncated);
    EXPECT_EQ(decrypt(std::string(40, 'a'), std::nullopt, 5), StreamResult::Truncated);
}

}  // namespace
}  // namespace talvio::ios
