// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/phone_folder.h"

#include <QString>

namespace talvio {

class CChatSoftware;
class CMireloDlg;

// The start-up step: the saved settings, read once before the first open dialog.
void loadSettingsAtStartUp();

// "Open WhatsApp database": the open dialog, then the load of the chosen folder.
void runLoadWorkflow(CMireloDlg& window);

// Loads a folder named on the command line, Android or iPhone by its files, or chats that WhatsApp
// exported. The phone's WhatsApp
// folder opens at once when it holds a decrypted database, else in the open dialog, which asks for
// the key of its backups. Shows a message and returns false when the folder is none of these (or
// the dialog was cancelled).
bool loadFolderDirectly(CMireloDlg& window, const QString& folder, const QString& resourceFolder);

// Loads chats exported by WhatsApp: a .txt, a .zip, or a folder of them.
void loadChatExport(CMireloDlg& window, const std::string& path);

// Loads the folder of the current load paths into the table and the list.
void loadChosenFolder(CMireloDlg& window);
// Loads this folder (a decrypted backup held in memory, say) and makes it the current load paths.
void loadPhoneFolder(CMireloDlg& window, PhoneFolder folder);

// Fills the contact list from the table and copies the profile pictures.
void PopulateContactList(CMireloDlg& window, const CChatSoftware& source);

// The file a contact's picture is copied to: UserDataFolder + "images/" + jid + ".jpg", with a
// jid that could leave the folder neutralised.
QString profilePictureCopyPath(const QString& userDataFolder, const std::string& jid);

// "Export" and the hidden recover button.
void runExportCommand(CMireloDlg& window);
void runRecoverCommand(CMireloDlg& window);

}  // namespace talvio
