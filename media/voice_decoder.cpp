// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/voice_decoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "media/voice_paths.h"

namespace talvio::media {
namespace {

// opusdec writes a WAV header only to a name ending in ".wav"; the leading dot keeps a file
// left by a killed decoder out of ordinary folder listings.
QString temporaryWavPath(const QString& wavPath) {
    const QFileInfo target(wavPath);
    return target.dir().filePath(
        QStringLiteral(".%1.%2.wav").arg(target.completeBaseName()).arg(QCoreApplication::applicationPid()));
}

}  // namespace

QString opusdecProgram() {
    const QFileInfo beside(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("opusdec")));
    if (beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(QStringLiteral("opusdec"));
}

void decodeVoiceNote(const QString& voicePath, const QString& wavPath) {
    const QString program = opusdecProgram();
    // The decoder is waited for without a limit, and a note that is no regular file (a FIFO in a
    // copied folder) would keep it, and the window with it, waiting for ever.
    if (program.isEmpty() || !QFileInfo(voicePath).isFile())
        return;
    const QString partial = temporaryWavPath(wavPath);
    QStringList arguments;
    for (const std::string& argument : opusdecArguments(voicePath.toStdString(), partial.toStdString())) {
        arguments << QString::fromStdString(argument);
    }
    QProcess decoder;
    decoder.setProgram(program);
    decoder.setArguments(arguments);
    // Its progress lines are of no use to anyone here, and must not fill a pipe nobody reads.
    decoder.setStandardInputFile(QProcess::nullDevice());
    decoder.setStandardOutputFile(QProcess::nullDevice());
    decoder.setStandardErrorFile(QProcess::nullDevice());
    decoder.start();
    if (!decoder.waitForStarted(-1))
        return;
    decoder.waitForFinished(-1);
    if (decoder.exitStatus() == QProcess::NormalExit && QFileInfo(partial).isFile()) {
        // Whatever stands at the target by now was made by another decoder of the same note.
        QFile::remove(wavPath);
        if (QFile::rename(partial, wavPath))
            return;
    }
    QFile::remove(partial);
}

}  // namespace talvio::media
