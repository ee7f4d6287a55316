// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include "fake_desktop.h"
#include "media/voice_player.h"
#include "media/wav_writer.h"
#include "media_test_files.h"
#include "ui_test_support.h"

namespace talvio::media {
namespace {

using platform::Answer;
using test::waitUntil;

std::size_t blocksOf(std::size_t bytes) {
    return (bytes + kBlockBytes - 1) / kBlockBytes;
}

// The player on a real sound device: a PulseAudio null sink plays in real time.
class VoicePlayerWindow : public ::testing::Test {
protected:
    void SetUp() override { setAutoCloseSetting(false); }
    void TearDown() override { setAutoCloseSetting(false); }

    // A tone of `seconds`, 22050 Hz by default: at that rate the sink's clock never quite
    // reaches the end of the last block, which once left the player playing for ever.
    QString toneFile(double seconds, std::uint32_t rate = 22050) {
        sound = test::toneSound(seconds, rate);
        const std::string path = folder.file("tone.wav");
        EXPECT_TRUE(writeWavFile(sound, path));
        return QString::fromStdString(path);
    }
    template <typename W>
    static W* part(CDlgVoicePlayer& player, const char* name) {
        return player.findChild<W*>(QLatin1String(name));
    }
    static void click(CDlgVoicePlayer& player, const char* name) { part<QPushButton>(player, name)->click(); }
    static bool opened(CDlgVoicePlayer& player) {
        return waitUntil([&] { return player.playback().deviceOpen(); }, 5000);
    }
    static bool ended(CDlgVoicePlayer& player, int milliseconds) {
        return waitUntil([&] { return !player.playback().deviceOpen(); }, milliseconds);
    }

    talvio::test::FakeDesktop desktop;
    test::ScratchFolder folder;
    SoundRecord sound;
};

TEST_F(VoicePlayerWindow, PlaysTheWholeSoundInRealTimeAndClosesItselfWhenAsked) {
    setAutoCloseSetting(true);
    CDlgVoicePlayer player(toneFile(1.2));
    int highest = 0;
    QObject::connect(part<QSlider>(player, "trackbar"), &QSlider::valueChanged,
                     [&](int value) { highest = std::max(highest, value); });
    QElapsedTimer clock;
    clock.start();
    player.show();
    ASSERT_TRUE(waitUntil([&] { return !player.isVisible(); }, 15000)) << "the window did not close itself";
    EXPECT_GE(clock.elapsed(), 1000) << "closed before the sound could have been heard";
    EXPECT_EQ(player.result(), QDialog::Accepted);
    EXPECT_EQ(highest, 100);
    EXPECT_EQ(player.audioOutput().bytesHandedOut(), blocksOf(sound.samples.size()) * kBlockBytes);
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(VoicePlayerWindow, WithoutAutoCloseItStopsAtTheEndStaysOpenAndPlaysAgain) {
    CDlgVoicePlayer player(toneFile(0.8, 16000));
    player.show();
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(opened(player));
        ASSERT_TRUE(ended(player, 8000));
        EXPECT_TRUE(player.isVisible());
        EXPECT_EQ(player.playback().state(), PlayerState::Stopped);
        EXPECT_EQ(part<QSlider>(player, "trackbar")->value(), 0);
        EXPECT_EQ(player.audioOutput().bytesHandedOut(), blocksOf(sound.samples.size()) * kBlockBytes);
        click(player, "play");
    }
}

TEST_F(VoicePlayerWindow, PauseKeepsTheDeviceGoingOnSilenceWithTheTrackbarHeld) {
    CDlgVoicePlayer player(toneFile(2.5, 16000));
    auto* trackbar = part<QSlider>(player, "trackbar");
    player.show();
    ASSERT_TRUE(waitUntil([&] { return trackbar->value() >= 20; }, 8000));
    click(player, "pause");
    const int held = trackbar->value();
    const std::uint64_t position = player.playback().position();
    const std::uint64_t handedOut = player.audioOutput().bytesHandedOut();
    test::spin(800);
    EXPECT_EQ(trackbar->value(), held);
    EXPECT_EQ(player.playback().position(), position);
    EXPECT_GT(player.audioOutput().bytesHandedOut(), handedOut + kBlockBytes)
        << "the device was left to run dry";
    click(player, "play");
    ASSERT_TRUE(ended(player, 10000));
    EXPECT_GT(player.audioOutput().bytesHandedOut(), blocksOf(sound.samples.size()) * kBlockBytes);
}

TEST_F(VoicePlayerWindow, TheTickedBoxClosesAfterStopAndIsWhereTheNextWindowStarts) {
    const QString path = toneFile(3.0);
    {
        CDlgVoicePlayer first(path);
        first.show();
        ASSERT_TRUE(opened(first));
        auto* box = part<QCheckBox>(first, "autoClose");
        EXPECT_FALSE(box->isChecked());
        box->click();
        EXPECT_TRUE(autoCloseSetting());
        click(first, "stop");
        EXPECT_TRUE(waitUntil([&] { return !first.isVisible(); }, 3000));
    }
    CDlgVoicePlayer second(path);
    auto* box = part<QCheckBox>(second, "autoClose");
    EXPECT_TRUE(box->isChecked());
    second.show();
    ASSERT_TRUE(opened(second));
    box->click();
    EXPECT_FALSE(autoCloseSetting());
    click(second, "stop");
    ASSERT_TRUE(ended(second, 3000));
    EXPECT_TRUE(second.isVisible());
}

TEST_F(VoicePlayerWindow, EnterDoesNothingAndEscapeCloses) {
    CDlgVoicePlayer player(toneFile(3.0));
    player.show();
    ASSERT_TRUE(opened(player));
    auto* stop = part<QPushButton>(player, "stop");
    stop->setFocus();
    QTest::keyClick(stop, Qt::Key_Return);
    QTest::keyClick(&player, Qt::Key_Enter);
    test::spin(300);
    EXPECT_EQ(player.playback().state(), PlayerState::Playing);
    EXPECT_TRUE(player.isVisible());
    QTest::keyClick(stop, Qt::Key_Escape);
    EXPECT_FALSE(player.isVisible());
    EXPECT_EQ(player.result(), QDialog::Rejected);
    EXPECT_FALSE(player.playback().deviceOpen());
}

TEST_F(VoicePlayerWindow, ExportKeepsTheSoundsOwnRateAsksBeforeReplacingAndPlaysOn) {
    CDlgVoicePlayer player(toneFile(3.0));
    player.show();
    ASSERT_TRUE(opened(player));
    const std::string exported = folder.file("copy.wav");
    const auto exportTo = [&](const std::string& chosen, std::deque<Answer> answers) {
        desktop.saveFiles = {QString::fromStdString(chosen)};
        desktop.answers = std::move(answers);
        desktop.messages.clear();
        click(player, "export");
    };

    exportTo(folder.file("copy"), {});
    SoundRecord copy;
    ASSERT_EQ(loadWavFile(exported, copy), WavError::None);
    EXPECT_EQ(copy.sampleRate, 22050u);
    EXPECT_EQ(copy.samples, sound.samples);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, QStringLiteral("Export successful!"));
    EXPECT_EQ(desktop.messages[0].owner, &player);
    EXPECT_TRUE(desktop.messages[0].caption.isEmpty());
    EXPECT_EQ(desktop.pickers.at(0).filter, QStringLiteral("wav files (*wav)"));

