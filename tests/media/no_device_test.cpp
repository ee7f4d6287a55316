// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "media/voice_player.h"
#include "media/wav_writer.h"
#include "media_test_files.h"
#include "platform/desktop.h"
#include "sound_server.h"
#include "ui_test_support.h"

namespace talvio::media {
namespace {

// Set before any test asks Qt for an audio device, which it does once per process.
class NoSoundEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { test::useNoSoundServer(); }
};
[[maybe_unused]] ::testing::Environment* const kNoSound =
    ::testing::AddGlobalTestEnvironment(new NoSoundEnvironment);

TEST(VoicePlayerWithoutDevice, SaysAudioDeviceErrorAndStaysOpenAndSilent) {
    talvio::test::FakeDesktop desktop;
    test::ScratchFolder folder;
    ASSERT_TRUE(writeWavFile(test::toneSound(1.0, 16000), folder.file("tone.wav")));
    CDlgVoicePlayer player(QString::fromStdString(folder.file("tone.wav")));
    player.show();
    ASSERT_TRUE(test::waitUntil([&] { return !desktop.messages.empty(); }, 5000));
    EXPECT_EQ(desktop.messageTexts(), QStringList("audio device error!"));
    EXPECT_EQ(desktop.messages[0].caption, platform::programName());
    EXPECT_EQ(desktop.messages[0].owner, &player);
    test::spin(200);
    EXPECT_TRUE(player.isVisible());
    EXPECT_EQ(player.playback().state(), PlayerState::Stopped);
    EXPECT_FALSE(player.playback().deviceOpen());
}

}  // namespace
}  // namespace talvio::media
