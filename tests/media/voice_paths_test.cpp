// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include "media/block_feed.h"
#include "media/voice_paths.h"
#include "media/voice_texts.h"

namespace talvio::media {
namespace {

TEST(VoicePaths, WavAndExportPaths) {
    EXPECT_EQ(wavPathForVoice("/phone/Media/a b/1.opus"), "/phone/Media/a b/1.wav");
    EXPECT_EQ(wavPathForVoice("/v/note.ogg"), "/v/not.wav");
    EXPECT_EQ(wavPathForVoice("/v/x语音的.m"), "/v/x.wav");  // whole characters, not bytes
    EXPECT_EQ(wavPathForVoice(".opus"), "");
    EXPECT_EQ(wavPathForVoice("/p/it's \"my\" note.opus"), "/p/it's \"my\" note.wav");

    EXPECT_EQ(exportPathFor("/home/u/note"), "/home/u/note.wav");
    EXPECT_EQ(exportPathFor("/home/u/note.wav.bak"), "/home/u/note.wav.bak");
    EXPECT_EQ(exportPathFor("/home/u/NOTE.WAV"), "/home/u/NOTE.WAV.wav");
    EXPECT_EQ(voice_texts::replaceQuestion("/a.wav"),
              "/a.wav is exist\xEF\xBC\x8Cwould you like to replace the existing file");
}

TEST(VoicePaths, CachedWavsStayInTheCacheAndNeverCollide) {
    const std::string a = cachedWavPath("/phone/Library/Media/a/note.opus", "/cache/");
    const std::string b = cachedWavPath("/phone/Library/Media/b/note.opus", "/cache/");
    EXPECT_EQ(a.rfind("/cache/voice/", 0), 0u);
    EXPECT_TRUE(a.size() > 9 && a.substr(a.size() - 9) == "-note.wav");
    EXPECT_NE(a, b);
    EXPECT_EQ(a, cachedWavPath("/phone/Library/Media/a/note.opus", "/cache/"));
    // A name from the database cannot climb out of the cache folder.
    const std::string hostile = cachedWavPath("/phone/x/..\\..\\..opus", "/cache/");
    EXPECT_EQ(hostile.find("/..", 12), std::string::npos);
    EXPECT_EQ(hostile.rfind("/cache/voice/", 0), 0u);
}

TEST(BlockFeed, BlocksAreTakenInPiecesAndDoneWhenTheirLastByteIsPlayed) {
    const std::vector<std::uint8_t> a(8192, 1), b(8192, 2);
    BlockFeed feed;
    feed.push(0, a);
    feed.push(1, b);
    // A sink with little room takes parts, across the border of two blocks.
    feed.taken(5000);
    EXPECT_EQ(feed.untaken().data(), a.data() + 5000);
    EXPECT_EQ(feed.untaken().size(), 3192u);
    feed.taken(3192 + 100);
    EXPECT_EQ(feed.untaken().data(), b.data() + 100);

    EXPECT_TRUE(feed.takePlayed(8191).empty());
    EXPECT_EQ(feed.takePlayed(8192), std::vector<int>{0});
    EXPECT_TRUE(feed.takePlayed(8192).empty()) << "reported once";
    EXPECT_TRUE(feed.takePlayed(20000).empty()) << "not played before the sink has taken it all";
    feed.taken(8092);
    EXPECT_EQ(feed.takePlayed(20000), std::vector<int>{1});
    EXPECT_TRUE(feed.untaken().empty());

    feed.push(0, a);
    feed.clear();
    feed.push(1, b);
    feed.taken(8192);
    EXPECT_EQ(feed.takePlayed(8192), std::vector<int>{1}) << "counts restart after a clear";

    SoundRecord stereo;
    stereo.sampleRate = 22050;
    stereo.channels = 2;
    stereo.bitsPerSample = 16;
    EXPECT_EQ(playedBytes(100, stereo), 8u);  // 2.2 frames
    EXPECT_EQ(playedBytes(std::int64_t{10} * 3600 * 1'000'000, stereo), std::uint64_t{22050} * 4 * 36000);
}

}  // namespace
}  // namespace talvio::media
