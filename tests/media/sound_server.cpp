// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "sound_server.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <csignal>

namespace talvio::media::test {

bool SoundServer::start() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (program.isEmpty()) {
        m_failure = QStringLiteral("pulseaudio is not installed");
        return false;
    }
    m_folder = std::make_unique<QTemporaryDir>();
    const QString socket = m_folder->filePath(QStringLiteral("native"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Its runtime files and cookie stay in the scratch folder, away from any real session.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder->path());
    environment.insert(QStringLiteral("HOME"), m_folder->path());
    m_server = std::make_unique<QProcess>();
    m_server->setProcessEnvironment(environment);
    m_server->setStandardOutputFile(QProcess::nullDevice());
    m_server->setStandardErrorFile(QProcess::nullDevice());
    m_server->start(program,
                    {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                     QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                     QStringLiteral("--realtime=no"), QStringLiteral("--high-priority=no"),
                     QStringLiteral("--load=module-null-sink sink_name=talvio_test"),
                     QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket});
    if (!m_server->waitForStarted(5000)) {
        m_failure = QStringLiteral("pulseaudio did not start");
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_server->state() == QProcess::Running) {
        QLocalSocket probe;
        probe.connectToServer(socket);
        if (probe.waitForConnected(200)) {
            probe.disconnectFromServer();
            qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
            return true;
        }
        QThread::msleep(50);
    }
    m_failure = QStringLiteral("pulseaudio did not open its socket");
    stop();
    return false;
}

void SoundServer::stop() {
    if (m_server && m_server->state() != QProcess::NotRunning) {
        ::kill(static_cast<pid_t>(m_server->processId()), SIGTERM);
        if (!m_server->waitForFinished(5000)) {
            ::kill(static_cast<pid_t>(m_server->processId()), SIGKILL);
            m_server->waitForFinished(5000);
        }
    }
    m_server.reset();
    m_folder.reset();
}

void useNoSoundServer() {
    qputenv("PULSE_SERVER", "unix:/nonexistent/talvio-no-sound-server");
}

}  // namespace talvio::media::test
