// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "backup/key_parser.h"
#include "sources/whatsapp_storage.h"

#include <QString>
#include <QWidget>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace talvio {

// What the key box says of the text typed so far: how many of the 64 digits are there, or that a
// character is not one. It never repeats any part of the key.
QString keyTypingStatus(const QString& typed);

// The open dialog's rows for the phone's WhatsApp folder with encrypted backups: which backup, its
// key (typed, or a key file) and an optional contacts file. The typed key stays in its box alone.
class BackupRows : public QWidget {
    Q_OBJECT
public:
    // Laid out in dialog units from `top`, the dialog's own coordinates.
    BackupRows(QWidget* parent, int top);

    // Lists the storage folder's backups, the current first; `preferred` (a file name) is chosen
    // when it is among them. A decrypted database beside the backups is offered last.
    void setStorage(const WhatsAppStorage& storage, const QString& preferred);
    // The chosen backup file; empty when the decrypted database is chosen.
    std::string chosenBackup() const;
    QString chosenBackupName() const;
    bool needsKey() const { return !chosenBackup().empty(); }

    // The key from the key file when one is named, else the typed one; or why there is none.
    backup::KeyResult readKey() const;
    // Empties the key box, once the key has done its work.
    void forgetTypedKey();

    QString keyFile() const;
    void setKeyFile(const QString& path);
    QString contactsFile() const;
    void setContactsFile(const QString& path);

    QComboBox* backupChoice() const { return m_backup; }
    QLineEdit* keyEdit() const { return m_key; }
    QPushButton* showKeyButton() const { return m_showKey; }
    QLineEdit* keyFileEdit() const { return m_keyFile; }
    QPushButton* keyFileButton() const { return m_pickKeyFile; }
    QLabel* keyStatus() const { return m_status; }
    QLineEdit* contactsEdit() const { return m_contacts; }
    QPushButton* contactsButton() const { return m_pickContacts; }

    // How much taller, in dialog units, the dialog grows while the rows show.
    static constexpr int kExtraHeight = 36;

private:
    void pickKeyFile();
    void pickContactsFile();
    // The typed key and the key file share one place: the file, while one is named.
    void showKeySource();
    void checkKeyFile();

    QComboBox* m_backup;
    QLineEdit* m_key;
    QPushButton* m_showKey;
    QLineEdit* m_keyFile;
    QPushButton* m_pickKeyFile;
    QLabel* m_status;
    QLineEdit* m_contacts;
    QPushButton* m_pickContacts;
    std::vector<std::string> m_backupPaths;
};

}  // namespace talvio
