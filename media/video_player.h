// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QDialog>
#include <QString>

class QAudioOutput;
class QLabel;
class QMediaPlayer;
class QSlider;
class QToolButton;
class QVideoWidget;

namespace talvio::media {

// The video player (dialog 132): plays a local file as it is from the moment the window opens,
// with play/pause, a position bar and a volume control of its own. Problems with the file show
// in the window, never in a message box. Escape and Enter do nothing; the close box closes it.
class CDlgVideoPlayer final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kStartVolume = 50;

    explicit CDlgVideoPlayer(QWidget* parent = nullptr);
    ~CDlgVideoPlayer() override;

    // Takes effect when the window opens; an empty path leaves the player idle.
    void setVideoPath(const QString& path) { m_videoPath = path; }

    QMediaPlayer* player() const { return m_player; }
    QAudioOutput* audioOutput() const { return m_audio; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void connectPlayer();
    void showTime();

    QString m_videoPath;
    bool m_started = false;
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_audio = nullptr;
    QVideoWidget* m_video = nullptr;
    QToolButton* m_playPause = nullptr;
    QSlider* m_position = nullptr;
    QLabel* m_time = nullptr;
    QSlider* m_volume = nullptr;
};

}  // namespace talvio::media
