// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <cstring>

#include "media/wav_reader.h"
#include "media/wav_writer.h"
#include "media_test_files.h"

namespace talvio::media {
namespace {

using namespace test;

void put(Bytes& b, std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i) {
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

// WAV files built chunk by chunk, so that chunks can come in any order and lie about their size.
struct Wav {
    Bytes body;
    Wav& chunk(const char* id, const Bytes& data, std::int64_t declared = -1) {
        body.insert(body.end(), id, id + 4);
        put(body,
            declared < 0 ? static_cast<std::uint32_t>(data.size()) : static_cast<std::uint32_t>(declared), 4);
        body.insert(body.end(), data.begin(), data.end());
        if (data.size() % 2 != 0 && declared < 0) {
            body.push_back(0);
        }
        return *this;
    }
    Wav& fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
        Bytes f;
        put(f, tag, 2);
        put(f, channels, 2);
        put(f, rate, 4);
        put(f, rate * channels * bits / 8, 4);
        put(f, channels * bits / 8, 2);
        put(f, bits, 2);
        return chunk("fmt ", f);
    }
    Bytes file(std::int64_t riffSize = -1) const {
        Bytes out{'R', 'I', 'F', 'F'};
        put(out,
            riffSize < 0 ? static_cast<std::uint32_t>(4 + body.size()) : static_cast<std::uint32_t>(riffSize),
            4);
        out.insert(out.end(), {'W', 'A', 'V', 'E'});
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
};

SoundRecord soundOf(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits, std::size_t bytes) {
    SoundRecord sound;
    sound.sampleRate = rate;
    sound.channels = channels;
    sound.bitsPerSample = bits;
    sound.samples = randomBytes(bytes, rate + bytes);
    return sound;
}

class WavFileTest : public ::testing::Test {
protected:
    WavError load(const Bytes& bytes, SoundRecord& sound) {
        writeBytes(m_folder.file("in.wav"), bytes);
        return loadWavFile(m_folder.file("in.wav"), sound);
    }
    ScratchFolder m_folder;
};

TEST_F(WavFileTest, ExportKeepsTheSoundsOwnFormat) {
    SoundRecord floating = soundOf(48000, 2, 32, 800);
    floating.format = SampleFormat::Float;
    for (const SoundRecord& sound : {soundOf(16000, 1, 16, 1000), soundOf(22050, 1, 16, 3002),
                                     soundOf(16000, 2, 16, 4000), soundOf(22050, 2, 16, 4004), floating}) {
        const std::string path = m_folder.file("out.wav");
        ASSERT_TRUE(writeWavFile(sound, path));
        const Bytes f = readBytes(path);
        const std::size_t n = sound.samples.size();
        const unsigned align = sound.channels * sound.bitsPerSample / 8;
        ASSERT_EQ(f.size(), 46 + n);
        EXPECT_EQ(std::memcmp(f.data(), "RIFF", 4), 0);
        EXPECT_EQ(le(f, 4, 4), n + 38);
        EXPECT_EQ(std::memcmp(f.data() + 8, "WAVEfmt ", 8), 0);
        EXPECT_EQ(le(f, 16, 4), 18u);
        EXPECT_EQ(le(f, 20, 2), static_cast<unsigned>(sound.format));
        EXPECT_EQ(le(f, 22, 2), sound.channels);
        EXPECT_EQ(le(f, 24, 4), sound.sampleRate);
        EXPECT_EQ(le(f, 28, 4), sound.sampleRate * align);
        EXPECT_EQ(le(f, 32, 2), align);
        EXPECT_EQ(le(f, 34, 2), sound.bitsPerSample);
        EXPECT_EQ(le(f, 36, 2), 0u);
        EXPECT_EQ(std::memcmp(f.data() + 38, "data", 4), 0);
        EXPECT_EQ(le(f, 42, 4), n);

        SoundRecord back;
        ASSERT_EQ(loadWavFile(path, back), WavError::None);
        EXPECT_EQ(back.sampleRate, sound.sampleRate);
        EXPECT_EQ(back.channels, sound.channels);
        EXPECT_EQ(back.bitsPerSample, sound.bitsPerSample);
        EXPECT_EQ(back.format, sound.format);
        EXPECT_EQ(back.samples, sound.samples);
    }
}

TEST_F(WavFileTest, OddSampleCountGetsAPadByteOutsideTheDataSize) {
    const SoundRecord sound = soundOf(8000, 1, 8, 1001);
    const std::string path = m_folder.file("odd.wav");
    ASSERT_TRUE(writeWavFile(sound, path));
    const Bytes f = readBytes(path);
    ASSERT_EQ(f.size(), 46u + 1001 + 1);
    EXPECT_EQ(le(f, 4, 4), 1001u + 38 + 1);
    EXPECT_EQ(le(f, 42, 4), 1001u);
    EXPECT_EQ(f.back(), 0);
    SoundRecord back;
    ASSERT_EQ(loadWavFile(path, back), WavError::None);
    EXPECT_EQ(back.samples, sound.samples);
}

TEST_F(WavFileTest, ExportReplacesOnlyWhenComplete) {
    const SoundRecord sound = soundOf(16000, 1, 16, 1000);
    const std::string path = m_folder.file("out.wav");
    writeBytes(path, Bytes(100000, 0xAB));
    ASSERT_TRUE(writeWavFile(sound, path));
    EXPECT_EQ(readBytes(path).size(), 1046u);

    EXPECT_FALSE(writeWavFile(sound, m_folder.file("missing/out.wav")));
    // A folder that is in the way cannot be replaced; the temporary file must not stay.
    std::filesystem::create_directories(m_folder.file("taken.wav/inside"));
    EXPECT_FALSE(writeWavFile(sound, m_folder.file("taken.wav")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.path), {}), 2);
}

TEST_F(WavFileTest, ChunksAreFoundWhereverTheyLie) {
    const Bytes samples = randomBytes(3001, 7);
    const Bytes list = {'I', 'N', 'F', 'O', 'I', 'S', 'F', 'T', 3, 0, 0, 0, 'x', 'y', 0};  // odd size: padded
    Bytes extensible;  // two channels of 16-bit PCM named by the sub-format GUID
    for (auto [v, size] : {std::pair{0xFFFEu, 2},
                           {2, 2},
                           {24000, 4},
                           {96000, 4},
                           {4, 2},
                           {16, 2},
                           {22, 2},
                           {16, 2},
                           {3, 4},
                           {1, 4},
                           {0x00100000, 4},
                           {0xAA000080, 4},
                           {0x719B3800, 4}}) {
        put(extensible, v, size);
    }
    const Bytes cases[] = {
        Wav().chunk("LIST", list).fmt(1, 1, 16000, 16).chunk("data", samples).file(),
        Wav().chunk("data", samples).chunk("LIST", list).fmt(1, 1, 16000, 16).file(),
        Wav().fmt(1, 1, 16000, 16).chunk("data", samples).chunk("LIST", list).chunk("id3 ", {1, 2, 3}).file(),
        Wav().fmt(1, 1, 16000, 16).chunk("fact", {0, 0, 0, 0}).chunk("data", samples).file(0),  // RIFF size 0
        Wav().chunk("fmt ", extensible).chunk("data", samples).file(),
    };
    for (const Bytes& file : cases) {
        SoundRecord sound;
        ASSERT_EQ(load(file, sound), WavError::None);
        EXPECT_EQ(sound.format, SampleFormat::Integer);
        EXPECT_EQ(sound.samples, samples);
    }
    SoundRecord sound;
    load(cases[4], sound);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.sampleRate, 24000u);
}

TEST_F(WavFileTest, TruncatedOrHugeDataYieldsTheSamplesThatAreThere) {
    const Bytes samples = randomBytes(301, 9);
    for (std::int64_t declared : {10000LL, 0x7FFFFFFFLL, 0xFFFFFFFFLL}) {
        SoundRecord sound;
        ASSERT_EQ(load(Wav().fmt(1, 1, 16000, 16).chunk("data", samples, declared).file(), sound),
                  WavError::None);
        EXPECT_EQ(sound.samples, samples) << declared;
    }
    // A chunk that claims 4 GB hides what follows it; nothing of that size is allocated.
    SoundRecord sound;
    EXPECT_EQ(load(Wav().fmt(1, 1, 16000, 16).chunk("LIST", {1, 2}, 0xFFFFFFF0).chunk("data", samples).file(),
                   sound),
              WavError::NoSound);
}

TEST_F(WavFileTest, UnplayableFilesAreRefusedWithAReason) {
    const Bytes samples = randomBytes(200, 11);
    const Bytes good = Wav().fmt(1, 1, 16000, 16).chunk("data", samples).file();
    Bytes avi = good;
    std::memcpy(avi.data() + 8, "AVI ", 4);
    std::vector<std::pair<Bytes, WavError>> cases = {
        {{}, WavError::NotWav},
        {randomBytes(5000, 12), WavError::NotWav},
        {avi, WavError::NotWav},
        {Wav().chunk("data", samples).file(), WavError::NoFormat},
        {Wav().fmt(1, 1, 16000, 16).chunk("LIST", {1, 2}).file(), WavError::NoSound},
        {Wav().fmt(1, 1, 16000, 16).chunk("data", {}).file(), WavError::NoSound},
        {Wav().fmt(1, 1, 16000, 24).chunk("data", samples).file(), WavError::UnsupportedFormat},
        {Wav().fmt(2, 1, 16000, 4).chunk("data", samples).file(), WavError::UnsupportedFormat},  // ADPCM
        {Wav().fmt(1, 0, 16000, 16).chunk("data", samples).file(), WavError::UnsupportedFormat},
        {Wav().fmt(1, 1, 0, 16).chunk("data", samples).file(), WavError::UnsupportedFormat},
        {Wav().chunk("fmt ", {1, 0, 1, 0}).chunk("data", samples).file(), WavError::UnsupportedFormat},
    };
    for (std::size_t cut = 1; cut < 44; cut += 3) {  // cut anywhere in the header
        cases.push_back(
            {Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)), WavError::None});
    }
    for (const auto& [file, expected] : cases) {
        SoundRecord sound;
        sound.sampleRate = 1234;
        const WavError error = load(file, sound);
        if (expected == WavError::None) {
            EXPECT_NE(error, WavError::None) << file.size() << " bytes";
        } else {
            EXPECT_EQ(error, expected) << file.size() << " bytes";
        }
        EXPECT_FALSE(wavErrorText(error).empty());
        EXPECT_EQ(sound.sampleRate, 1234u) << "a refused file leaves the sound alone";
    }
    SoundRecord sound;
    EXPECT_EQ(loadWavFile(m_folder.file("nothing-here.wav"), sound), WavError::CannotOpen);
}

}  // namespace
}  // namespace talvio::media
