// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

#include "media/sink_audio_output.h"
#include "media/voice_playback.h"
#include "media/wav_reader.h"

class QCheckBox;
class QPushButton;
class QSlider;

namespace talvio::media {

class SpectrumView;

// The voice player (dialog 134): plays a WAV file through the sound device from the moment it
// opens, with Play, Pause, Stop, Export, a progress trackbar and the spectrum of each block.
class CDlgVoicePlayer final : public QDialog {
    Q_OBJECT
public:
    // Loads the whole sound at once; a file that cannot be played is reported once the window
    // is on screen, and the window then closes.
    explicit CDlgVoicePlayer(const QString& wavPath, QWidget* parent = nullptr);
    ~CDlgVoicePlayer() override;

    const VoicePlayback& playback() const { return *m_playback; }
    const SinkAudioOutput& audioOutput() const { return m_output; }
    QString wavPath() const { return m_wavPath; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void start();
    void apply(const PlaybackUpdate& update);
    void exportSound();

    QString m_wavPath;
    WavError m_loadError = WavError::None;
    // Declared before the playback, which drives it until its own destruction.
    SinkAudioOutput m_output;
    std::unique_ptr<VoicePlayback> m_playback;
    bool m_started = false;

    SpectrumView* m_spectrum = nullptr;
    QSlider* m_trackbar = nullptr;
    QPushButton* m_play = nullptr;
    QPushButton* m_pause = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_export = nullptr;
    QCheckBox* m_autoClose = nullptr;
};

}  // namespace talvio::media
