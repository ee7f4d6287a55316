// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iphone_test_support.h"

#include "iosbackup/backup_writer.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/iphone_weixin.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "tests/support/temp_dir.h"
#include "tools/database_build.h"
#include "tools/iphone_schema.h"

#include <filesystem>
#include <stdexcept>

namespace talvio::test {

std::string iphoneFixtureData(const std::string& name) {
    return std::string(TALVIO_IPHONE_FIXTURES) + "/" + name + "/group.net.whatsapp.WhatsApp.shared/";
}

std::string iphoneFixtureResources(const std::string& name) {
    return std::string(TALVIO_IPHONE_FIXTURES) + "/" + name + "/net.whatsapp.WhatsApp/";
}

void makeIphoneFolder(const std::string& folder, const std::string& rowsSql, bool bare) {
    fixture::DatabaseBuild chats;
    fixture::Failure failure = chats.create(folder + "ChatStorage.sqlite",
                                            bare ? std::string_view() : fixture::IphoneSchema::chatStorage());
    if (!failure)
        failure = chats.run(rowsSql, "rows");
    if (!failure)
        failure = chats.finish();
    fixture::DatabaseBuild contacts;
    if (!failure)
        failure = contacts.create(folder + "Contacts.sqlite", fixture::IphoneSchema::contacts());
    if (!failure)
        failure = contacts.finish();
    if (failure)
        throw std::runtime_error(*failure);
}

void loadIphoneFolder(const std::string& folder, const std::string& resources) {
    setLoadPaths(kSourceIPhone, folder, resources);
    CIphoneWeiXin(chosenPhoneFolder()).LoadContacts(contactTable());
}

std::string renderIphoneRow(int row, int mode, MediaCopyLog* media) {
    CIphoneWeiXin source(chosenPhoneFolder());
    renderContact(source, contactTable().row(row), mode, chatPageBuffer(), media);
    return chatPageBuffer().text();
}

int rowOfJid(const std::string& jid) {
    const ContactTable& table = contactTable();
    for (int i = 0; i < table.count(); ++i) {
        if (table.row(i).jid == jid)
            return i;
    }
    return -1;
}

std::vector<std::string> pageBlocks(const std::string& page, int mode) {
    const std::string_view head = pageHead(mode);
    if (page.compare(0, head.size(), head) != 0)
        throw std::runtime_error("page does not start with its head");
    const std::string_view senderLine = "<div class=\"content\"><SPAN class=\"SenderNameMe\">";
    std::vector<std::string> blocks;
    std::size_t at = head.size();
    while (at < page.size()) {
        std::size_t next = page.find(senderLine, at + 1);
        if (next == std::string::npos)
            next = page.size();
        blocks.push_back(page.substr(at, next - at));
        at = next;
    }
    return blocks;
}

void makeIphoneBackup(const std::string& fixture, const std::string& backup, const std::string& password,
                      unsigned dataProtectionRounds, bool finished) {
    namespace fs = std::filesystem;
    const std::string tree = backup.substr(0, backup.size() - 1) + "-tree/";
    const std::string shared = tree + "AppDomainGroup-group.net.whatsapp.WhatsApp.shared/";
    const std::string app = tree + "AppDomain-net.whatsapp.WhatsApp/";
    fs::create_directories(shared);
    fs::create_directories(app);
    fs::copy(iphoneFixtureData(fixture), shared, fs::copy_options::recursive);
    fs::rename(shared + "Contacts.sqlite", shared + "ContactsV2.sqlite");
    fs::copy(iphoneFixtureResources(fixture), app, fs::copy_options::recursive);
    for (const char* other : {"HomeDomain/Library/Preferences", "AppDomain-com.example.app/Documents"}) {
        fs::create_directories(tree + other);
        writeFile(tree + other + "/a.plist", "not whatsapp");
    }
    std::vector<ios::BackupFile> files;
    std::string error = ios::readBackupTree(tree, files);
    ios::BackupWriterOptions options;
    options.encrypted = !password.empty();
    options.password = password;
    options.dataProtectionRounds = dataProtectionRounds;
    options.finished = finished;
    if (error.empty())
        error = ios::writeBackup(backup, files, options);
    fs::remove_all(tree);
    if (!error.empty())
        throw std::runtime_error("iPhone backup fixture: " + error);
}

}  // namespace talvio::test
