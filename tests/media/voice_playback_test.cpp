// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "media/voice_playback.h"
#include "media_test_files.h"

namespace talvio::media {
namespace {

using test::Bytes;
constexpr std::size_t B = kBlockBytes;

// A sound device that plays a block when told to. It keeps a copy of each block as written and
// checks, when the block comes back, that the player left its bytes alone meanwhile.
class FakeOutput : public AudioOutput {
public:
    bool open(const SoundRecord& format) override {
        ++opens;
        EXPECT_FALSE(isOpen) << "a second device was opened";
        isOpen = !failOpen;
        rate = format.sampleRate;
        return isOpen;
    }
    void write(int slot, std::span<const std::uint8_t> block) override {
        EXPECT_TRUE(isOpen);
        EXPECT_TRUE(std::none_of(held.begin(), held.end(), [&](const Held& h) { return h.slot == slot; }))
            << "slot written again while the device holds it";
        held.push_back({slot, block, Bytes(block.begin(), block.end())});
    }
    void reset() override {
        ++resets;
        held.clear();
    }
    void close() override {
        ++closes;
        isOpen = false;
    }
    int finishNext() {
        const Held h = held.front();
        held.pop_front();
        EXPECT_TRUE(std::equal(h.view.begin(), h.view.end(), h.copy.begin())) << "a held block was changed";
        heard.insert(heard.end(), h.copy.begin(), h.copy.end());
        return h.slot;
    }
    const Bytes& lastWritten() const { return held.back().copy; }

    struct Held {
        int slot;
        std::span<const std::uint8_t> view;
        Bytes copy;
    };
    std::deque<Held> held;
    Bytes heard;
    bool failOpen = false, isOpen = false;
    int opens = 0, resets = 0, closes = 0;
    unsigned rate = 0;
};

SoundRecord soundOf(std::size_t bytes) {
    SoundRecord sound;
    sound.samples = test::randomBytes(bytes, 1);
    sound.sampleRate = 16000;
    sound.channels = 1;
    sound.bitsPerSample = 16;
    return sound;
}

Bytes part(const SoundRecord& sound, std::size_t from, std::size_t count) {
    const auto begin = sound.samples.begin() + static_cast<std::ptrdiff_t>(from);
    return Bytes(begin, begin + static_cast<std::ptrdiff_t>(count));
}

bool silent(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](auto b) { return b == 0; });
}

class VoicePlaybackTest : public ::testing::Test {
protected:
    void SetUp() override { setAutoCloseSetting(false); }
    void TearDown() override { setAutoCloseSetting(false); }
    PlaybackUpdate deliver(VoicePlayback& playback) { return playback.blockDone(m_out.finishNext()); }

    const SoundRecord m_sound = soundOf(10 * B);
    FakeOutput m_out;
};

TEST_F(VoicePlaybackTest, PlaysEverySampleBeforeClosingTheDevice) {
    for (const std::size_t size : {5 * B + 1000, std::size_t{100}}) {
        FakeOutput out;
        const SoundRecord sound = soundOf(size);
        VoicePlayback playback(sound, out);
        EXPECT_FALSE(playback.play().deviceError);
        EXPECT_EQ(out.rate, 16000u);
        EXPECT_EQ(out.held.size(), 2u);

        std::vector<int> trackbar;
        PlaybackUpdate update;
        while (!out.held.empty()) {
            update = playback.blockDone(out.finishNext());
            if (update.trackbar) {
                trackbar.push_back(*update.trackbar);
            }
            if (!update.spectrumBlock.empty()) {
                EXPECT_TRUE(std::equal(update.spectrumBlock.begin(), update.spectrumBlock.end(),
                                       out.lastWritten().begin()));
            }
        }
        // The block with the end of the sound is heard, the rest of it is silence.
        const std::size_t blocks = std::max<std::size_t>(2, (size + B - 1) / B);
        ASSERT_EQ(out.heard.size(), blocks * B);
        EXPECT_EQ(Bytes(out.heard.begin(), out.heard.begin() + static_cast<std::ptrdiff_t>(size)),
                  sound.samples);
        EXPECT_TRUE(silent(std::span(out.heard).subspan(size)));
        // Two blocks ahead of what is heard, then back to 0.
        EXPECT_EQ(trackbar, (size > B ? std::vector<int>{58, 78, 97, 100, 0} : std::vector<int>{0}));
        EXPECT_EQ(out.closes, 1);
        EXPECT_FALSE(update.closeWindow);
        EXPECT_EQ(playback.state(), PlayerState::Stopped);
    }
}

