// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/voice_player.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <filesystem>

#include "media/key_filter.h"
#include "media/spectrum_view.h"
#include "media/voice_paths.h"
#include "media/voice_texts.h"
#include "media/wav_writer.h"
#include "platform/desktop.h"
#include "platform/dialog_units.h"

namespace talvio::media {
namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

CDlgVoicePlayer::CDlgVoicePlayer(const QString& wavPath, QWidget* parent)
    : QDialog(parent), m_wavPath(wavPath) {
    SoundRecord sound;
    m_loadError = loadWavFile(wavPath.toStdString(), sound);
    m_playback = std::make_unique<VoicePlayback>(std::move(sound), m_output);
    connect(&m_output, &SinkAudioOutput::blockDone, this,
            [this](int slot) { apply(m_playback->blockDone(slot)); });
    buildControls();
}

CDlgVoicePlayer::~CDlgVoicePlayer() = default;

void CDlgVoicePlayer::buildControls() {
    setWindowTitle(text(voice_texts::kWindowTitle));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(dluSize(227, 117));

    m_spectrum = new SpectrumView(this);
    m_spectrum->setObjectName(QStringLiteral("spectrum"));
    m_spectrum->setGeometry(dluRect(7, 7, 213, 48));

    // Progress only: the mouse and the keys cannot move it.
    m_trackbar = new QSlider(Qt::Horizontal, this);
    m_trackbar->setObjectName(QStringLiteral("trackbar"));
    m_trackbar->setGeometry(dluRect(7, 58, 213, 15));
    m_trackbar->setRange(0, 100);
    m_trackbar->setTickPosition(QSlider::NoTicks);
    m_trackbar->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_trackbar->setFocusPolicy(Qt::NoFocus);

    const auto button = [this](std::string_view caption, const char* name, int x) {
        auto* b = new QPushButton(text(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(dluRect(x, 75, 45, 17));
        b->setAutoDefault(false);
        return b;
    };
    m_play = button(voice_texts::kPlay, "play", 7);
    m_pause = button(voice_texts::kPause, "pause", 61);
    m_stop = button(voice_texts::kStop, "stop", 115);
    m_export = button(voice_texts::kExport, "export", 169);

    m_autoClose = new QCheckBox(text(voice_texts::kAutoClose), this);
    m_autoClose->setObjectName(QStringLiteral("autoClose"));
    m_autoClose->setGeometry(dluRect(18, 100, 202, 10));
    m_autoClose->setChecked(autoCloseSetting());

    connect(m_play, &QPushButton::clicked, this, [this] { apply(m_playback->play()); });
    connect(m_pause, &QPushButton::clicked, this, [this] { m_playback->pause(); });
    connect(m_stop, &QPushButton::clicked, this, [this] { m_playback->stop(); });
    connect(m_export, &QPushButton::clicked, this, &CDlgVoicePlayer::exportSound);
    connect(m_autoClose, &QCheckBox::toggled, this, [this](bool on) {
        setAutoCloseSetting(on);
        m_playback->setAutoClose(on);
    });

    new KeyFilter(this, {Qt::Key_Return, Qt::Key_Enter});
}

void CDlgVoicePlayer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        // Once the window is on screen, so that a message about the sound has a window to sit on.
        QTimer::singleShot(0, this, &CDlgVoicePlayer::start);
    }
}

void CDlgVoicePlayer::start() {
    if (m_loadError != WavError::None) {
        platform::desktop().message(this, text(wavErrorText(m_loadError)), QString());
        reject();
        return;
    }
    apply(m_playback->play());
}

void CDlgVoicePlayer::apply(const PlaybackUpdate& update) {
    if (update.trackbar)
        m_trackbar->setValue(*update.trackbar);
    if (update.spectrumBlock.size() == kBlockBytes) {
        m_spectrum->showBlock(BlockView(update.spectrumBlock.data(), kBlockBytes));
    }
    if (update.deviceError) {
        platform::desktop().message(this, text(voice_texts::kAudioDeviceError), platform::programName());
    }
    if (update.closeWindow)
        accept();
}

void CDlgVoicePlayer::exportSound() {
    const QString chosen =
        platform::desktop().pickSaveFile(this, QString(), text(voice_texts::kExportFilter), QString());
    if (chosen.isEmpty())
        return;
    const std::string path = exportPathFor(chosen.toStdString());
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) {
        const platform::Answer answer =
            platform::desktop().message(this, text(voice_texts::replaceQuestion(path)), QString(),
                                        platform::Buttons::YesNo, platform::Icon::Question);
        if (answer != platform::Answer::Yes)
            return;
    }
    if (writeWavFile(m_playback->sound(), path)) {
        platform::desktop().message(this, text(voice_texts::kExportSuccessful), QString());
    }
}

void CDlgVoicePlayer::done(int result) {
    m_playback->shutdown();
    QDialog::done(result);
}

}  // namespace talvio::media
