// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace talvio::media::test {

// A private PulseAudio server with one null sink, so that QAudioSink and GStreamer really play
// (in real time, to no loudspeaker) on a machine without a sound card. The process's own
// clients are pointed at it; it must start before Qt first looks for audio devices, which it
// does only once per process.
class SoundServer {
public:
    // Starts the server and waits until it accepts clients; false (with a reason) otherwise.
    bool start();
    // Stops the server by its process id.
    void stop();
    const QString& failure() const { return m_failure; }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QProcess> m_server;
    QString m_failure;
};

// Points this process at a server that does not exist, so that no audio device opens.
void useNoSoundServer();

}  // namespace talvio::media::test
