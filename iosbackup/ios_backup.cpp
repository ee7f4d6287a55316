// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "ios_backup.h"

#include "backup_crypto.h"
#include "encrypted_stream.h"
#include "plist_doc.h"
#include "private_folder.h"
#include "stored_file.h"

#include <unistd.h>

#include <algorithm>

namespace talvio::ios {
namespace {

// Real plists are a few kilobytes; a keybag with many classes stays far below this.
constexpr std::uint64_t kPlistLimit = 16u << 20;
constexpr const char* kRemake = " Make the backup again.";
constexpr const char* kSelectFiles = "SELECT fileID, domain, relativePath, flags, file FROM Files";

BackupError fail(BackupProblem problem, std::string message) {
    return {problem, std::move(message)};
}

BackupError damagedManifest() {
    return fail(BackupProblem::DamagedManifest,
                std::string("The backup's list of files (Manifest.db) is damaged or unreadable.") + kRemake);
}

bool readPlist(const std::string& path, PlistDoc& doc) {
    const StoredFile file = StoredFile::open(path);
    std::string bytes;
    if (!file.readAll(kPlistLimit, bytes))
        return false;
    doc = PlistDoc::fromBytes(bytes);
    return doc.valid() && plist_get_node_type(doc.root()) == PLIST_DICT;
}

bool isFileId(std::string_view id) {
    return id.size() == 40 && std::all_of(id.begin(), id.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::string displayPath(const BackupEntry& entry) {
    return entry.domain + "/" + entry.relativePath;
}

// A LIKE pattern that matches prefix literally.
std::string likePrefix(std::string_view prefix) {
    std::string pattern;
    for (char c : prefix) {
        if (c == '%' || c == '_' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern + "%";
}

}  // namespace

BackupError IosBackup::open(const std::string& folder) {
    closeManifest();
    m_walSnapshot.discard();
    m_classKeys.clear();
    m_encrypted = false;
    m_deviceName.clear();
    m_keybag.clear();
    m_manifestKey.clear();
    m_folder = folder;
    if (!m_folder.empty() && m_folder.back() != '/')
        m_folder += '/';
    for (const char* name : {"Manifest.db", "Manifest.plist", "Info.plist"}) {
        if (!StoredFile::open(m_folder + name).ok())
            return fail(
                BackupProblem::NotABackup,
                "This folder is not an iPhone backup: it has no " + std::string(name) +
                    ". Choose the folder named after the iPhone's identifier inside MobileSync/Backup.");
    }
    if (BackupError error = readPlists(); error.failed())
        return error;
    if (m_encrypted)
        return BackupError::ok();
    m_lookup = Statement();
    if (m_walSnapshot.open(m_folder + "Manifest.db", m_manifest) != 0)
        return damagedManifest();
    return checkManifest();
}

BackupError IosBackup::readPlists() {
    PlistDoc status;
    // Status.plist is written first and marked finished last; a backup without one is older than
    // that habit and is taken as it is.
    if (StoredFile::open(m_folder + "Status.plist").ok()) {
        if (!readPlist(m_folder + "Status.plist", status))
            return fail(BackupProblem::Unreadable,
                        std::string("The backup's Status.plist cannot be read.") + kRemake);
        if (stringValue(dictItem(status.root(), "SnapshotState")).value_or("") != "finished")
            return fail(BackupProblem::StillBeingWritten,
                        "This backup is still being written, or its writing was interrupted. Let the backup "
                        "finish (or make it again), then open it.");
    }
    PlistDoc info;
    if (!readPlist(m_folder + "Info.plist", info))
        return fail(BackupProblem::Unreadable,
                    std::string("The backup's Info.plist cannot be read.") + kRemake);
    m_deviceName = stringValue(dictItem(info.root(), "Device Name"))
                       .value_or(stringValue(dictItem(info.root(), "Display Name")).value_or(""));
    PlistDoc manifest;
    if (!readPlist(m_folder + "Manifest.plist", manifest))
        return fail(BackupProblem::Unreadable,
                    std::string("The backup's Manifest.plist cannot be read.") + kRemake);
    m_encrypted = boolValue(dictItem(manifest.root(), "IsEncrypted")).value_or(false);
    if (m_encrypted) {
        m_keybag = dataValue(dictItem(manifest.root(), "BackupKeyBag")).value_or("");
        m_manifestKey = dataValue(dictItem(manifest.root(), "ManifestKey")).value_or("");
        if (m_keybag.empty() || m_manifestKey.size() <= 4)
            return fail(
                BackupProblem::Unreadable,
                std::string("The backup is encrypted but its Manifest.plist lacks the keys.") + kRemake);
    }
    return BackupError::ok();
}

BackupError IosBackup::checkManifest() {
    Statement probe(m_manifest, std::string(kSelectFiles) + " LIMIT 1");
    if (!probe.ok()) {
        closeManifest();
        return damagedManifest();
    }
    probe.step();
    if (probe.failed()) {
        probe = Statement();
        closeManifest();
        return damagedManifest();
    }
    return BackupError::ok();
}

BackupError IosBackup::unlock(Secret password, const Keybag::Progress& progress,
                              const std::string& workParent) {
    if (!m_encrypted)
        return BackupError::ok();
    closeManifest();
    m_classKeys.clear();
    const std::optional<Keybag> keybag = Keybag::parse(m_keybag);
    if (!keybag)
        return fail(BackupProblem::Unreadable, std::string("The backup's key bag cannot be read.") + kRemake);
    // The key derivation takes about nine tenths of the time, decrypting Manifest.db the rest.
    constexpr double kKeyShare = 0.9;
    const auto keyProgress = [&](double done) { return !progress || progress(done * kKeyShare); };
    std::map<std::uint32_t, Secret> classKeys;
    const Keybag::UnlockResult unlocked = keybag->unlock(password, keyProgress, classKeys);
    password.wipe();
    switch (unlocked) {
        case Keybag::UnlockResult::Unlocked:
            break;
        case Keybag::UnlockResult::WrongPassword:
            return fail(BackupProblem::WrongPassword,
                        "This password does not open this backup. Enter the password set for encrypted "
                        "backups of this iPhone (in Finder or iTunes).");
        case Keybag::UnlockResult::Cancelled:
            return fail(BackupProblem::Cancelled, "Opening the backup was cancelled.");
        case Keybag::UnlockResult::Failed:
            return fail(BackupProblem::Unreadable, "The backup's keys could not be derived.");
    }

    std::uint32_t manifestClass = 0;
    for (int i = 3; i >= 0; --i)
        manifestClass = (manifestClass << 8) | static_cast<unsigned char>(m_manifestKey[i]);
    const auto classKey = classKeys.find(manifestClass);
    Secret manifestKey;
    if (classKey == classKeys.end() ||
        !aesUnwrap(classKey->second, std::string_view(m_manifestKey).substr(4), manifestKey))
        return fail(BackupProblem::WrongPassword,
                    "This password does not open this backup's list of files. Enter the password set for "
                    "encrypted backups of this iPhone.");

    const StoredFile encryptedManifest = StoredFile::open(m_folder + "Manifest.db");
    if (!encryptedManifest.ok())
        return damagedManifest();
    PrivateFolder work(workParent);
    if (!work.ok())
        return fail(BackupProblem::WriteFailed,
                    "No private temporary folder could be made to decrypt the backup's "
                    "list of files. Check that the temporary folder is writable.");
    const std::string plainPath = work.path() + "Manifest.db";
    FileSink sink(plainPath);
    const auto manifestProgress = [&](double done) {
        return !progress || progress(kKeyShare + done * (1.0 - kKeyShare));
    };
    const StreamResult streamed =
        decryptStream(encryptedManifest, manifestKey, std::nullopt, sink, manifestProgress);
    const bool written = sink.close();
    if (streamed == StreamResult::Cancelled)
        return fail(BackupProblem::Cancelled, "Opening the backup was cancelled.");
    if (streamed == StreamResult::WriteFailed || !written)
        return fail(BackupProblem::WriteFailed,
                    "The backup's list of files could not be decrypted into the temporary "
                    "folder. Check that it has room.");
    if (streamed != StreamResult::Done)
        return damagedManifest();
    // SQLite keeps its descriptor: once open and read, the decrypted file needs no name.
    m_lookup = Statement();
    if (m_manifest.open(plainPath, Database::Access::ReadOnlySnapshot) != 0) {
        ::unlink(plainPath.c_str());
        return damagedManifest();
    }
    BackupError checked = checkManifest();
    ::unlink(plainPath.c_str());
    if (checked.failed())
        return checked;
    m_classKeys = std::move(classKeys);
    return BackupError::ok();
}

BackupError IosBackup::entryFrom(const Statement& row, BackupEntry& entry) const {
    entry.fileID = std::string(row.textView(0));
    entry.domain = std::string(row.textView(1));
    entry.relativePath = std::string(row.textView(2));
    entry.flags = static_cast<int>(row.int64(3));
    // The stored name is built from fileID, so it must be a hash and the hash of its own path.
    if (!isFileId(entry.fileID) || sha1Hex(entry.domain + "-" + entry.relativePath) != entry.fileID)
        return damagedManifest();
    const std::string_view blob = row.textView(4);
    std::optional<FileRecord> record = parseFileRecord(blob);
    if (!record) {
        if (m_encrypted && entry.flags == 1)
            return damagedManifest();
        record = FileRecord();
    }
    entry.record = std::move(*record);
    return BackupError::ok();
}

void IosBackup::closeManifest() {
    m_lookup = Statement();
    m_manifest.close();
}

BackupError IosBackup::lookup(std::string_view domain, std::string_view relativePath,
                              BackupEntry& entry) const {
    if (!ready())
        return fail(BackupProblem::Locked, "This backup is encrypted: enter its password to open it.");
    // By the hash of domain and path, the table's key: a real Manifest.db lists hundreds of
    // thousands of files and has no index on the two columns, and pages look up one file per media.
    if (!m_lookup.ok())
        m_lookup = Statement(m_manifest, std::string(kSelectFiles) +
                                             " WHERE fileID = ?1 AND domain = ?2 AND relativePath = ?3");
    Statement& query = m_lookup;
    query.reset();
    query.bind(1, sha1Hex(std::string(domain) + "-" + std::string(relativePath)));
    query.bind(2, domain);
    query.bind(3, relativePath);
    if (!query.step()) {
        if (query.failed())
            return damagedManifest();
        return fail(BackupProblem::NotListed,
                    "The backup holds no " + std::string(domain) + "/" + std::string(relativePath) + ".");
    }
    BackupError found = entryFrom(query, entry);
    query.reset();
    return found;
}

BackupError IosBackup::list(std::string_view domain, std::string_view prefix,
                            std::vector<BackupEntry>& entries) const {
    entries.clear();
    if (!ready())
        return fail(BackupProblem::Locked, "This backup is encrypted: enter its password to open it.");
    Statement query(m_manifest, std::string(kSelectFiles) +
                                    " WHERE domain = ?1 AND flags = 1 AND relativePath LIKE ?2 ESCAPE '\\'"
                                    " ORDER BY relativePath");
    query.bind(1, domain);
    query.bind(2, likePrefix(prefix));
    while (query.step()) {
        BackupEntry entry;
        // LIKE ignores the case of ASCII letters; paths do not.
        if (!std::string_view(query.textView(2)).starts_with(prefix))
            continue;
        if (BackupError error = entryFrom(query, entry); error.failed())
            return error;
        entries.push_back(std::move(entry));
    }
    if (query.failed())
        return damagedManifest();
    return BackupError::ok();
}

bool IosBackup::hasDomain(std::string_view domain) const {
    if (!ready())
        return false;
    Statement query(m_manifest, "SELECT 1 FROM Files WHERE domain = ?1 LIMIT 1");
    query.bind(1, domain);
    return query.step();
}

std::string IosBackup::storedPath(const BackupEntry& entry) const {
    if (m_encrypted || !isFileId(entry.fileID))
        return {};
    return m_folder + entry.fileID.substr(0, 2) + "/" + entry.fileID;
}

BackupError IosBackup::materialise(const BackupEntry& entry, ByteSink& sink) const {
    const auto failed = [&](BackupError error) {
        sink.discard();
        return error;
    };
    if (!ready())
        return failed(
            fail(BackupProblem::Locked, "This backup is encrypted: enter its password to open it."));
    if (entry.flags != 1 || !isFileId(entry.fileID))
        return failed(
            fail(BackupProblem::NotListed, "The backup lists " + displayPath(entry) + " but not as a file."));
    const StoredFile file = StoredFile::openHashed(m_folder, entry.fileID);
    if (!file.ok())
        return failed(fail(BackupProblem::MissingFile,
                           "The backup lists " + displayPath(entry) + " but its stored file " +
                               entry.fileID.substr(0, 2) + "/" + entry.fileID + " is missing." + kRemake));
    StreamResult result = StreamResult::Done;
    if (!m_encrypted) {
        result = copyStream(file, entry.record.size.value_or(0), sink);
    } else {
        const auto classKey = m_classKeys.find(entry.record.protectionClass);
        Secret fileKey;
        if (!entry.record.size || classKey == m_classKeys.end() ||
            !aesUnwrap(classKey->second, entry.record.wrappedKey, fileKey))
            return failed(
                fail(BackupProblem::DamagedManifest,
                     "The key of " + displayPath(entry) + " in the backup cannot be opened." + kRemake));
        result = decryptStream(file, fileKey, entry.record.size, sink);
    }
    switch (result) {
        case StreamResult::Done:
            return BackupError::ok();
        case StreamResult::Truncated:
            return failed(
                fail(BackupProblem::TruncatedFile, "The stored file of " + displayPath(entry) +
                                                       " is shorter than the backup says: the backup is "
                                                       "incomplete." +
                                                       kRemake));
        case StreamResult::WriteFailed:
            return failed(
                fail(BackupProblem::WriteFailed,
                     "The file " + displayPath(entry) + " could not be written out. Check free space."));
        case StreamResult::Cancelled:
            return failed(fail(BackupProblem::Cancelled, "Cancelled."));
        case StreamResult::ReadFailed:
        case StreamResult::CryptoFailed:
            break;
    }
    return failed(fail(BackupProblem::Unreadable,
                       "The stored file of " + displayPath(entry) + " cannot be read." + kRemake));
}

}  // namespace talvio::ios
