// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/video_player.h"

#include <QAudioOutput>
#include <QHBoxLayout>
#include <QLabel>
#include <QMediaPlayer>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

#include "media/key_filter.h"
#include "media/video_texts.h"
#include "platform/dialog_units.h"

namespace talvio::media {
namespace {

QString clock(qint64 milliseconds) {
    const qint64 seconds = milliseconds / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

CDlgVideoPlayer::CDlgVideoPlayer(QWidget* parent)
    : QDialog(parent), m_player(new QMediaPlayer(this)), m_audio(new QAudioOutput(this)) {
    m_player->setAudioOutput(m_audio);
    m_audio->setVolume(kStartVolume / 100.0f);
    buildControls();
    connectPlayer();
    new KeyFilter(this, {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter});
}

CDlgVideoPlayer::~CDlgVideoPlayer() = default;

void CDlgVideoPlayer::buildControls() {
    setWindowTitle(QString::fromUtf8(video_texts::kWindowTitle.data(),
                                     static_cast<qsizetype>(video_texts::kWindowTitle.size())));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(dluSize(427, 294));

    auto* area = new QWidget(this);
    area->setGeometry(dluRect(7, 7, 413, 280));
    m_video = new QVideoWidget(area);
    m_player->setVideoOutput(m_video);
    // The picture keeps its proportions inside the area, as the original control did.
    m_video->setAspectRatioMode(Qt::KeepAspectRatio);

    m_playPause = new QToolButton(area);
    m_playPause->setObjectName(QStringLiteral("playPause"));
    m_playPause->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_playPause->setAutoRaise(true);

    m_position = new QSlider(Qt::Horizontal, area);
    m_position->setObjectName(QStringLiteral("position"));
    m_position->setRange(0, 0);
    // In milliseconds: a click beside the handle jumps five seconds, an arrow key one.
    m_position->setPageStep(5000);
    m_position->setSingleStep(1000);

    m_time = new QLabel(clock(0), area);
    m_time->setObjectName(QStringLiteral("time"));
    // The player's error text can quote the file's name, which comes from the phone folder.
    m_time->setTextFormat(Qt::PlainText);

    auto* volumeIcon = new QLabel(area);
    volumeIcon->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(16, 16));
    m_volume = new QSlider(Qt::Horizontal, area);
    m_volume->setObjectName(QStringLiteral("volume"));
    m_volume->setRange(0, 100);
    m_volume->setValue(kStartVolume);
    m_volume->setFixedWidth(dluX(50));

    auto* controls = new QHBoxLayout;
    controls->setContentsMargins(0, 0, 0, 0);
    controls->addWidget(m_playPause);
    controls->addWidget(m_position, 1);
    controls->addWidget(m_time);
    controls->addWidget(volumeIcon);
    controls->addWidget(m_volume);
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_video, 1);
    column->addLayout(controls);
}

void CDlgVideoPlayer::connectPlayer() {
    connect(m_playPause, &QToolButton::clicked, this, [this] {
        if (m_player->playbackState() == QMediaPlayer::PlayingState) {
            m_player->pause();
        } else {
            m_player->play();
        }
    });
    connect(m_player, &QMediaPlayer::playbackStateChanged, this, [this](QMediaPlayer::PlaybackState state) {
        m_playPause->setIcon(style()->standardIcon(
            state == QMediaPlayer::PlayingState ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    });
    connect(m_player, &QMediaPlayer::durationChanged, this, [this](qint64 duration) {
        m_position->setRange(0, static_cast<int>(duration));
        showTime();
    });
    connect(m_player, &QMediaPlayer::positionChanged, this, [this](qint64 position) {
        if (!m_position->isSliderDown())
            m_position->setValue(static_cast<int>(position));
        showTime();
    });
    // Only what the person does with the bar seeks; the player's own progress moves it silently.
    connect(m_position, &QSlider::sliderMoved, this, [this](int value) { m_player->setPosition(value); });
    connect(m_position, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            m_player->setPosition(m_position->sliderPosition());
    });
    connect(m_volume, &QSlider::valueChanged, this,
            [this](int value) { m_audio->setVolume(value / 100.0f); });
    // The state of the file is shown where the time is, instead of in a message box.
    connect(m_player, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& message) {
                m_time->setText(message.isEmpty() ? tr("Cannot play this file") : message);
            });
}

void CDlgVideoPlayer::showTime() {
    if (m_player->error() != QMediaPlayer::NoError)
        return;
    m_time->setText(clock(m_player->position()) + QStringLiteral(" / ") + clock(m_player->duration()));
}

void CDlgVideoPlayer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        if (!m_videoPath.isEmpty()) {
            m_player->setSource(QUrl::fromLocalFile(m_videoPath));
            m_player->play();
        }
    }
}

void CDlgVideoPlayer::done(int result) {
    m_player->stop();
    QDialog::done(result);
}

}  // namespace talvio::media
