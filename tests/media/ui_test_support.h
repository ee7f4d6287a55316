// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>

#include "media/sound_record.h"
#include "tests/support/wait.h"

namespace talvio::media::test {

using talvio::test::waitUntil;

inline void spin(int milliseconds) {
    waitUntil([] { return false; }, milliseconds);
}

// Two tones at a speaking level, so that the spectrum has bars and silence stands out.
inline SoundRecord toneSound(double seconds, std::uint32_t rate) {
    SoundRecord sound;
    sound.sampleRate = rate;
    sound.channels = 1;
    sound.bitsPerSample = 16;
    const auto frames = static_cast<std::size_t>(seconds * rate);
    sound.samples.resize(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const auto v = static_cast<std::int16_t>(6000 * std::sin(2 * std::numbers::pi * 440 * t) +
                                                 3000 * std::sin(2 * std::numbers::pi * 1300 * t));
        sound.samples[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
        sound.samples[2 * i + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    }
    return sound;
}

// A real Ogg Opus voice note: espeak-ng speaks, opusenc encodes. False when either is missing.
inline bool makeVoiceNote(const QString& scratchWav, const QString& opusPath) {
    return QProcess::execute(QStringLiteral("espeak-ng"),
                             {QStringLiteral("-w"), scratchWav,
                              QStringLiteral("This is a voice note for the player.")}) == 0 &&
           QProcess::execute(QStringLiteral("opusenc"), {QStringLiteral("--quiet"), scratchWav, opusPath}) ==
               0;
}

// Stands in for the person in front of a modal window that the code under test opens and waits
// on: each new window of type Dialog is handed to `onOpen`, then closed.
template <typename Dialog>
class ModalWatcher {
public:
    std::function<void(Dialog&)> onOpen;
    int opened = 0;

    ModalWatcher() {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
        m_timer.start();
    }

private:
    void look() {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog == m_last)
            return;
        m_last = dialog;
        ++opened;
        if (onOpen)
            onOpen(*dialog);
        dialog->reject();
    }

    QTimer m_timer;
    QPointer<Dialog> m_last;
};

}  // namespace talvio::media::test
