// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <vector>

#include "media/voice_playback.h"
#include "media_test_files.h"

namespace talvio::media {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t B = kBlockBytes;

// A sound device that plays when told to. It keeps a copy of every block as written and checks,
// when the block comes back, that the player left the bytes alone while the device held them.
class FakeOutput : public AudioOutput {
public:
    bool open(const SoundRecord& format) override {
        ++opens;
        EXPECT_FALSE(isOpen) << "a second device was opened";
        if (failOpen) {
            return false;
        }
        isOpen = true;
        channels = format.channels;
        sampleRate = format.sampleRate;
        bits = format.bitsPerSample;
        return true;
    }
    void write(int slot, std::span<const std::uint8_t> block) override {
        EXPECT_TRUE(isOpen) << "write without a device";
        for (const Held& h : held) {
            EXPECT_NE(h.slot, slot) << "slot written again while the device holds it";
        }
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

    // Plays the oldest held block and returns its slot.
    int finishNext() {
        EXPECT_FALSE(held.empty());
        Held h = held.front();
        held.pop_front();
        EXPECT_TRUE(std::equal(h.view.begin(), h.view.end(), h.copy.begin())) << "held block was changed";
        heard.insert(heard.end(), h.copy.begin(), h.copy.end());
        return h.slot;
    }

    bool failOpen = false;
    bool isOpen = false;
    int opens = 0;
    int resets = 0;
    int closes = 0;
    int channels = 0;
    unsigned sampleRate = 0;
    int bits = 0;
    Bytes heard;

    struct Held {
        int slot;
        std::span<const std::uint8_t> view;
        Bytes copy;
    };
    std::deque<Held> held;
};

SoundRecord soundOf(std::size_t bytes, unsigned seed = 1) {
    SoundRecord sound;
    sound.samples = test::randomBytes(bytes, seed);
    // No zero bytes in the sound, so that silence is told apart from it.
    std::replace(sound.samples.begin(), sound.samples.end(), std::uint8_t{0}, std::uint8_t{1});
    sound.sampleRate = 16000;
    sound.channels = 1;
    sound.bitsPerSample = 16;
    return sound;
}

Bytes part(const SoundRecord& sound, std::size_t from, std::size_t count) {
    return Bytes(sound.samples.begin() + static_cast<std::ptrdiff_t>(from),
                 sound.samples.begin() + static_cast<std::ptrdiff_t>(from + count));
}

class VoicePlaybackTest : public ::testing::Test {
protected:
    void SetUp() override { setAutoCloseSetting(false); }
    void TearDown() override { setAutoCloseSetting(false); }

    PlaybackUpdate deliver(VoicePlayback& playback) { return playback.blockDone(m_out.finishNext()); }

