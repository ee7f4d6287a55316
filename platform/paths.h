// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QString>

// The program's own folders. Both end in '/'; neither is created here.
namespace talvio::platform {

// Holds the settings file: "talvio/" in the user's configuration folder ($XDG_CONFIG_HOME, usually
// ~/.config). Per user, so saving never needs administrator rights.
QString settingsFolder();

// "talvio/" in the user's documents folder; its "images/" subfolder keeps the contact pictures.
QString userDataFolder();

// Tests point the folders at a temporary place; an empty text restores the desktop's folder.
// A folder given without a trailing '/' gets one.
void setSettingsFolder(const QString& folder);
void setUserDataFolder(const QString& folder);

// "talvio/" in the user's cache folder: files we make and can make again (decoded voice notes).
QString cacheFolder();
void setCacheFolder(const QString& folder);

}  // namespace talvio::platform
