// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "media/wav_reader.h"
#include "media/wav_writer.h"
#include "media_test_files.h"

namespace talvio::media {
namespace {

using test::le16At;
using test::le32At;
using test::randomBytes;
using test::readBytes;
using test::ScratchFolder;
using test::writeBytes;
using Bytes = std::vector<std::uint8_t>;

// Builds WAV files chunk by chunk, so that tests can put chunks in any order and lie in sizes.
class WavBuilder {
public:
    WavBuilder& chunk(const char* id, const Bytes& body, std::uint32_t declaredSize) {
        m_body.insert(m_body.end(), id, id + 4);
        put32(m_body, declaredSize);
        m_body.insert(m_body.end(), body.begin(), body.end());
        return *this;
    }
    WavBuilder& chunk(const char* id, const Bytes& body) {
        chunk(id, body, static_cast<std::uint32_t>(body.size()));
        if (body.size() % 2 != 0) {
            m_body.push_back(0);
        }
        return *this;
    }
    WavBuilder& fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
        Bytes f;
        put16(f, tag);
        put16(f, channels);
        put32(f, rate);
        put32(f, rate * channels * bits / 8);
        put16(f, static_cast<std::uint16_t>(channels * bits / 8));
        put16(f, bits);
        return chunk("fmt ", f);
    }
    Bytes file(std::uint32_t riffSize) const {
        Bytes out{'R', 'I', 'F', 'F'};
        put32(out, riffSize);
        out.insert(out.end(), {'W', 'A', 'V', 'E'});
        out.insert(out.end(), m_body.begin(), m_body.end());
        return out;
    }
    Bytes file() const { return file(static_cast<std::uint32_t>(4 + m_body.size())); }

    static void put16(Bytes& b, std::uint16_t v) {
        b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
    }
    static void put32(Bytes& b, std::uint32_t v) {
        b.insert(b.end(),
                 {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
    }

private:
    Bytes m_body;
};

class WavFileTest : public ::testing::Test {
protected:
    WavError load(const Bytes& bytes, SoundRecord& sound) {
        const std::string path = m_folder.file("in.wav");
        writeBytes(path, bytes);
        return loadWavFile(path, sound);
    }

    ScratchFolder m_folder;
};

TEST_F(WavFileTest, RoundTripKeepsTheSoundsOwnFormat) {
    struct Case {
        std::uint32_t rate;
        std::uint16_t channels;
    };
    for (const Case c : {Case{16000, 1}, Case{22050, 1}, Case{16000, 2}, Case{22050, 2}}) {
        SoundRecord sound;
        sound.sampleRate = c.rate;
        sound.channels = c.channels;
        sound.bitsPerSample = 16;
        sound.samples = randomBytes(20000 + 4 * c.channels, c.rate + c.channels);
        const std::string path = m_folder.file("out.wav");
        ASSERT_TRUE(writeWavFile(sound, path));

        const Bytes file = readBytes(path);
        const std::size_t n = sound.samples.size();
        ASSERT_EQ(file.size(), 46 + n);
        EXPECT_EQ(std::memcmp(file.data(), "RIFF", 4), 0);
        EXPECT_EQ(le32At(file, 4), n + 38);
        EXPECT_EQ(std::memcmp(file.data() + 8, "WAVEfmt ", 8), 0);
        EXPECT_EQ(le32At(file, 16), 18u);
        EXPECT_EQ(le16At(file, 20), 1);
        EXPECT_EQ(le16At(file, 22), c.channels);
        EXPECT_EQ(le32At(file, 24), c.rate);
        EXPECT_EQ(le32At(file, 28), c.rate * 2 * c.channels);
        EXPECT_EQ(le16At(file, 32), 2 * c.channels);
        EXPECT_EQ(le16At(file, 34), 16);
        EXPECT_EQ(le16At(file, 36), 0);
        EXPECT_EQ(std::memcmp(file.data() + 38, "data", 4), 0);
        EXPECT_EQ(le32At(file, 42), n);

        SoundRecord back;
        ASSERT_EQ(loadWavFile(path, back), WavError::None);
        EXPECT_EQ(back.sampleRate, c.rate);
        EXPECT_EQ(back.channels, c.channels);
        EXPECT_EQ(back.bitsPerSample, 16);
        EXPECT_EQ(back.format, SampleFormat::Integer);
        EXPECT_EQ(back.samples, sound.samples);
    }
}

TEST_F(WavFileTest, OddSampleCountGetsAPadByteOutsideTheDataSize) {
    SoundRecord sound;
    sound.sampleRate = 8000;
    sound.channels = 1;
    sound.bitsPerSample = 8;
    sound.samples = randomBytes(1001, 3);
    const std::string path = m_folder.file("odd.wav");
    ASSERT_TRUE(writeWavFile(sound, path));

    const Bytes file = readBytes(path);
    ASSERT_EQ(file.size(), 46u + 1001 + 1);
    EXPECT_EQ(le32At(file, 4), 1001u + 38 + 1);
    EXPECT_EQ(le32At(file, 42), 1001u);
    EXPECT_EQ(file.back(), 0);

    SoundRecord back;
    ASSERT_EQ(loadWavFile(path, back), WavError::None);
    EXPECT_EQ(back.samples, sound.samples);
}

TEST_F(WavFileTest, FloatSoundsKeepTheirFormatTag) {
    SoundRecord sound;
    sound.sampleRate = 48000;
    sound.channels = 2;
    sound.bitsPerSample = 32;
    sound.format = SampleFormat::Float;
    sound.samples = randomBytes(800, 4);
    const std::string path = m_folder.file("float.wav");
    ASSERT_TRUE(writeWavFile(sound, path));
    EXPECT_EQ(le16At(readBytes(path), 20), 3);
    SoundRecord back;
    ASSERT_EQ(loadWavFile(path, back), WavError::None);
    EXPECT_EQ(back.format, SampleFormat::Float);
    EXPECT_EQ(back.bitsPerSample, 32);
}

TEST_F(WavFileTest, WriteReplacesAnExistingFileAndLeavesNoTemporaryBehind) {
    const std::string path = m_folder.file("out.wav");
    writeBytes(path, Bytes(100000, 0xAB));
    SoundRecord sound;
    sound.sampleRate = 16000;
    sound.channels = 1;
    sound.bitsPerSample = 16;
    sound.samples = randomBytes(1000, 5);
    ASSERT_TRUE(writeWavFile(sound, path));
    EXPECT_EQ(readBytes(path).size(), 1046u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.path()), {}), 1);
}

TEST_F(WavFileTest, FailedWriteLeavesNothingBehind) {
    SoundRecord sound;
    sound.sampleRate = 16000;
    sound.channels = 1;
    sound.bitsPerSample = 16;
    sound.samples = randomBytes(100, 6);
    EXPECT_FALSE(writeWavFile(sound, m_folder.file("missing/out.wav")));
    // A folder in the way cannot be replaced; the temporary file must not stay.
    std::filesystem::create_directory(m_folder.file("taken.wav"));
    std::filesystem::create_directory(m_folder.file("taken.wav/inside"));
    EXPECT_FALSE(writeWavFile(sound, m_folder.file("taken.wav")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.path()), {}), 1);
}

