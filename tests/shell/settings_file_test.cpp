// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/settings_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace talvio {
namespace {

using test::readFile;
using test::writeFile;

// A record file of `size` bytes (1044 unless cut): the kind, then each path in its 260 bytes.
std::string recordBytes(std::int32_t kind, const std::array<std::string, 4>& fields,
                        std::size_t size = kSettingsFileSize) {
    std::string bytes(kSettingsFileSize, '\0');
    const auto k = static_cast<std::uint32_t>(kind);
    for (int b = 0; b < 4; ++b)
        bytes[static_cast<std::size_t>(b)] = static_cast<char>(k >> (8 * b));
    for (std::size_t i = 0; i < 4; ++i)
        bytes.replace(4 + i * 260, fields[i].size(), fields[i]);
    bytes.resize(size);
    return bytes;
}

SettingsRecord earlierValues() {
    return {7, "/earlier/android/", "/earlier/android-res/", "/earlier/iphone/", "/earlier/iphone-res/"};
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::string file() const { return dir.path() + "talvio/para.dll"; }
    std::string folder() const { return dir.path() + "talvio/"; }
    test::TempDir dir;
};

TEST_F(SettingsFileTest, RoundTripWritesTheExactRecord) {
    const SettingsRecord saved{1, "/phone/com.whatsapp/", "", "/phone/group.net.whatsapp.WhatsApp.shared/",
                               "/phone/net.whatsapp.WhatsApp/"};
    EXPECT_EQ(SaveSettings(folder(), saved), std::nullopt);
    EXPECT_EQ(readFile(file()), recordBytes(1, {saved.androidDataPath, saved.androidResourcePath,
                                                saved.iphoneDataPath, saved.iphoneResourcePath}));
    SettingsRecord loaded;
    LoadSettings(folder(), loaded);
    EXPECT_EQ(loaded, saved);

    // -1, the kind before any choice, is stored as its two's complement; non-ASCII paths as UTF-8.
    const SettingsRecord unchosen{-1, "/home/李/com.whatsapp/", "", "", ""};
    ASSERT_EQ(SaveSettings(folder(), unchosen), std::nullopt);
    EXPECT_EQ(readFile(file()).substr(0, 4), std::string("\xFF\xFF\xFF\xFF", 4));
    LoadSettings(folder(), loaded);
    EXPECT_EQ(loaded, unchosen);
}

TEST_F(SettingsFileTest, SavingReplacesALongerOrDirtierFileWhole) {
    // Bytes after a terminator carry no meaning: an old longer path leaves nothing behind.
    writeFile(file(), recordBytes(0, {std::string(250, 'x'), "", "", ""}) + "trailing junk");
    ASSERT_EQ(SaveSettings(folder(), SettingsRecord{0, "/a/", "", "", ""}), std::nullopt);
    EXPECT_EQ(readFile(file()), recordBytes(0, {"/a/", "", "", ""}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder()), {}), 1)
        << "a temporary file was left";
}

TEST_F(SettingsFileTest, FirstRunCreatesFolderAndEmptyFileAndKeepsDefaults) {
    resetSettingsRecord();
    LoadSettings(dir.path() + "config/talvio/");
    EXPECT_EQ(settingsRecord(), SettingsRecord{});
    EXPECT_EQ(settingsRecord().sourceKind, -1);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() + "config/talvio/para.dll"));
    EXPECT_EQ(std::filesystem::file_size(dir.path() + "config/talvio/para.dll"), 0u);
}

TEST_F(SettingsFileTest, ASettingsFileThatIsAFifoOrAFolderIsPassedOver) {
    std::filesystem::create_directories(folder());
    ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
    SettingsRecord record = earlierValues();
    // A FIFO without a writer: an ordinary open would wait for ever at start.
    LoadSettings(folder(), record);
    EXPECT_EQ(record, earlierValues());
    EXPECT_EQ(std::filesystem::status(file()).type(), std::filesystem::file_type::fifo);
    std::filesystem::remove(file());
    std::filesystem::create_directory(file());
    LoadSettings(folder(), record);
    EXPECT_EQ(record, earlierValues());
}

