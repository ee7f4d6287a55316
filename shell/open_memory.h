// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QString>

namespace talvio {

// The open dialog's choices that the settings file has no room for.
struct OpenChoices {
    // Which kind of Android folder was opened: "data" (com.whatsapp) or "storage" (the phone's
    // WhatsApp folder with its backups).
    QString androidFolderKind;
    QString keyFile;  // the path of the key file, never the key
    QString contactsFile;
    QString backupName;  // the file name of the chosen backup
};

// The choices from one open to the next, in a file of our own beside the settings file
// ("open.ini"), so that the settings file keeps its fixed layout.
class OpenMemory {
public:
    explicit OpenMemory(const QString& settingsFolder);

    QString path() const { return m_path; }
    // A missing or unreadable file gives empty choices.
    OpenChoices restore() const;
    // False when the file could not be written.
    bool save(const OpenChoices& choices) const;

private:
    QString m_path;
};

}  // namespace talvio