TEST_F(WavFileTest, ChunksAreFoundWhereverTheyLie) {
    const Bytes samples = randomBytes(3000, 7);
    const Bytes list = {'I', 'N', 'F', 'O', 'I', 'S', 'F', 'T', 3, 0, 0, 0, 'x', 'y', 0};  // odd size: padded

    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"LIST first", WavBuilder().chunk("LIST", list).fmt(1, 1, 16000, 16).chunk("data", samples).file()},
        {"data before fmt",
         WavBuilder().chunk("data", samples).chunk("LIST", list).fmt(1, 1, 16000, 16).file()},
        {"chunks after data", WavBuilder()
                                  .fmt(1, 1, 16000, 16)
                                  .chunk("data", samples)
                                  .chunk("LIST", list)
                                  .chunk("id3 ", {1, 2, 3})
                                  .file()},
        {"wrong RIFF size",
         WavBuilder().fmt(1, 1, 16000, 16).chunk("fact", {0, 0, 0, 0}).chunk("data", samples).file(0)},
    };
    for (const Case& c : cases) {
        SoundRecord sound;
        ASSERT_EQ(load(c.file, sound), WavError::None) << c.name;
        EXPECT_EQ(sound.sampleRate, 16000u) << c.name;
        EXPECT_EQ(sound.samples, samples) << c.name;
    }
}

TEST_F(WavFileTest, ExtensibleFormatIsReadByItsSubFormat) {
    Bytes f;
    WavBuilder::put16(f, 0xFFFE);
    WavBuilder::put16(f, 2);
    WavBuilder::put32(f, 24000);
    WavBuilder::put32(f, 96000);
    WavBuilder::put16(f, 4);
    WavBuilder::put16(f, 16);
    WavBuilder::put16(f, 22);
    WavBuilder::put16(f, 16);
    WavBuilder::put32(f, 3);
    const Bytes pcmGuid = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    f.insert(f.end(), pcmGuid.begin(), pcmGuid.end());
    SoundRecord sound;
    ASSERT_EQ(load(WavBuilder().chunk("fmt ", f).chunk("data", randomBytes(400, 8)).file(), sound),
              WavError::None);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.sampleRate, 24000u);
    EXPECT_EQ(sound.format, SampleFormat::Integer);
}

