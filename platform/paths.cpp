// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "paths.h"

#include <QDir>
#include <QStandardPaths>

namespace talvio::platform {
namespace {

QString withSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// "talvio/" inside a standard location. The home folder stands in when the desktop names none, so
// the program never ends up writing below the root folder.
QString programFolderIn(QStandardPaths::StandardLocation location) {
    QString base = QStandardPaths::writableLocation(location);
    if (base.isEmpty())
        base = QDir::homePath();
    return withSlash(base) + QStringLiteral("talvio/");
}

QString& settingsOverride() {
    static QString folder;
    return folder;
}

QString& userDataOverride() {
    static QString folder;
    return folder;
}

QString& cacheOverride() {
    static QString folder;
    return folder;
}

}  // namespace

QString settingsFolder() {
    const QString& chosen = settingsOverride();
    return chosen.isEmpty() ? programFolderIn(QStandardPaths::GenericConfigLocation) : chosen;
}

QString userDataFolder() {
    const QString& chosen = userDataOverride();
    return chosen.isEmpty() ? programFolderIn(QStandardPaths::DocumentsLocation) : chosen;
}

void setSettingsFolder(const QString& folder) {
    settingsOverride() = folder.isEmpty() ? QString() : withSlash(folder);
}

void setUserDataFolder(const QString& folder) {
    userDataOverride() = folder.isEmpty() ? QString() : withSlash(folder);
}

QString cacheFolder() {
    const QString& chosen = cacheOverride();
    return chosen.isEmpty() ? programFolderIn(QStandardPaths::GenericCacheLocation) : chosen;
}

void setCacheFolder(const QString& folder) {
    cacheOverride() = folder.isEmpty() ? QString() : withSlash(folder);
}

}  // namespace talvio::platform
