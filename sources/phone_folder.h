// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <memory>
#include <string>

#include "backup/plain_image.h"
#include "sources/backup_files.h"

namespace talvio {

// Which kind of phone folder is loaded; also chooses the message time base. A chat export is the
// text (or zip, or a folder of them) that WhatsApp's "Export chat" writes; dataFolder names it.
enum SourceKind : int { kSourceNone = -1, kSourceAndroid = 0, kSourceIPhone = 1, kSourceChatExport = 2 };

// What a source reads: the kind of phone folder, its folders and database files, and the zone its
// times are shown in.
struct PhoneFolder {
    int kind = kSourceNone;
    std::string dataFolder;      // ends in '/' once set
    std::string resourceFolder;  // ends in '/' unless empty
    std::string messageDbPath;
    std::string contactDbPath;
    int timeZoneBias = 0;  // minutes west of UTC of local standard time
    // Databases decrypted from a backup, held in memory for as long as anything reads them. When
    // set, they are read in place of the files that the two paths name (the backups themselves).
    std::shared_ptr<const backup::PlainImage> heldMessageDb;
    std::shared_ptr<const backup::PlainImage> heldContactDb;
    // Set for an iPhone computer backup: media and profile pictures are found through it, not
    // below resourceFolder.
    std::shared_ptr<BackupFiles> backupFiles;
    // Every chat of the messages gets a row, named or not. A "com.whatsapp" data folder lists
    // what wa.db lists; backups seldom carry a wa.db with contacts in it.
    bool listsEveryChat = false;
    // A contacts file (vCard) from the phone's address book that names chats no database names;
    // empty when there is none.
    std::string addressBookPath;
};

// The folder of the kind below dataFolder, with the database files a folder of the kind holds.
PhoneFolder phoneFolderOf(int sourceKind, const std::string& dataFolder, const std::string& resourceFolder,
                          int timeZoneBias);
// The folder that the program state names (the last accepted open), in the local standard zone.
PhoneFolder chosenPhoneFolder();

// Folder paths end in '/' from here on: "a/b" becomes "a/b/", an empty path stays empty.
std::string withTrailingSlash(std::string path);

// The database files a folder of the kind must hold, relative to the folder.
const char* messageDbName(int sourceKind);
const char* contactDbName(int sourceKind);
// The contacts database of an iPhone folder: ContactsV2.sqlite in current WhatsApp versions,
// Contacts.sqlite in older ones; empty when the folder holds neither.
std::string iphoneContactDbName(const std::string& folder);

// The kind of phone folder by its files: kSourceAndroid, kSourceIPhone or kSourceNone.
int detectSourceKind(const std::string& folder);

// Whether both database files of the kind exist below the folder.
bool hasDatabaseFiles(int sourceKind, const std::string& folder);

// Sets SourceKind and the four load paths of the program state, as an accepted open does.
void setLoadPaths(int sourceKind, const std::string& dataFolder, const std::string& resourceFolder);
// The same for a folder opened some other way (a WhatsApp storage folder, a decrypted backup).
void setLoadPaths(const PhoneFolder& folder);

}  // namespace talvio
