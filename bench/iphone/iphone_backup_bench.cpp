// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// iPhone computer backups of the large store (1,000 chats, 500,000 messages) against the extracted
// folder they were made from: listing contacts from a plain backup, unlocking an encrypted one at
// an iPhone's round counts against the two key derivations alone, and rendering the largest chat
// of the encrypted backup.
#include "bench/timing.h"
#include "iosbackup/backup_writer.h"
#include "iosbackup/ios_backup.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/iphone_backup_opening.h"
#include "sources/iphone_weixin.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"

#include <openssl/evp.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace talvio;
namespace fs = std::filesystem;

namespace {

constexpr const char* kShared = "AppDomainGroup-group.net.whatsapp.WhatsApp.shared";
constexpr const char* kPassword = "bench password";
// What an iPhone writes into its keybag (DPIC, ITER).
constexpr std::uint32_t kDataProtectionRounds = 10'000'000;
constexpr std::uint32_t kRounds = 10'000;
constexpr int kOtherFiles = 50'000;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool writeBackupOf(const std::string& folder, const std::string& out, bool encrypted) {
    std::vector<ios::BackupFile> files = {
        {kShared, "ChatStorage.sqlite", readAll(folder + "/ChatStorage.sqlite")},
        {kShared, "ContactsV2.sqlite", readAll(folder + "/Contacts.sqlite")},
    };
    // Other apps' files, so that Manifest.db is not WhatsApp's alone: a look-up must not cost a
    // pass over the whole list (phones list hundreds of thousands of files).
    for (int i = 0; i < kOtherFiles; ++i)
        files.push_back(
            {"AppDomain-com.example.app" + std::to_string(i % 50), "Documents/" + std::to_string(i), "x"});
    ios::BackupWriterOptions options;
    options.encrypted = encrypted;
    options.password = kPassword;
    options.dataProtectionRounds = kDataProtectionRounds;
    options.rounds = kRounds;
    const std::string error = ios::writeBackup(out, files, options);
    if (!error.empty())
        std::printf("could not write the backup: %s\n", error.c_str());
    return error.empty();
}

PhoneFolder openBackup(const std::string& backup) {
    IphoneBackupOpening opening = openIphoneBackup(backup, ios::Secret(std::string_view(kPassword)), {}, 0);
    if (!opening.folder) {
        std::printf("could not open %s: %s\n", backup.c_str(), opening.error.message.c_str());
        std::exit(2);
    }
    return std::move(*opening.folder);
}

// The two key derivations of an unlock, alone, in libcrypto.
void derivationsAlone() {
    const std::string salt(20, 's');
    unsigned char first[32];
    unsigned char second[32];
    PKCS5_PBKDF2_HMAC(kPassword, static_cast<int>(std::strlen(kPassword)),
                      reinterpret_cast<const unsigned char*>(salt.data()), static_cast<int>(salt.size()),
                      static_cast<int>(kDataProtectionRounds), EVP_sha256(), sizeof first, first);
    PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(first), sizeof first,
                      reinterpret_cast<const unsigned char*>(salt.data()), static_cast<int>(salt.size()),
                      static_cast<int>(kRounds), EVP_sha1(), sizeof second, second);
}

int largestRow() {
    int largest = 0;
    for (int i = 1; i < contactTable().count(); ++i) {
        if (contactTable().row(i).messageCount > contactTable().row(largest).messageCount)
            largest = i;
    }
    return largest;
}

}  // namespace

int main() {
    const std::string folder = TALVIO_BENCH_FOLDER;
    const fs::path work = fs::temp_directory_path() / "talvio-bench-iphone-backups";
    fs::remove_all(work);
    const std::string plain = (work / "plain").string() + "/";
    const std::string encrypted = (work / "encrypted").string() + "/";
    if (!writeBackupOf(folder, plain, false) || !writeBackupOf(folder, encrypted, true))
        return 2;
    programState().timeZoneBias = 0;
    bench::printLoad();

    // Listing: the folder as it is, against the plain backup opened and listed each time.
    // An empty resource folder: every picture costs the file test it costs a user, as a backup's
    // pictures cost their look-up.
    const std::string resources = (work / "resources").string();
    fs::create_directories(resources + "/Library");
    CIphoneWeiXin fromFolder(phoneFolderOf(kSourceIPhone, folder, resources, 0));
    const double listFolder = bench::medianSeconds(3, [&] { fromFolder.LoadContacts(contactTable()); });
    const int folderRows = contactTable().count();
    const double listPlain = bench::medianSeconds(3, [&] {
        CIphoneWeiXin fromBackup(openBackup(plain));
        fromBackup.LoadContacts(contactTable());
    });
    std::printf("contacts: %d rows from the folder, %d from the plain backup\n", folderRows,
                contactTable().count());

    // Unlocking: the backup opened and unlocked, against the key derivations alone.
    const double unlock = bench::medianSeconds(1, [&] {
        ios::IosBackup backup;
        if (backup.open(encrypted).failed() ||
            backup.unlock(ios::Secret(std::string_view(kPassword))).failed())
            std::puts("the unlock failed?");
    });
    const double derivations = bench::medianSeconds(1, derivationsAlone);

    // Rendering the largest chat: from the folder, and from the encrypted backup held in memory.
    fromFolder.LoadContacts(contactTable());
    const ContactEntry folderEntry = contactTable().row(largestRow());
    const double renderFolder =
        bench::medianSeconds(5, [&] { renderContact(fromFolder, folderEntry, kViewer, chatPageBuffer()); });
    const std::size_t folderPage = chatPageBuffer().text().size();
    CIphoneWeiXin fromEncrypted(openBackup(encrypted));
    fromEncrypted.LoadContacts(contactTable());
    const ContactEntry backupEntry = contactTable().row(largestRow());
    const double renderEncrypted = bench::medianSeconds(
        5, [&] { renderContact(fromEncrypted, backupEntry, kViewer, chatPageBuffer()); });
    std::printf("largest chat: %d messages, page %.1f MB (folder) and %.1f MB (backup)\n",
                backupEntry.messageCount, folderPage / 1e6, chatPageBuffer().text().size() / 1e6);

    bool ok = bench::reportRatio("contacts of a plain backup vs the folder", listPlain, listFolder, 1.2);
    ok &= bench::reportRatio("unlock vs the two PBKDF2 runs alone", unlock, derivations, 1.1);
    ok &= bench::reportRatio("largest chat, encrypted backup vs folder", renderEncrypted, renderFolder, 1.5);
    fs::remove_all(work);
    return ok ? 0 : 1;
}