TEST_F(VoicePlaybackTest, PlayRestartsAndPauseFeedsSilence) {
    VoicePlayback playback(m_sound, m_out);
    playback.play();
    deliver(playback);
    playback.play();  // while playing: from the beginning with the next block
    EXPECT_EQ(deliver(playback).trackbar, 10);
    EXPECT_EQ(m_out.lastWritten(), part(m_sound, 0, B));

    playback.pause();
    for (int i = 0; i < 3; ++i) {
        const PlaybackUpdate update = deliver(playback);
        EXPECT_EQ(update.trackbar, 10) << "frozen";
        EXPECT_EQ(update.spectrumBlock.size(), B);
        EXPECT_TRUE(silent(update.spectrumBlock));
    }
    playback.pause();
    playback.play();  // resumes where it was
    EXPECT_EQ(deliver(playback).trackbar, 20);
    EXPECT_EQ(m_out.lastWritten(), part(m_sound, B, B));
    EXPECT_EQ(m_out.opens, 1);
}

TEST_F(VoicePlaybackTest, StopClosesWhenABlockComesBackAndPlayStartsAfresh) {
    setAutoCloseSetting(true);
    VoicePlayback playback(m_sound, m_out);
    playback.play();
    deliver(playback);
    playback.stop();
    playback.pause();  // ignored: the stop stays a stop
    EXPECT_TRUE(m_out.isOpen);
    const PlaybackUpdate stopped = deliver(playback);
    EXPECT_EQ(stopped.trackbar, 0);
    EXPECT_TRUE(stopped.closeWindow);
    EXPECT_FALSE(m_out.isOpen);

    // Late or bogus reports, such as one for the block the device dropped, change nothing.
    for (int slot : {0, 1, -1, 2}) {
        const PlaybackUpdate late = playback.blockDone(slot);
        EXPECT_FALSE(late.trackbar || late.closeWindow) << slot;
    }
    EXPECT_EQ(m_out.closes, 1);

    playback.pause();  // ignored while stopped, so Play below really plays
    EXPECT_EQ(playback.state(), PlayerState::Stopped);
    playback.setAutoClose(false);
    m_out.heard.clear();
    playback.play();
    EXPECT_EQ(m_out.opens, 2);
    playback.stop();
    EXPECT_FALSE(deliver(playback).closeWindow);
    EXPECT_EQ(m_out.heard, part(m_sound, 0, B));
}

TEST_F(VoicePlaybackTest, PlayBeforeTheDeviceReturnsAfterStopKeepsTheDeviceAndItsBlocks) {
    VoicePlayback playback(m_sound, m_out);
    playback.play();
    deliver(playback);
    deliver(playback);
    playback.stop();
    playback.play();
    EXPECT_EQ(m_out.opens, 1);
    EXPECT_EQ(playback.state(), PlayerState::Playing);
    EXPECT_EQ(deliver(playback).trackbar, 10);  // FakeOutput checks that the held block was left alone
    EXPECT_EQ(m_out.lastWritten(), part(m_sound, 0, B));
    EXPECT_TRUE(m_out.isOpen);
}

TEST_F(VoicePlaybackTest, PlayNearTheEndPutsTheIdleBlockBackToWork) {
    const SoundRecord sound = soundOf(3 * B);
    VoicePlayback playback(sound, m_out);
    playback.play();
    deliver(playback);
    deliver(playback);  // nothing left to hand out: this block stays idle
    ASSERT_EQ(m_out.held.size(), 1u);
    EXPECT_EQ(playback.play().trackbar, 33);
    EXPECT_EQ(m_out.lastWritten(), part(sound, 0, B));
}

TEST_F(VoicePlaybackTest, NoDeviceMeansAnErrorUntilPlayFindsOne) {
    VoicePlayback playback(m_sound, m_out);
    m_out.failOpen = true;
    EXPECT_TRUE(playback.play().deviceError);
    EXPECT_EQ(playback.state(), PlayerState::Stopped);
    m_out.failOpen = false;
    EXPECT_FALSE(playback.play().deviceError);
    m_out.finishNext();
    EXPECT_EQ(m_out.heard, part(m_sound, 0, B));

    VoicePlayback empty(SoundRecord{}, m_out);
    empty.play();
    EXPECT_EQ(m_out.opens, 2) << "an empty sound opens no device";
}

TEST_F(VoicePlaybackTest, ClosingTheWindowClosesTheDeviceAtOnce) {
    {
        VoicePlayback playback(m_sound, m_out);
        playback.play();
    }
    EXPECT_FALSE(m_out.isOpen);
    {
        VoicePlayback playback(m_sound, m_out);
        playback.play();
        playback.stop();  // closed before the device returned a block
    }
    EXPECT_FALSE(m_out.isOpen);
    EXPECT_EQ(m_out.closes, 2);
}

}  // namespace
}  // namespace talvio::media
