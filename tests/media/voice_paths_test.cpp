// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include "media/block_feed.h"
#include "media/voice_paths.h"
#include "media/voice_texts.h"

namespace talvio::media {
namespace {

TEST(VoicePaths, WavLiesBesideTheVoiceNoteWithoutItsLastFiveCharacters) {
    EXPECT_EQ(wavPathForVoice("/phone/Library/Media/a b/0/1.opus"), "/phone/Library/Media/a b/0/1.wav");
    EXPECT_EQ(wavPathForVoice("/v/note.ogg"), "/v/not.wav");
    EXPECT_EQ(wavPathForVoice("/v/语音.opus"), "/v/语音.wav");
    // Five characters of which three are multi-byte: none is cut in half.
    EXPECT_EQ(wavPathForVoice("/v/x语音的.m"), "/v/x.wav");
    EXPECT_EQ(wavPathForVoice("a.opus"), "a.wav");
    EXPECT_EQ(wavPathForVoice(".opus"), "");
    EXPECT_EQ(wavPathForVoice(""), "");
}

TEST(VoicePaths, DecoderGetsBothPathsAsTheyAre) {
    const std::string voice = "/p/it's \"my\" note.opus";
    EXPECT_EQ(opusdecArguments(voice, wavPathForVoice(voice)),
              (std::vector<std::string>{voice, "/p/it's \"my\" note.wav"}));
}

TEST(VoicePaths, ExportAddsWavUnlessItAppearsAnywhere) {
    EXPECT_EQ(exportPathFor("/home/u/note"), "/home/u/note.wav");
    EXPECT_EQ(exportPathFor("/home/u/note.wav"), "/home/u/note.wav");
    EXPECT_EQ(exportPathFor("/home/u/note.wav.bak"), "/home/u/note.wav.bak");
    EXPECT_EQ(exportPathFor("/home/u/a.wave"), "/home/u/a.wave");
    EXPECT_EQ(exportPathFor("/home/u/NOTE.WAV"), "/home/u/NOTE.WAV.wav");
}

TEST(VoicePaths, ReplaceQuestionUsesAFullWidthComma) {
    EXPECT_EQ(voice_texts::replaceQuestion("/tmp/a.wav"),
              "/tmp/a.wav is exist\xEF\xBC\x8Cwould you like to replace the existing file");
}

TEST(BlockFeed, BlocksAreTakenInPiecesAndDoneWhenTheirLastByteIsPlayed) {
    const std::vector<std::uint8_t> a(8192, 1), b(8192, 2);
    BlockFeed feed;
    feed.push(0, a);
    feed.push(1, b);

    // A sink with little room takes parts, across the border of two blocks.
    ASSERT_EQ(feed.untaken().size(), 8192u);
    feed.taken(5000);
    EXPECT_EQ(feed.untaken().size(), 3192u);
    EXPECT_EQ(feed.untaken().data(), a.data() + 5000);
    feed.taken(3192);
    EXPECT_EQ(feed.untaken().data(), b.data());
    feed.taken(100);

    EXPECT_TRUE(feed.takePlayed(8191).empty());
    EXPECT_EQ(feed.takePlayed(8192), std::vector<int>{0});
    EXPECT_TRUE(feed.takePlayed(8192).empty()) << "reported once";
    // The clock may run past what the sink was given; a block is not played before it is taken.
    EXPECT_TRUE(feed.takePlayed(20000).empty());
    feed.taken(8092);
    EXPECT_TRUE(feed.untaken().empty());
    EXPECT_EQ(feed.takePlayed(20000), std::vector<int>{1});
    EXPECT_TRUE(feed.empty());

    feed.push(0, a);
    feed.clear();
    EXPECT_TRUE(feed.untaken().empty());
    feed.push(1, b);
    feed.taken(8192);
    EXPECT_EQ(feed.takePlayed(8192), std::vector<int>{1}) << "counts restart after a clear";
}

TEST(BlockFeed, PlayedTimeCountsWholeFrames) {
    SoundRecord mono;
    mono.sampleRate = 24000;
    mono.channels = 1;
    mono.bitsPerSample = 16;
    EXPECT_EQ(playedBytes(1'000'000, mono), 48000u);
    SoundRecord stereo = mono;
    stereo.sampleRate = 22050;
    stereo.channels = 2;
    EXPECT_EQ(playedBytes(100, stereo), 8u);  // 2.2 frames
    EXPECT_EQ(playedBytes(-5, stereo), 0u);
    // Hours of sound do not overflow.
    EXPECT_EQ(playedBytes(std::int64_t{10} * 3600 * 1'000'000, stereo), std::uint64_t{22050} * 4 * 36000);
}

}  // namespace
}  // namespace talvio::media