TEST_F(WavFileTest, TruncatedDataYieldsTheSamplesThatAreThere) {
    const Bytes samples = randomBytes(301, 9);
    for (std::uint32_t declared : {10000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        SoundRecord sound;
        ASSERT_EQ(load(WavBuilder().fmt(1, 1, 16000, 16).chunk("data", samples, declared).file(), sound),
                  WavError::None)
            << declared;
        EXPECT_EQ(sound.samples, samples) << declared;
    }
}

TEST_F(WavFileTest, HugeChunkBeforeTheDataHidesIt) {
    // The data chunk lies beyond a chunk that claims the rest of a 4 GB file: it cannot be
    // reached, and nothing of that size is allocated.
    SoundRecord sound;
    EXPECT_EQ(load(WavBuilder()
                       .fmt(1, 1, 16000, 16)
                       .chunk("LIST", {1, 2, 3, 4}, 0xFFFFFFF0u)
                       .chunk("data", randomBytes(100, 10))
                       .file(),
                   sound),
              WavError::NoSound);
}

TEST_F(WavFileTest, UnplayableFilesAreRefusedWithAReason) {
    const Bytes samples = randomBytes(200, 11);
    const Bytes fine = WavBuilder().fmt(1, 1, 16000, 16).chunk("data", samples).file();
    struct Case {
        const char* name;
        Bytes file;
        WavError error;
    };
    std::vector<Case> cases = {
        {"empty file", {}, WavError::NotWav},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!'}, WavError::NotWav},
        {"garbage", randomBytes(5000, 12), WavError::NotWav},
        {"not WAVE",
         [] {
             Bytes b = WavBuilder().fmt(1, 1, 16000, 16).file();
             std::memcpy(b.data() + 8, "AVI ", 4);
             return b;
         }(),
         WavError::NotWav},
        {"header cut short", Bytes(fine.begin(), fine.begin() + 30), WavError::UnsupportedFormat},
        {"no fmt", WavBuilder().chunk("data", samples).file(), WavError::NoFormat},
        {"no data", WavBuilder().fmt(1, 1, 16000, 16).chunk("LIST", {1, 2}).file(), WavError::NoSound},
        {"empty data", WavBuilder().fmt(1, 1, 16000, 16).chunk("data", {}).file(), WavError::NoSound},
        {"24-bit", WavBuilder().fmt(1, 1, 16000, 24).chunk("data", samples).file(),
         WavError::UnsupportedFormat},
        {"ADPCM", WavBuilder().fmt(2, 1, 16000, 4).chunk("data", samples).file(),
         WavError::UnsupportedFormat},
        {"no channels", WavBuilder().fmt(1, 0, 16000, 16).chunk("data", samples).file(),
         WavError::UnsupportedFormat},
        {"rate 0", WavBuilder().fmt(1, 1, 0, 16).chunk("data", samples).file(), WavError::UnsupportedFormat},
        {"short fmt", WavBuilder().chunk("fmt ", {1, 0, 1, 0}).chunk("data", samples).file(),
         WavError::UnsupportedFormat},
    };
    for (std::size_t cut = 1; cut < 44; cut += 7) {
        cases.push_back(
            {"cut", Bytes(fine.begin(), fine.begin() + static_cast<std::ptrdiff_t>(cut)), WavError::None});
    }
    for (const Case& c : cases) {
        SoundRecord sound;
        sound.sampleRate = 1234;
        const WavError error = load(c.file, sound);
        if (c.error == WavError::None) {
            EXPECT_NE(error, WavError::None) << c.name << " " << c.file.size();
        } else {
            EXPECT_EQ(error, c.error) << c.name;
        }
        EXPECT_FALSE(wavErrorText(error).empty()) << c.name;
        EXPECT_EQ(sound.sampleRate, 1234u) << c.name << ": a refused file leaves the sound alone";
    }

    SoundRecord sound;
    EXPECT_EQ(loadWavFile(m_folder.file("nothing-here.wav"), sound), WavError::CannotOpen);
    EXPECT_EQ(wavErrorText(WavError::CannotOpen), "The sound file cannot be opened.");
}

}  // namespace
}  // namespace talvio::media
