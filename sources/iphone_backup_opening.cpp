// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iphone_backup_opening.h"

#include "backup/plain_image.h"
#include "iosbackup/ios_backup.h"
#include "iosbackup/private_folder.h"
#include "sources/database.h"
#include "sources/iphone_backup_files.h"

#include <openssl/crypto.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

namespace talvio {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kWorkPrefix = "talvio-iphone-";

// The private folder of this run: its name carries the process id, so that a later run can tell
// a folder whose owner is gone.
std::unique_ptr<ios::PrivateFolder> makeWorkFolder() {
    return std::make_unique<ios::PrivateFolder>(std::string(),
                                                std::string(kWorkPrefix) + std::to_string(::getpid()) + "-");
}

class ImageByteSink final : public ios::ByteSink {
public:
    void expect(std::uint64_t) override {}
    bool write(const unsigned char* data, std::size_t size) override { return m_image.append({data, size}); }
    void discard() override { m_image.clear(); }
    backup::PlainImage& image() { return m_image; }

private:
    backup::PlainImage m_image;
};

ios::BackupError damagedStore() {
    return {ios::BackupProblem::Unreadable,
            "WhatsApp's ChatStorage.sqlite in this backup is damaged and cannot be read. Make the "
            "computer backup again."};
}

// Reads the store at path, with its log applied by SQLite, into image.
bool imageOfStore(const std::string& path, backup::PlainImage& image) {
    Database database;
    if (database.open(path, Database::Access::ReadWriteExisting) != 0)
        return false;
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(database.handle(), "main", &size, 0);
    if (bytes == nullptr || size <= 0) {
        sqlite3_free(bytes);
        return false;
    }
    const bool copied = image.append({bytes, static_cast<std::size_t>(size)});
    OPENSSL_cleanse(bytes, static_cast<std::size_t>(size));
    sqlite3_free(bytes);
    return copied;
}

// The chat store in memory: decrypted straight there, or, with a log, through the private folder
// where SQLite applies the log, the files removed again at once.
ios::BackupError loadStore(const ios::IosBackup& backup, const ios::WhatsAppInBackup& app,
                           const ios::PrivateFolder& work, backup::PlainImage& image) {
    if (!app.chatStorageLog) {
        ImageByteSink sink;
        if (ios::BackupError error = backup.materialise(app.chatStorage, sink); error.failed())
            return error;
        image = std::move(sink.image());
    } else {
        if (!work.ok())
            return {ios::BackupProblem::WriteFailed,
                    "No private temporary folder could be made for WhatsApp's chats. Check that the "
                    "temporary folder exists and has free space."};
        std::string path;
        if (ios::BackupError error = ios::materialiseChatStorage(backup, app, work.path(), path);
            error.failed())
            return error;
        const bool read = imageOfStore(path, image);
        std::error_code ec;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            fs::remove(path + suffix, ec);
        if (!read)
            return damagedStore();
    }
    if (!backup::holdsSqliteDatabase(image)) {
        image.clear();
        return damagedStore();
    }
    backup::leaveWalMode(image);
    return ios::BackupError::ok();
}

const ios::WhatsAppInBackup& chooseApp(const std::vector<ios::WhatsAppInBackup>& apps,
                                       ios::WhatsAppKind preferred, std::string& note) {
    const ios::WhatsAppInBackup* chosen = &apps.front();
    for (const ios::WhatsAppInBackup& app : apps) {
        if (app.kind == preferred)
            chosen = &app;
    }
    if (apps.size() > 1) {
        note = chosen->kind == ios::WhatsAppKind::Messenger
                   ? "This backup also holds the chats of WhatsApp Business; this shows WhatsApp's."
                   : "This backup also holds the chats of WhatsApp; this shows WhatsApp Business's.";
    }
    return *chosen;
}

}  // namespace

bool looksLikeIphoneBackup(const std::string& folder) {
    const std::string base = withTrailingSlash(folder);
    std::error_code ec;
    return !folder.empty() && fs::is_regular_file(base + "Manifest.plist", ec) &&
           fs::is_regular_file(base + "Manifest.db", ec);
}

