// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <QAudioOutput>
#include <QLabel>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

#include "fake_desktop.h"
#include "media/players.h"
#include "media/video_player.h"
#include "media_test_files.h"
#include "sources/program_state.h"
#include "ui_test_support.h"

namespace talvio::media {
namespace {

using test::waitUntil;

// A three-second H.264/AAC clip made by ffmpeg at build time, played by GStreamer.
const QString kClip = QStringLiteral(TALVIO_TEST_CLIP);

bool noMessageBoxOnScreen() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible())
            return false;
    }
    return true;
}

class VideoPlayerWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo::exists(kClip))
            GTEST_SKIP() << "no test clip: ffmpeg was not found at build time";
        // Idle, the window must not say anything of its own accord.
        ASSERT_TRUE(noMessageBoxOnScreen());
    }
    template <typename W>
    static W* part(CDlgVideoPlayer& window, const char* name) {
        return window.findChild<W*>(QLatin1String(name));
    }
    static bool playing(CDlgVideoPlayer& window) {
        return waitUntil([&] { return window.player()->playbackState() == QMediaPlayer::PlayingState; },
                         5000);
    }
    talvio::test::FakeDesktop desktop;
};

TEST_F(VideoPlayerWindow, PlaysTheClipAtOnceAtHalfVolumeToItsEnd) {
    CDlgVideoPlayer window;
    window.setVideoPath(kClip);
    window.show();
    ASSERT_TRUE(playing(window));
    EXPECT_FLOAT_EQ(window.audioOutput()->volume(), 0.5f);
    EXPECT_EQ(part<QSlider>(window, "volume")->value(), 50);
    ASSERT_TRUE(waitUntil([&] { return window.player()->mediaStatus() == QMediaPlayer::EndOfMedia; }, 20000));
    EXPECT_NEAR(window.player()->duration(), 3000, 200);
    EXPECT_EQ(part<QSlider>(window, "position")->maximum(), window.player()->duration());
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(noMessageBoxOnScreen());
}

TEST_F(VideoPlayerWindow, ItsOwnControlsPauseSeekAndSetTheVolumeAndOnlyTheCloseBoxCloses) {
    CDlgVideoPlayer window;
    window.setVideoPath(kClip);
    window.show();
    ASSERT_TRUE(playing(window));
    auto* playPause = part<QToolButton>(window, "playPause");
    playPause->setFocus();
    for (QWidget* target : {static_cast<QWidget*>(&window), static_cast<QWidget*>(playPause)}) {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(target, key);
    }
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.player()->playbackState(), QMediaPlayer::PlayingState);

    // Paused once the clip is moving, so that only the jump can move the position.
    ASSERT_TRUE(waitUntil([&] { return window.player()->position() >= 300; }, 5000));
    playPause->click();
    EXPECT_TRUE(
        waitUntil([&] { return window.player()->playbackState() == QMediaPlayer::PausedState; }, 3000));
    const qint64 from = window.player()->position();
    part<QSlider>(window, "position")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_TRUE(waitUntil([&] { return std::abs(window.player()->position() - (from + 1000)) < 100; }, 3000))
        << "from " << from << " to " << window.player()->position();
    part<QSlider>(window, "volume")->setValue(20);
    EXPECT_FLOAT_EQ(window.audioOutput()->volume(), 0.2f);
    playPause->click();
    EXPECT_TRUE(playing(window));

    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.player()->playbackState(), QMediaPlayer::StoppedState);
}

TEST_F(VideoPlayerWindow, AnEmptyPathStaysIdleAndABrokenFileShowsNoBox) {
    CDlgVideoPlayer idle;
    idle.show();
    test::spin(300);
    EXPECT_TRUE(idle.player()->source().isEmpty());
    EXPECT_EQ(idle.player()->mediaStatus(), QMediaPlayer::NoMedia);
    idle.close();

    test::ScratchFolder folder;
    test::writeBytes(folder.file("broken.mp4"), test::randomBytes(20000, 5));
    CDlgVideoPlayer broken;
    broken.setVideoPath(QString::fromStdString(folder.file("broken.mp4")));
    broken.show();
    EXPECT_TRUE(waitUntil([&] { return broken.player()->error() != QMediaPlayer::NoError; }, 10000));
    EXPECT_TRUE(broken.isVisible());
    EXPECT_FALSE(part<QLabel>(broken, "time")->text().isEmpty());
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(noMessageBoxOnScreen());
}

TEST(PlayVideoClick, WithoutAResourceFolderSaysSoAndOpensNoWindow) {
    talvio::test::FakeDesktop desktop;
    test::ModalWatcher<CDlgVideoPlayer> watcher;
    resetProgramState();
    QWidget owner;
    PlayVideo(&owner, kClip);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text,
              QStringLiteral("Because you have not set resource path, so you can't play video."));
    EXPECT_EQ(desktop.messages[0].owner, &owner);
    EXPECT_TRUE(desktop.messages[0].caption.isEmpty());
    EXPECT_EQ(watcher.opened, 0);

    programState().resourceFolder = QFileInfo(kClip).path().toStdString() + "/";
    watcher.onOpen = [](CDlgVideoPlayer& window) {
        EXPECT_EQ(window.player()->source().toLocalFile(), kClip);
    };
    PlayVideo(&owner, kClip);
    EXPECT_EQ(watcher.opened, 1);
    resetProgramState();
}

}  // namespace
}  // namespace talvio::media
