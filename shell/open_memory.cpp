// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "open_memory.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace talvio {
namespace {

const QString kFolderKind = QStringLiteral("android/folderKind");
const QString kKeyFile = QStringLiteral("android/keyFile");
const QString kContactsFile = QStringLiteral("android/contactsFile");
const QString kBackup = QStringLiteral("android/backup");

}  // namespace

OpenMemory::OpenMemory(const QString& settingsFolder)
    : m_path(QDir(settingsFolder).filePath(QStringLiteral("open.ini"))) {}

OpenChoices OpenMemory::restore() const {
    OpenChoices choices;
    if (!QFileInfo(m_path).isFile())
        return choices;
    const QSettings file(m_path, QSettings::IniFormat);
    choices.androidFolderKind = file.value(kFolderKind).toString();
    choices.keyFile = file.value(kKeyFile).toString();
    choices.contactsFile = file.value(kContactsFile).toString();
    choices.backupName = file.value(kBackup).toString();
    return choices;
}

bool OpenMemory::save(const OpenChoices& choices) const {
    if (!QDir().mkpath(QFileInfo(m_path).path()))
        return false;
    QSettings file(m_path, QSettings::IniFormat);
    file.setValue(kFolderKind, choices.androidFolderKind);
    file.setValue(kKeyFile, choices.keyFile);
    file.setValue(kContactsFile, choices.contactsFile);
    file.setValue(kBackup, choices.backupName);
    file.sync();
    return file.status() == QSettings::NoError;
}

}  // namespace talvio
