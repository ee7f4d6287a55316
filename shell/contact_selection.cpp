// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "contact_selection.h"

#include "chatexport/chat_export_source.h"
#include "platform/desktop.h"
#include "platform/paths.h"
#include "shell/chat_export_owner.h"
#include "shell/main_window.h"
#include "shell/search_panel.h"
#include "sources/chat_page.h"
#include "sources/chat_software.h"
#include "sources/contact_table.h"
#include "sources/folder_boundary.h"
#include "sources/program_state.h"

#include <QLabel>

namespace talvio {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The picture file at DataFolder + picturePath when it is a file inside the phone folder; empty
// otherwise (a path from the database may climb out of the folder or lead through a link).
QString existingPicture(const CChatSoftware* source, const ContactEntry& entry) {
    if (entry.picturePath.empty())
        return {};
    // A computer backup has no folder tree: the picture is looked up in it, and decrypted privately
    // when the backup is encrypted.
    if (source != nullptr && source->folder().backupFiles)
        return fromUtf8(source->folder().backupFiles->pictureFile(entry.picturePath));
    const std::string& folder = programState().dataFolder;
    const std::string path = folder + entry.picturePath;
    return FolderBoundary(folder).holdsFile(path) ? fromUtf8(path) : QString();
}

}  // namespace

void ShowContact(CMireloDlg& window, CChatSoftware& source, int row) {
    const ContactTable& table = contactTable();
    if (!table.isRow(row))
        return;
    ProgramState& state = programState();
    state.currentContactIndex = row;
    const ContactEntry& entry = table.row(row);
    state.currentContactName = contactShownName(entry);
    if (auto* exports = dynamic_cast<chatexport::ChatExportSource*>(&source);
        exports != nullptr && exports->ownerQuestionDue(entry.jid)) {
        // The answer decides which messages are the reader's own, for search too.
        window.searchPanel()->readAgainAfter([&] {
            askOwnerOnce(&window, *exports, entry.jid, ChatExportMemory(platform::settingsFolder()));
        });
    }
    // A chat that cannot be read shows a page that says so, never the chat shown before it.
    renderContact(source, entry, kViewer, chatPageBuffer());
    ShowChatPage();

    const QString picture = existingPicture(&source, entry);
    // A file that does not decode shows the default picture rather than an empty box.
    if (picture.isEmpty() || !window.showPicture(picture))
        window.showDefaultPicture();

    window.idLabel()->setText(QStringLiteral("ID: ") + fromUtf8(JidToNumber(entry.jid)));
    window.nameLabel()->setText(QStringLiteral("Name: ") + fromUtf8(entry.displayName));
    window.numberLabel()->clear();
}

void PictureClick(CMireloDlg& window) {
    const ContactTable& table = contactTable();
    const int row = programState().currentContactIndex;
    const QString picture =
        table.isRow(row) ? existingPicture(window.currentSource(), table.row(row)) : QString();
    if (picture.isEmpty()) {
        platform::desktop().message(&window, QStringLiteral("No Image!"), QString());
        return;
    }
    platform::desktop().openImage(picture);
}

}  // namespace talvio
