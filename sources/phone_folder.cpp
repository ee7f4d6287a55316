// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "phone_folder.h"

#include "message_time.h"
#include "program_state.h"

#include <filesystem>
#include <system_error>

namespace talvio {
namespace {

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

}  // namespace

std::string withTrailingSlash(std::string path) {
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

const char* messageDbName(int sourceKind) {
    return sourceKind == kSourceAndroid ? "databases/msgstore.db" : "ChatStorage.sqlite";
}

const char* contactDbName(int sourceKind) {
    return sourceKind == kSourceAndroid ? "databases/wa.db" : "Contacts.sqlite";
}

std::string iphoneContactDbName(const std::string& folder) {
    const std::string base = withTrailingSlash(folder);
    for (const char* name : {"Contacts.sqlite", "ContactsV2.sqlite"}) {
        if (exists(base + name))
            return name;
    }
    return {};
}

bool hasDatabaseFiles(int sourceKind, const std::string& folder) {
    const std::string base = withTrailingSlash(folder);
    if (!exists(base + messageDbName(sourceKind)))
        return false;
    return sourceKind == kSourceIPhone ? !iphoneContactDbName(folder).empty()
                                       : exists(base + contactDbName(sourceKind));
}

namespace {

// The contacts database below a folder of the kind; for an iPhone folder the one it holds.
std::string contactDbPathOf(int sourceKind, const std::string& dataFolder) {
    if (sourceKind == kSourceIPhone) {
        const std::string held = iphoneContactDbName(dataFolder);
        return dataFolder + (held.empty() ? contactDbName(sourceKind) : held.c_str());
    }
    return dataFolder + contactDbName(sourceKind);
}

}  // namespace

int detectSourceKind(const std::string& folder) {
    if (hasDatabaseFiles(kSourceAndroid, folder))
        return kSourceAndroid;
    if (hasDatabaseFiles(kSourceIPhone, folder))
        return kSourceIPhone;
    return kSourceNone;
}

PhoneFolder phoneFolderOf(int sourceKind, const std::string& dataFolder, const std::string& resourceFolder,
                          int timeZoneBias) {
    PhoneFolder folder;
    folder.kind = sourceKind;
    folder.dataFolder = withTrailingSlash(dataFolder);
    folder.resourceFolder = withTrailingSlash(resourceFolder);
    folder.messageDbPath = folder.dataFolder + messageDbName(sourceKind);
    folder.contactDbPath = contactDbPathOf(sourceKind, folder.dataFolder);
    folder.timeZoneBias = timeZoneBias;
    return folder;
}

PhoneFolder chosenPhoneFolder() {
    const ProgramState& state = programState();
    PhoneFolder folder;
    folder.kind = state.sourceKind;
    folder.dataFolder = state.dataFolder;
    folder.resourceFolder = state.resourceFolder;
    folder.messageDbPath = state.messageDbPath;
    folder.contactDbPath = state.contactDbPath;
    folder.timeZoneBias = standardTimeZoneBias();
    return folder;
}

void setLoadPaths(int sourceKind, const std::string& dataFolder, const std::string& resourceFolder) {
    ProgramState& state = programState();
    state.privateMediaFolder.clear();
    state.sourceKind = sourceKind;
    state.dataFolder = withTrailingSlash(dataFolder);
    state.resourceFolder = withTrailingSlash(resourceFolder);
    state.messageDbPath = state.dataFolder + messageDbName(sourceKind);
    state.contactDbPath = contactDbPathOf(sourceKind, state.dataFolder);
}

void setLoadPaths(const PhoneFolder& folder) {
    ProgramState& state = programState();
    // The media of an encrypted backup are decrypted into its private folder, the resource folder.
    state.privateMediaFolder =
        folder.backupFiles && folder.backupFiles->decrypted() ? folder.resourceFolder : std::string();
    state.sourceKind = folder.kind;
    state.dataFolder = folder.dataFolder;
    state.resourceFolder = folder.resourceFolder;
    state.messageDbPath = folder.messageDbPath;
    state.contactDbPath = folder.contactDbPath;
}

}  // namespace talvio
