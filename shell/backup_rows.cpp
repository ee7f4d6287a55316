// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup_rows.h"

#include "backup/key_material.h"
#include "platform/desktop.h"
#include "platform/dialog_units.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>

namespace talvio {
namespace {

constexpr int kDigits = 64;
const char* const kNoKey = "Please type the 64-digit key or choose the key file.";

bool isSeparator(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n') || c == QLatin1Char('-');
}

bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The file name a backup is remembered by; the decrypted database's for an empty path.
QString nameOf(const std::string& backupPath) {
    return backupPath.empty() ? QStringLiteral("msgstore.db")
                              : fromPath(std::filesystem::path(backupPath).filename().string());
}

}  // namespace

QString keyTypingStatus(const QString& typed) {
    int digits = 0;
    for (const QChar c : typed) {
        if (isSeparator(c))
            continue;
        if (!isHexDigit(c))
            return QStringLiteral("Only digits 0-9 and letters a-f");
        ++digits;
    }
    if (digits == 0)
        return QString();
    if (digits == kDigits)
        return QStringLiteral("64 digits \u2014 looks right");
    if (digits > kDigits)
        return QStringLiteral("%1 digits \u2014 %2 too many").arg(digits).arg(digits - kDigits);
    return QStringLiteral("%1 of 64 digits").arg(digits);
}

BackupRows::BackupRows(QWidget* parent, int top)
    : QWidget(parent),
      m_backup(new QComboBox(this)),
      m_key(new QLineEdit(this)),
      m_showKey(new QPushButton(QStringLiteral("Show"), this)),
      m_keyFile(new QLineEdit(this)),
      m_pickKeyFile(new QPushButton(QStringLiteral("Key file\u2026"), this)),
      m_status(new QLabel(this)),
      m_contacts(new QLineEdit(this)),
      m_pickContacts(new QPushButton(QStringLiteral("Browse\u2026"), this)) {
    setGeometry(dluRect(0, top, 333, 62));
    // Placed in the dialog's units, as the rows above them are.
    const auto place = [top](QWidget* widget, int x, int y, int w, int h) {
        widget->setGeometry(dluRect(x, y, w, h).translated(0, -dluY(top)));
    };
    const auto label = [this, &place](const QString& text, int y) {
        auto* shown = new QLabel(text, this);
        place(shown, 14, y + 2, 76, 10);
    };
    label(QStringLiteral("Backup:"), top);
    place(m_backup, 92, top, 228, 14);

    label(QStringLiteral("Key:"), top + 18);
    place(m_key, 92, top + 18, 138, 14);
    m_key->setEchoMode(QLineEdit::Password);
    m_key->setPlaceholderText(QStringLiteral("the 64-digit key"));
    place(m_showKey, 234, top + 18, 32, 14);
    m_showKey->setCheckable(true);
    place(m_keyFile, 92, top + 18, 174, 14);
    m_keyFile->setClearButtonEnabled(true);
    m_keyFile->setToolTip(QStringLiteral("Empty this box to type the key instead."));
    place(m_pickKeyFile, 270, top + 18, 50, 14);
    place(m_status, 92, top + 34, 228, 10);
    m_status->setTextFormat(Qt::PlainText);

    label(QStringLiteral("Contacts file (.vcf):"), top + 46);
    place(m_contacts, 92, top + 46, 174, 14);
    m_contacts->setPlaceholderText(QStringLiteral("optional: the address book"));
    place(m_pickContacts, 270, top + 46, 50, 14);

    connect(m_key, &QLineEdit::textChanged, this, [this](const QString& typed) {
        m_status->setText(keyTypingStatus(typed));
        m_status->setToolTip(QString());
    });
    connect(m_showKey, &QPushButton::toggled, this, [this](bool shown) {
        m_key->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
        m_showKey->setText(shown ? QStringLiteral("Hide") : QStringLiteral("Show"));
    });
    connect(m_keyFile, &QLineEdit::textEdited, this, [this] {
        m_status->setText(m_keyFile->text().isEmpty() ? keyTypingStatus(m_key->text())
                                                      : QStringLiteral("The key is read from this file."));
        showKeySource();
    });
    connect(m_pickKeyFile, &QPushButton::clicked, this, &BackupRows::pickKeyFile);
    connect(m_pickContacts, &QPushButton::clicked, this, &BackupRows::pickContactsFile);
    showKeySource();
}

void BackupRows::setStorage(const WhatsAppStorage& storage, const QString& preferred) {
    const QString before = m_backup->count() > 0 ? chosenBackupName() : preferred;
    m_backup->clear();
    m_backupPaths.clear();
    for (const StoredBackup& stored : storage.backups) {
        m_backup->addItem(QString::fromStdString(stored.label));
        m_backupPaths.push_back(stored.path);
    }
    if (!storage.plainMessageDb.empty()) {
        m_backup->addItem(QStringLiteral("Decrypted database (msgstore.db), no key needed"));
        m_backupPaths.emplace_back();
    }
    int chosen = 0;
    for (std::size_t i = 0; i < m_backupPaths.size(); ++i) {
        if (nameOf(m_backupPaths[i]) == before)
            chosen = static_cast<int>(i);
    }
    m_backup->setCurrentIndex(chosen);
}

std::string BackupRows::chosenBackup() const {
    const int index = m_backup->currentIndex();
    return index < 0 || static_cast<std::size_t>(index) >= m_backupPaths.size() ? std::string()
                                                                                : m_backupPaths[index];
}

QString BackupRows::chosenBackupName() const {
    return nameOf(chosenBackup());
}

backup::KeyResult BackupRows::readKey() const {
    if (!m_keyFile->text().isEmpty())
        return backup::loadKeyFile(QFile::encodeName(m_keyFile->text()).toStdString());
    if (m_key->text().isEmpty())
        return {std::nullopt, kNoKey};
    QByteArray typed = m_key->text().toUtf8();
    backup::KeyResult result = backup::parseTypedKey(std::string_view(typed.constData(), typed.size()));
    backup::wipe(typed.data(), static_cast<std::size_t>(typed.size()));
    return result;
}

void BackupRows::forgetTypedKey() {
    m_key->clear();
}

QString BackupRows::keyFile() const {
    return m_keyFile->text();
}

void BackupRows::setKeyFile(const QString& path) {
    m_keyFile->setText(path);
    // A key file takes the typed key's place, and the typed key is not kept behind it.
    if (!path.isEmpty())
        m_key->clear();
    checkKeyFile();
    showKeySource();
}

QString BackupRows::contactsFile() const {
    return m_contacts->text();
}

void BackupRows::setContactsFile(const QString& path) {
    m_contacts->setText(path);
}

void BackupRows::pickKeyFile() {
    const QString start = keyFile().isEmpty() ? QString() : QFileInfo(keyFile()).path();
    const QString picked = platform::desktop().pickOpenFile(
        window(), QStringLiteral("Choose the key file"),
        QStringLiteral("Key files (key encrypted_backup.key *.key *.txt);;All files (*)"), start);
    if (!picked.isEmpty())
        setKeyFile(picked);
}

void BackupRows::pickContactsFile() {
    const QString start = contactsFile().isEmpty() ? QString() : QFileInfo(contactsFile()).path();
    const QString picked =
        platform::desktop().pickOpenFile(window(), QStringLiteral("Choose the contacts file"),
                                         QStringLiteral("Contacts (*.vcf);;All files (*)"), start);
    if (!picked.isEmpty())
        setContactsFile(picked);
}

void BackupRows::showKeySource() {
    const bool fromFile = !m_keyFile->text().isEmpty();
    m_keyFile->setVisible(fromFile);
    m_key->setVisible(!fromFile);
    m_showKey->setVisible(!fromFile);
}

void BackupRows::checkKeyFile() {
    if (keyFile().isEmpty()) {
        m_status->setText(keyTypingStatus(m_key->text()));
        return;
    }
    // Read once now so that a wrong file shows before OK; the key itself is dropped at once.
    const backup::KeyResult result = readKey();
    const QString said =
        result.ok() ? QStringLiteral("Key file looks right") : QString::fromStdString(result.error);
    m_status->setText(said);
    // A long reason does not fit the row; the whole of it is a pointer away.
    m_status->setToolTip(said);
}

}  // namespace talvio