IphoneBackupProbe probeIphoneBackup(const std::string& folder) {
    IphoneBackupProbe probe;
    ios::IosBackup backup;
    probe.error = backup.open(folder);
    probe.encrypted = backup.encrypted();
    probe.deviceName = backup.deviceName();
    return probe;
}

IphoneBackupOpening openIphoneBackup(const std::string& folder, ios::Secret password,
                                     const IphoneBackupProgress& progress, int timeZoneBias,
                                     ios::WhatsAppKind preferred) {
    sweepLeftoverBackupFolders();
    IphoneBackupOpening opening;
    auto backup = std::make_shared<ios::IosBackup>();
    if ((opening.error = backup->open(folder)).failed())
        return opening;
    auto work = makeWorkFolder();
    if (backup->encrypted()) {
        if (password.empty()) {
            opening.error = {ios::BackupProblem::Locked,
                             "This backup is encrypted. Give the password that was chosen for the "
                             "iPhone's backups."};
            return opening;
        }
        if (!work->ok()) {
            opening.error = {ios::BackupProblem::WriteFailed,
                             "No private temporary folder could be made to unlock the backup. Check that "
                             "the temporary folder exists and has free space."};
            return opening;
        }
        if ((opening.error = backup->unlock(std::move(password), progress, work->path())).failed())
            return opening;
    }
    password.wipe();
    std::vector<ios::WhatsAppInBackup> apps;
    if ((opening.error = ios::findWhatsApp(*backup, apps)).failed())
        return opening;
    const ios::WhatsAppInBackup& app = chooseApp(apps, preferred, opening.note);

    PhoneFolder phone;
    phone.kind = kSourceIPhone;
    phone.dataFolder = withTrailingSlash(backup->folder());
    // Media come through backupFiles; the resource folder is where they lie for the players: the
    // backup itself, or the private folder they are decrypted into.
    phone.resourceFolder = backup->encrypted() ? work->path() : phone.dataFolder;
    phone.timeZoneBias = timeZoneBias;
    phone.messageDbPath =
        backup->folder() + app.chatStorage.fileID.substr(0, 2) + "/" + app.chatStorage.fileID;
    if (app.contacts)
        phone.contactDbPath =
            backup->folder() + app.contacts->fileID.substr(0, 2) + "/" + app.contacts->fileID;

    if (!backup->encrypted() && !app.chatStorageLog) {
        // Read in place, immutable: nothing is copied and nothing is written beside it.
        if (!storedFileUsable(phone.messageDbPath, app.chatStorage)) {
            opening.error = {ios::BackupProblem::MissingFile,
                             "WhatsApp's ChatStorage.sqlite is missing from the backup folder or cut "
                             "short. Make the computer backup again."};
            return opening;
        }
    } else {
        backup::PlainImage image;
        if ((opening.error = loadStore(*backup, app, *work, image)).failed())
            return opening;
        phone.heldMessageDb = std::make_shared<const backup::PlainImage>(std::move(image));
    }
    if (progress && !progress(1.0)) {
        opening.error = {ios::BackupProblem::Cancelled, "Opening the backup was cancelled."};
        return opening;
    }
    phone.backupFiles = std::make_shared<IphoneBackupFiles>(backup, app, std::move(work));
    opening.folder = std::move(phone);
    return opening;
}

void sweepLeftoverBackupFolders() {
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    if (ec)
        return;
    for (fs::directory_iterator it(temp, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, kWorkPrefix.size(), kWorkPrefix) != 0)
            continue;
        const std::size_t dash = name.find('-', kWorkPrefix.size());
        if (dash == std::string::npos || dash == kWorkPrefix.size())
            continue;
        const std::string digits = name.substr(kWorkPrefix.size(), dash - kWorkPrefix.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(digits));
        struct stat status {};
        if (::lstat(it->path().c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
            status.st_uid != ::getuid())
            continue;
        if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        std::error_code removeError;
        fs::remove_all(it->path(), removeError);
    }
}

}  // namespace talvio