TEST_F(SettingsFileTest, ShortFileKeepsTheFieldsItDoesNotHoldInFull) {
    // Kind and first path complete, the second path cut off before its zero byte.
    writeFile(file(), recordBytes(0, {"/phone/a/", "/phone/resource-that-is-cut/", "", ""}, 4 + 260 + 10));
    SettingsRecord record = earlierValues();
    LoadSettings(folder(), record);
    EXPECT_EQ(record, (SettingsRecord{0, "/phone/a/", "/earlier/android-res/", "/earlier/iphone/",
                                      "/earlier/iphone-res/"}));

    // A cut field whose zero byte made it into the file is whole.
    writeFile(file(), recordBytes(1, {"/p/", "/r/", "", ""}, 4 + 260 + 4));
    record = earlierValues();
    LoadSettings(folder(), record);
    EXPECT_EQ(record, (SettingsRecord{1, "/p/", "/r/", "/earlier/iphone/", "/earlier/iphone-res/"}));

    // Fewer than four bytes are no SourceKind.
    writeFile(file(), std::string("\x01\x00", 2));
    record = earlierValues();
    LoadSettings(folder(), record);
    EXPECT_EQ(record, earlierValues());
}

TEST_F(SettingsFileTest, CorruptFieldsAreNeverReadPastTheirEnd) {
    // The first field has no zero byte at all; the next starts right after its 260 bytes, and
    // junk after a terminator is ignored.
    std::string bytes = recordBytes(1, {std::string(260, 'A'), "", "/phone/shared/", ""});
    bytes.replace(264 + 10, 5, "JUNK!");
    bytes.replace(524 + 14 + 1, 8, "garbage!");
    writeFile(file(), bytes);
    SettingsRecord record = earlierValues();
    LoadSettings(folder(), record);
    EXPECT_EQ(record.androidDataPath, "/earlier/android/");
    EXPECT_EQ(record.androidResourcePath, "");
    EXPECT_EQ(record.iphoneDataPath, "/phone/shared/");
    EXPECT_EQ(record.iphoneResourcePath, "");
    // Whatever it holds, the kind is taken as written; the dialog copes with unknown kinds.
    EXPECT_EQ(record.sourceKind, 1);
    // What was loaded can be saved again.
    EXPECT_EQ(SaveSettings(folder(), record), std::nullopt);
}

TEST_F(SettingsFileTest, OverLongPathIsRefusedNotCut) {
    const std::string longest(kLongestSettingsPath, 'p');
    ASSERT_EQ(SaveSettings(folder(), SettingsRecord{0, longest, "", "", ""}), std::nullopt);
    SettingsRecord loaded;
    LoadSettings(folder(), loaded);
    EXPECT_EQ(loaded.androidDataPath, longest);

    const std::string before = readFile(file());
    const std::string tooLong = "/" + std::string(kLongestSettingsPath, 'q');
    const auto failure = SaveSettings(folder(), SettingsRecord{1, longest, "", "/short/", tooLong});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, settingsPathTooLongMessage(tooLong));
    EXPECT_NE(failure->find(tooLong), std::string::npos);
    EXPECT_EQ(readFile(file()), before);

    EXPECT_TRUE(fitsSettingsField(longest));
    EXPECT_FALSE(fitsSettingsField(tooLong));
    EXPECT_FALSE(fitsSettingsField(std::string("/a\0b/", 5)));
}

TEST_F(SettingsFileTest, UnwritableFolderGivesTheAdministratorMessage) {
    // Tests run as root, whom permissions do not stop: a folder below a regular file stops anyone.
    writeFile(dir.path() + "plain", "x");
    const std::string impossible = dir.path() + "plain/talvio/";
    EXPECT_EQ(SaveSettings(impossible, SettingsRecord{0, "/a/", "", "", ""}),
              "Save setting failure. Please run it as administrator.");
    SettingsRecord record = earlierValues();
    LoadSettings(impossible, record);
    EXPECT_EQ(record, earlierValues());
}

}  // namespace
}  // namespace talvio
