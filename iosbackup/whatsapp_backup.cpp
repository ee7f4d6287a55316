// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "whatsapp_backup.h"

#include <unistd.h>

namespace talvio::ios {
namespace {

struct Known {
    WhatsAppKind kind;
    const char* sharedDomain;
    const char* appDomain;
};

constexpr Known kApps[] = {
    {WhatsAppKind::Messenger, "AppDomainGroup-group.net.whatsapp.WhatsApp.shared",
     "AppDomain-net.whatsapp.WhatsApp"},
    {WhatsAppKind::Business, "AppDomainGroup-group.net.whatsapp.WhatsAppSMB.shared",
     "AppDomain-net.whatsapp.WhatsAppSMB"},
};

// Looks a file up, telling "not there" (nothing) from a damaged Manifest.db (an error).
BackupError optionalFile(const IosBackup& backup, std::string_view domain, std::string_view path,
                         std::optional<BackupEntry>& entry) {
    BackupEntry found;
    BackupError error = backup.lookup(domain, path, found);
    if (error.problem == BackupProblem::NotListed)
        return BackupError::ok();
    if (error.failed())
        return error;
    entry = std::move(found);
    return error;
}

}  // namespace

BackupError findWhatsApp(const IosBackup& backup, std::vector<WhatsAppInBackup>& found) {
    found.clear();
    bool anyApp = false;
    for (const Known& known : kApps) {
        if (!backup.hasDomain(known.sharedDomain) && !backup.hasDomain(known.appDomain))
            continue;
        anyApp = true;
        std::optional<BackupEntry> chats;
        if (BackupError error = optionalFile(backup, known.sharedDomain, "ChatStorage.sqlite", chats);
            error.failed())
            return error;
        if (!chats || chats->flags != 1)
            continue;
        WhatsAppInBackup app;
        app.kind = known.kind;
        app.sharedDomain = known.sharedDomain;
        app.appDomain = known.appDomain;
        app.chatStorage = std::move(*chats);
        if (BackupError error =
                optionalFile(backup, known.sharedDomain, "ChatStorage.sqlite-wal", app.chatStorageLog);
            error.failed())
            return error;
        for (const char* name : {"ContactsV2.sqlite", "Contacts.sqlite"}) {
            if (BackupError error = optionalFile(backup, known.sharedDomain, name, app.contacts);
                error.failed())
                return error;
            if (app.contacts)
                break;
        }
        found.push_back(std::move(app));
    }
    if (!found.empty())
        return BackupError::ok();
    if (!anyApp)
        return {
            BackupProblem::NoWhatsApp,
            "This backup holds no WhatsApp data. Check that WhatsApp is installed on this iPhone, then make "
            "the computer backup again."};
    return {
        BackupProblem::NoChatStorage,
        "This backup holds WhatsApp but not its chats. WhatsApp's end-to-end encrypted iCloud backup keeps "
        "chats out of computer backups; turn it off in WhatsApp before making the computer backup."};
}

BackupError findMedia(const IosBackup& backup, const WhatsAppInBackup& app, std::string_view localPath,
                      BackupEntry& entry) {
    BackupError error = backup.lookup(app.sharedDomain, "Message/" + std::string(localPath), entry);
    if (error.problem != BackupProblem::NotListed)
        return error;
    BackupError older = backup.lookup(app.appDomain, "Library/" + std::string(localPath), entry);
    return older.problem == BackupProblem::NotListed ? error : older;
}

BackupError findProfilePicture(const IosBackup& backup, const WhatsAppInBackup& app, std::string_view name,
                               BackupEntry& entry) {
    return backup.lookup(app.sharedDomain, "Media/Profile/" + std::string(name), entry);
}

BackupError materialiseChatStorage(const IosBackup& backup, const WhatsAppInBackup& app,
                                   const std::string& folder, std::string& databasePath) {
    std::string base = folder;
    if (!base.empty() && base.back() != '/')
        base += '/';
    const std::string path = base + "ChatStorage.sqlite";
    FileSink database(path);
    if (!database.ok())
        return {BackupProblem::WriteFailed,
                "ChatStorage.sqlite could not be written to the temporary folder."};
    if (BackupError error = backup.materialise(app.chatStorage, database); error.failed())
        return error;
    if (!database.close()) {
        ::unlink(path.c_str());
        return {BackupProblem::WriteFailed,
                "ChatStorage.sqlite could not be written in full. Check free space."};
    }
    if (app.chatStorageLog) {
        FileSink log(path + "-wal");
        BackupError error =
            log.ok() ? backup.materialise(*app.chatStorageLog, log)
                     : BackupError{BackupProblem::WriteFailed,
                                   "ChatStorage.sqlite-wal could not be written to the temporary folder."};
        if (!error.failed() && !log.close())
            error = {BackupProblem::WriteFailed, "ChatStorage.sqlite-wal could not be written in full."};
        if (error.failed()) {
            log.discard();
            ::unlink(path.c_str());
            return error;
        }
    }
    databasePath = path;
    return BackupError::ok();
}

}  // namespace talvio::ios
