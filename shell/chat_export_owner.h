// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QString>
#include <QStringList>

#include <string>

class QWidget;

namespace talvio {

namespace chatexport {
class ChatExportSource;
}

// "Which of these is you?": exports do not mark the phone owner's messages, so the person says
// which sender they are. Tests install a scripted question.
class OwnerQuestion {
public:
    virtual ~OwnerQuestion() = default;
    // One of candidates, or an empty text when the person did not choose.
    virtual QString ask(QWidget* owner, const QString& chatName, const QStringList& candidates) = 0;
};

// The question in use: a list dialog unless a test installed another (nullptr restores it).
OwnerQuestion& ownerQuestion();
void setOwnerQuestion(OwnerQuestion* replacement);

// What the viewer remembers of chat exports, in a file of our own beside the settings file
// ("chat-exports.ini"): the settings file has room for phone folders only.
class ChatExportMemory {
public:
    explicit ChatExportMemory(const QString& settingsFolder);

    QString path() const { return m_path; }
    // The sender who is the phone's owner in the export of that row id; empty when not known.
    QString owner(const std::string& jid) const;
    bool setOwner(const std::string& jid, const QString& name) const;
    // The export (file or folder) opened last.
    QString lastPath() const;
    bool setLastPath(const QString& path) const;

private:
    QString m_path;
};

// Gives each export of a fresh load the owner remembered for it.
void applyRememberedOwners(chatexport::ChatExportSource& source, const ChatExportMemory& memory);

// Before an export's chat is first shown: asks who the user is, once per load, unless the answer
// is known; a given answer is remembered and applied.
void askOwnerOnce(QWidget* owner, chatexport::ChatExportSource& source, const std::string& jid,
                  const ChatExportMemory& memory);

}  // namespace talvio