    FakeOutput m_out;
};

TEST_F(VoicePlaybackTest, PlaysTheWholeSoundThenClosesTheDevice) {
    const SoundRecord sound = soundOf(5 * B + 1000);
    VoicePlayback playback(sound, m_out);
    const PlaybackUpdate opened = playback.play();
    EXPECT_FALSE(opened.deviceError);
    EXPECT_EQ(m_out.opens, 1);
    EXPECT_EQ(m_out.channels, 1);
    EXPECT_EQ(m_out.sampleRate, 16000u);
    EXPECT_EQ(m_out.bits, 16);
    EXPECT_EQ(m_out.held.size(), 2u);
    EXPECT_EQ(playback.state(), PlayerState::Playing);

    std::vector<int> trackbar;
    std::optional<PlaybackUpdate> last;
    while (!m_out.held.empty()) {
        const PlaybackUpdate update = deliver(playback);
        if (update.trackbar) {
            trackbar.push_back(*update.trackbar);
        }
        if (!update.spectrumBlock.empty()) {
            // The spectrum is drawn of the block just handed over.
            EXPECT_TRUE(std::equal(update.spectrumBlock.begin(), update.spectrumBlock.end(),
                                   m_out.held.back().copy.begin()));
        }
        last = update;
    }
    // The trackbar runs two blocks ahead of what is heard, then returns to 0.
    EXPECT_EQ(trackbar, (std::vector<int>{58, 78, 97, 100, 0}));
    ASSERT_EQ(m_out.heard.size(), 6 * B);
    EXPECT_EQ(part(sound, 0, sound.samples.size()),
              Bytes(m_out.heard.begin(), m_out.heard.begin() + 5 * B + 1000));
    EXPECT_TRUE(
        std::all_of(m_out.heard.begin() + 5 * B + 1000, m_out.heard.end(), [](auto b) { return b == 0; }));
    // Only after the block with the end of the sound has been played.
    EXPECT_EQ(m_out.resets, 1);
    EXPECT_FALSE(m_out.isOpen);
    EXPECT_FALSE(last->closeWindow);
    EXPECT_EQ(playback.state(), PlayerState::Stopped);
    EXPECT_EQ(playback.position(), 0u);
}

TEST_F(VoicePlaybackTest, SoundShorterThanABlockIsPaddedWithSilence) {
    const SoundRecord sound = soundOf(100);
    VoicePlayback playback(sound, m_out);
    playback.play();
    deliver(playback);
    EXPECT_TRUE(m_out.isOpen) << "the second block is still playing";
    const PlaybackUpdate end = deliver(playback);
    EXPECT_EQ(end.trackbar, 0);
    EXPECT_FALSE(m_out.isOpen);
    ASSERT_EQ(m_out.heard.size(), 2 * B);
    EXPECT_EQ(Bytes(m_out.heard.begin(), m_out.heard.begin() + 100), sound.samples);
    EXPECT_EQ(std::count(m_out.heard.begin(), m_out.heard.end(), 0), static_cast<long>(2 * B - 100));
}

TEST_F(VoicePlaybackTest, AutoCloseFollowsTheSharedSettingAtTheEndAndAfterStop) {
    setAutoCloseSetting(true);
    {
        VoicePlayback playback(soundOf(3 * B), m_out);
        playback.play();
        PlaybackUpdate update;
        while (!m_out.held.empty()) {
            update = deliver(playback);
        }
        EXPECT_TRUE(update.closeWindow);
    }
    {
        VoicePlayback playback(soundOf(10 * B), m_out);
        playback.play();
        playback.stop();
        EXPECT_TRUE(deliver(playback).closeWindow);
        playback.setAutoClose(false);  // the check box was cleared
        playback.play();
        playback.stop();
        EXPECT_FALSE(deliver(playback).closeWindow);
    }
}

TEST_F(VoicePlaybackTest, PlayWhilePlayingRestartsWithTheNextBlock) {
    const SoundRecord sound = soundOf(10 * B);
    VoicePlayback playback(sound, m_out);
    playback.play();
    deliver(playback);
    deliver(playback);
    playback.play();
    EXPECT_EQ(playback.position(), 0u);
    const PlaybackUpdate update = deliver(playback);
    EXPECT_EQ(update.trackbar, 10);
    EXPECT_EQ(m_out.held.back().copy, part(sound, 0, B));
    EXPECT_EQ(m_out.opens, 1);
}

TEST_F(VoicePlaybackTest, PauseFeedsSilenceAndFreezesTheTrackbarUntilPlayResumes) {
    const SoundRecord sound = soundOf(10 * B);
    VoicePlayback playback(sound, m_out);
    playback.play();
    EXPECT_EQ(deliver(playback).trackbar, 30);
    playback.pause();
    for (int i = 0; i < 3; ++i) {
        const PlaybackUpdate update = deliver(playback);
        EXPECT_EQ(update.trackbar, 30);
        EXPECT_TRUE(std::all_of(update.spectrumBlock.begin(), update.spectrumBlock.end(),
                                [](auto b) { return b == 0; }));
        EXPECT_EQ(update.spectrumBlock.size(), B);
    }
    playback.pause();  // pressing again changes nothing
    EXPECT_EQ(playback.state(), PlayerState::Paused);
    EXPECT_TRUE(m_out.isOpen);

    playback.play();
    const PlaybackUpdate resumed = deliver(playback);
    EXPECT_EQ(resumed.trackbar, 40);
    EXPECT_EQ(m_out.held.back().copy, part(sound, 3 * B, B));
}

TEST_F(VoicePlaybackTest, StopTakesEffectWhenABlockComesBackAndPlayThenStartsAfresh) {
    const SoundRecord sound = soundOf(10 * B);
    VoicePlayback playback(sound, m_out);
    playback.play();
    deliver(playback);
    playback.stop();
    EXPECT_TRUE(m_out.isOpen) << "the device is closed only when it returns a block";
    playback.stop();
    const PlaybackUpdate stopped = deliver(playback);
    EXPECT_EQ(stopped.trackbar, 0);
    EXPECT_FALSE(m_out.isOpen);
    EXPECT_EQ(m_out.resets, 1);
    EXPECT_EQ(playback.position(), 0u);

    m_out.heard.clear();
    playback.play();
    EXPECT_EQ(m_out.opens, 2);
    m_out.finishNext();
    EXPECT_EQ(m_out.heard, part(sound, 0, B));
}

TEST_F(VoicePlaybackTest, PlayBeforeTheDeviceReturnsAfterStopKeepsTheDeviceAndItsBlocks) {
    const SoundRecord sound = soundOf(10 * B);
    VoicePlayback playback(sound, m_out);
    playback.play();
    deliver(playback);
    deliver(playback);
    playback.stop();
    playback.play();  // the device still holds both blocks
    EXPECT_EQ(m_out.opens, 1);
    EXPECT_EQ(m_out.held.size(), 2u);
    EXPECT_EQ(playback.state(), PlayerState::Playing);

    const PlaybackUpdate update = deliver(playback);  // FakeOutput checks the held bytes were left alone
    EXPECT_TRUE(m_out.isOpen);
    EXPECT_EQ(update.trackbar, 10);
    EXPECT_EQ(m_out.held.back().copy, part(sound, 0, B));
    EXPECT_EQ(m_out.resets, 0);
}

TEST_F(VoicePlaybackTest, PauseWhileStoppedIsIgnored) {
    const SoundRecord sound = soundOf(10 * B);
    VoicePlayback playback(sound, m_out);
    playback.play();
    playback.stop();
    playback.pause();  // a stop still pending stays a stop
    EXPECT_EQ(playback.state(), PlayerState::Stopped);
    deliver(playback);
    EXPECT_FALSE(m_out.isOpen);

    playback.pause();
    EXPECT_EQ(playback.state(), PlayerState::Stopped);
    playback.play();  // plays, rather than only switching a silent window to Playing
    EXPECT_TRUE(m_out.isOpen);
    EXPECT_EQ(m_out.held.size(), 2u);
}

TEST_F(VoicePlaybackTest, NoDeviceMeansAnErrorAndSilenceUntilPlayFindsOne) {
    const SoundRecord sound = soundOf(10 * B);
    VoicePlayback playback(sound, m_out);
    m_out.failOpen = true;
    EXPECT_TRUE(playback.play().deviceError);
    EXPECT_TRUE(m_out.held.empty());
    EXPECT_EQ(playback.state(), PlayerState::Stopped);
    playback.pause();
    playback.stop();

    m_out.failOpen = false;
    EXPECT_FALSE(playback.play().deviceError);
    m_out.finishNext();
    EXPECT_EQ(m_out.heard, part(sound, 0, B));
}

TEST_F(VoicePlaybackTest, ClosingTheWindowResetsTheDeviceAtOnce) {
    {
        VoicePlayback playback(soundOf(10 * B), m_out);
        playback.play();
        playback.shutdown();
        EXPECT_FALSE(m_out.isOpen);
        EXPECT_TRUE(m_out.held.empty());
        EXPECT_EQ(playback.state(), PlayerState::Stopped);
    }
    {
        // Closed while a Stop waits for the device: the device must not outlive the window.
        VoicePlayback playback(soundOf(10 * B), m_out);
        playback.play();
        playback.stop();
    }
    EXPECT_FALSE(m_out.isOpen);
    EXPECT_EQ(m_out.closes, 2);
}

TEST_F(VoicePlaybackTest, ReportsForBlocksNotHeldAreIgnored) {
    VoicePlayback playback(soundOf(10 * B), m_out);
    EXPECT_FALSE(playback.blockDone(0).trackbar);
    playback.play();
    playback.stop();
    const int first = m_out.finishNext();
    playback.blockDone(first);  // the stop completes and the device drops the other block
    // A late report for the dropped block must not stop, close or play anything again.
    const PlaybackUpdate late = playback.blockDone(1 - first);
    EXPECT_FALSE(late.trackbar);
    EXPECT_FALSE(late.closeWindow);
    EXPECT_EQ(m_out.resets, 1);
    EXPECT_EQ(m_out.closes, 1);

    playback.play();
    EXPECT_FALSE(playback.blockDone(-1).trackbar);
    EXPECT_FALSE(playback.blockDone(2).trackbar);
    EXPECT_EQ(m_out.held.size(), 2u);
}

TEST_F(VoicePlaybackTest, PlayNearTheEndPutsTheIdleBlockBackToWork) {
    const SoundRecord sound = soundOf(3 * B);
    VoicePlayback playback(sound, m_out);
    playback.play();
    deliver(playback);  // third block handed out: the sound is all out
    deliver(playback);  // nothing left: this block stays idle
    EXPECT_EQ(m_out.held.size(), 1u);
    const PlaybackUpdate update = playback.play();
    EXPECT_EQ(update.trackbar, 33);
    EXPECT_EQ(m_out.held.size(), 2u);
    EXPECT_EQ(m_out.held.back().copy, part(sound, 0, B));
}

TEST_F(VoicePlaybackTest, EmptySoundDoesNotOpenADevice) {
    VoicePlayback playback(SoundRecord{}, m_out);
    const PlaybackUpdate update = playback.play();
    EXPECT_FALSE(update.deviceError);
    EXPECT_EQ(m_out.opens, 0);
    EXPECT_EQ(playback.state(), PlayerState::Stopped);
}

}  // namespace
}  // namespace talvio::media
