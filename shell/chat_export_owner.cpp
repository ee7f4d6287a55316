// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/chat_export_owner.h"

#include "chatexport/chat_export_source.h"

#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QSettings>
#include <QUrl>

namespace talvio {
namespace {

const QString kLastPath = QStringLiteral("open/path");

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Row ids hold '/' and other characters that QSettings reads as structure.
QString ownerKey(const std::string& jid) {
    return QStringLiteral("owners/") + QString::fromLatin1(QUrl::toPercentEncoding(fromUtf8(jid)));
}

class ListQuestion final : public OwnerQuestion {
public:
    QString ask(QWidget* owner, const QString& chatName, const QStringList& candidates) override {
        QInputDialog dialog(owner);
        dialog.setWindowTitle(QStringLiteral("Which of these is you?"));
        dialog.setLabelText(
            QStringLiteral("The export of \"%1\" does not say which messages are yours. Which of these "
                           "is you? Your messages are then shown as \"Me\".")
                .arg(chatName));
        // The chat's name comes from a file name: plain text, or Qt would guess markup in it.
        if (auto* label = dialog.findChild<QLabel*>())
            label->setTextFormat(Qt::PlainText);
        dialog.setComboBoxItems(candidates);
        dialog.setComboBoxEditable(false);
        return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
    }
};

OwnerQuestion*& installed() {
    static OwnerQuestion* question = nullptr;
    return question;
}

}  // namespace

OwnerQuestion& ownerQuestion() {
    static ListQuestion list;
    return installed() != nullptr ? *installed() : list;
}

void setOwnerQuestion(OwnerQuestion* replacement) {
    installed() = replacement;
}

ChatExportMemory::ChatExportMemory(const QString& settingsFolder)
    : m_path(QDir(settingsFolder).filePath(QStringLiteral("chat-exports.ini"))) {}

QString ChatExportMemory::owner(const std::string& jid) const {
    if (!QFileInfo(m_path).isFile())
        return {};
    return QSettings(m_path, QSettings::IniFormat).value(ownerKey(jid)).toString();
}

bool ChatExportMemory::setOwner(const std::string& jid, const QString& name) const {
    if (!QDir().mkpath(QFileInfo(m_path).path()))
        return false;
    QSettings file(m_path, QSettings::IniFormat);
    file.setValue(ownerKey(jid), name);
    file.sync();
    return file.status() == QSettings::NoError;
}

QString ChatExportMemory::lastPath() const {
    if (!QFileInfo(m_path).isFile())
        return {};
    return QSettings(m_path, QSettings::IniFormat).value(kLastPath).toString();
}

bool ChatExportMemory::setLastPath(const QString& path) const {
    if (!QDir().mkpath(QFileInfo(m_path).path()))
        return false;
    QSettings file(m_path, QSettings::IniFormat);
    file.setValue(kLastPath, path);
    file.sync();
    return file.status() == QSettings::NoError;
}

void applyRememberedOwners(chatexport::ChatExportSource& source, const ChatExportMemory& memory) {
    for (const chatexport::ChatExport& chat : source.chats()) {
        const std::string jid = chatexport::chatExportJid(chat);
        const QString name = memory.owner(jid);
        // A name the export no longer holds (the file was replaced) is asked again.
        if (!name.isEmpty())
            source.setOwner(jid, name.toStdString());
    }
}

void askOwnerOnce(QWidget* owner, chatexport::ChatExportSource& source, const std::string& jid,
                  const ChatExportMemory& memory) {
    const chatexport::ChatExport* chat = source.chatWithJid(jid);
    if (chat == nullptr || !source.takeOwnerQuestion(jid))
        return;
    QStringList candidates;
    for (const std::string& name : chat->ownerCandidates())
        candidates.append(fromUtf8(name));
    if (candidates.isEmpty())
        return;
    const QString answer = ownerQuestion().ask(owner, fromUtf8(chat->name()), candidates);
    if (answer.isEmpty() || !candidates.contains(answer))
        return;
    if (source.setOwner(jid, answer.toStdString()))
        memory.setOwner(jid, answer);
}

}  // namespace talvio
