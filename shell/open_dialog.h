// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "shell/open_memory.h"
#include "sources/iphone_backup_opening.h"
#include "sources/phone_folder.h"
#include "sources/whatsapp_storage.h"

#include <QDialog>
#include <QString>

#include <optional>
#include <string>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace talvio {

class BackupRows;
class CHyperLink;
class PasswordRow;

// What OK decides about the paths typed into the open dialog.
struct OpenChoice {
    bool accepted = false;
    QString message;  // shown when not accepted
    QString caption;  // empty: the program's name
    std::string dataFolder;
    std::string resourceFolder;
};

// Checks a kind and its two paths as OK does: the kind, the data path, the length that the
// settings file can hold, then the two database files. Paths come back with a trailing '/'.
OpenChoice checkOpenChoice(int kind, const QString& dataPath, const QString& resourcePath);

// The open-database dialog: which kind of phone, and where its copied folders lie.
class COpenWeiXinDataDlg : public QDialog {
    Q_OBJECT
public:
    explicit COpenWeiXinDataDlg(QWidget* parent);

    int kind() const;
    void setKind(int kind);
    QLineEdit* pathEdit(int id) const;
    QPushButton* browseButton(int id) const;
    QLabel* hintLabel() const { return m_hint; }
    // The ids of the controls that the current layout shows.
    QList<int> visibleControls() const;
    // The rows of backup, key and contacts file, shown for a phone's WhatsApp folder with backups.
    BackupRows* backupRows() const { return m_backupRows; }
    // Android, with this folder in the data path (a folder named on the command line).
    void prefillAndroidFolder(const QString& folder);
    // iPhone, with this computer backup in the data path.
    void prefillIphoneFolder(const QString& folder);
    // The password row, shown for an encrypted iPhone backup.
    PasswordRow* passwordRow() const { return m_passwordRow; }
    // Whether the iPhone data path names a computer backup (rather than an app-group folder).
    bool iphoneBackupChosen() const { return m_iphoneBackup.has_value(); }

    // After OK on the phone's WhatsApp folder: the folder to load, holding what was decrypted; after
    // OK on a chat export, the export.
    // Nothing after OK on any other folder: the program state names that one.
    const std::optional<PhoneFolder>& openedFolder() const { return m_opened; }
    // Why the contacts backup beside the messages did not open, when it did not.
    QString contactsNote() const { return m_contactsNote; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyLayout(int kind);
    // Whether the data path is a phone's WhatsApp folder; its backup rows show when it has backups.
    void checkStorage(int kind);
    void placeControls(bool withBackupRows);
    void acceptStorage(const WhatsAppStorage& storage);
    // Whether the iPhone data path is a computer backup: the resource row goes, and the password
    // row shows when the backup is encrypted.
    void checkIphoneBackup(int kind);
    void acceptIphoneBackup();
    void acceptChatExport();
    void browseExportFile();
    void rememberChoices(const QString& androidFolderKind);
    void browse(int editId);
    void readControls();
    void writeControls();
    void accept() override;

    QButtonGroup* m_kindGroup;
    QRadioButton* m_android;
    QRadioButton* m_iphone;
    QRadioButton* m_chatExport;
    CHyperLink* m_usage;
    QLabel* m_hint;
    QGroupBox* m_lower = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    BackupRows* m_backupRows = nullptr;
    PasswordRow* m_passwordRow = nullptr;
    std::optional<IphoneBackupProbe> m_iphoneBackup;
    std::optional<WhatsAppStorage> m_storage;
    std::optional<PhoneFolder> m_opened;
    QString m_contactsNote;
    OpenChoices m_choices;
    struct Row {
        int id;
        QWidget* widget;
    };
    QList<Row> m_rows;
    // The four paths in the order of the settings file: Android data, Android resource, iPhone data,
    // iPhone resource.
    QString m_paths[4];
    // The chat export (file or folder); kept in our own file, not in the settings file.
    QString m_exportPath;
};

}  // namespace talvio