    test::writeBytes(exported, {1, 2, 3});
    exportTo(exported, {Answer::No});
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text,
              QString::fromStdString(exported) + " is exist，would you like to replace the existing file");
    EXPECT_EQ(desktop.messages[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(desktop.messages[0].icon, platform::Icon::Question);
    EXPECT_EQ(desktop.messages[0].owner, &player);
    EXPECT_EQ(test::readBytes(exported), test::Bytes({1, 2, 3}));

    exportTo(exported, {Answer::Yes});
    EXPECT_EQ(desktop.messageTexts().value(1), QStringLiteral("Export successful!"));
    EXPECT_EQ(loadWavFile(exported, copy), WavError::None);

    const std::uint64_t handedOut = player.audioOutput().bytesHandedOut();
    EXPECT_EQ(player.playback().state(), PlayerState::Playing);
    EXPECT_TRUE(waitUntil([&] { return player.audioOutput().bytesHandedOut() > handedOut; }, 3000));
}

TEST_F(VoicePlayerWindow, AFileItCannotPlayIsNamedAndTheWindowCloses) {
    const std::string path = folder.file("broken.wav");
    test::writeBytes(path, test::randomBytes(400, 7));
    SoundRecord ignored;
    const WavError error = loadWavFile(path, ignored);
    ASSERT_NE(error, WavError::None);

    CDlgVoicePlayer player(QString::fromStdString(path));
    player.show();
    ASSERT_TRUE(waitUntil([&] { return !player.isVisible(); }, 3000));
    const std::string_view why = wavErrorText(error);
    EXPECT_EQ(desktop.messageTexts(),
              QStringList(QString::fromUtf8(why.data(), static_cast<qsizetype>(why.size()))));
    EXPECT_EQ(desktop.messages.at(0).owner, &player);
    EXPECT_EQ(player.audioOutput().bytesHandedOut(), 0u);
}

}  // namespace
}  // namespace talvio::media
