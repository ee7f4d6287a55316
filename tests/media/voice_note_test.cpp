// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <cstdlib>

#include "media/voice_paths.h"
#include "media/wav_reader.h"
#include "media/wav_writer.h"
#include "media_test_files.h"

namespace talvio::media {
namespace {

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// The road of a voice note: decoded beside itself, played and exported. The decoder keeps the
// note's own rate, so the export must keep it too.
TEST(VoiceNote, DecodedNoteLoadsAndExportsWithItsOwnRate) {
    if (!run("command -v opusenc >/dev/null && command -v opusdec >/dev/null")) {
        GTEST_SKIP() << "opusenc/opusdec not installed";
    }
    test::ScratchFolder folder;
    for (const auto& [rate, channels] : {std::pair<std::uint32_t, std::uint16_t>{16000, 1}, {22050, 2}}) {
        SoundRecord original;
        original.sampleRate = rate;
        original.channels = channels;
        original.bitsPerSample = 16;
        original.samples = test::randomBytes(rate * channels, rate);  // half a second of noise
        const std::string voice = folder.file("note.opus");
        ASSERT_TRUE(writeWavFile(original, folder.file("source.wav")));
        ASSERT_TRUE(run("opusenc --quiet '" + folder.file("source.wav") + "' '" + voice + "'"));
        ASSERT_TRUE(run("opusdec --quiet '" + voice + "' '" + wavPathForVoice(voice) + "'"));

        SoundRecord decoded;
        ASSERT_EQ(loadWavFile(folder.file("note.wav"), decoded), WavError::None);
        EXPECT_EQ(decoded.sampleRate, rate);
        EXPECT_EQ(decoded.channels, channels);
        EXPECT_EQ(decoded.samples.size(), original.samples.size());

        ASSERT_TRUE(writeWavFile(decoded, folder.file("exported.wav")));
        SoundRecord back;
        ASSERT_EQ(loadWavFile(folder.file("exported.wav"), back), WavError::None);
        EXPECT_EQ(back.sampleRate, rate);
        EXPECT_EQ(back.samples, decoded.samples);
    }
}

}  // namespace
}  // namespace talvio::media
