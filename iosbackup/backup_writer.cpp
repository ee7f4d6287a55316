// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup_writer.h"

#include "backup_crypto.h"
#include "file_record.h"
#include "keybag.h"
#include "plist_doc.h"
#include "private_folder.h"
#include "stored_file.h"

#include "sources/database.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <tuple>

namespace talvio::ios {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kClasses = 11;

bool writeWhole(const std::string& path, const std::string& data) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out.flush());
}

std::string littleEndian(std::uint32_t value) {
    std::string out(4, '\0');
    for (std::size_t i = 0; i < 4; ++i)
        out[i] = static_cast<char>((value >> (8 * i)) & 0xff);
    return out;
}

std::string plistXml(plist_t root) {
    return PlistDoc(root).toXml();
}

// The keys of an encrypted backup: class keys, and the keybag that holds them wrapped.
struct Keys {
    std::map<std::uint32_t, Secret> classKeys;
    std::string keybag;
};

std::string makeKeys(const BackupWriterOptions& options, Keys& keys) {
    const Secret salt = randomBytes(20);
    const Secret dpSalt = randomBytes(20);
    Secret first;
    Secret passcodeKey;
    if (!pbkdf2Sha256(options.password, dpSalt.view(), options.dataProtectionRounds, first) ||
        !pbkdf2Sha1(first.view(), salt.view(), options.rounds, passcodeKey))
        return "key derivation failed";
    std::string bag = keybagRecord("VERS", keybagNumber(3)) + keybagRecord("TYPE", keybagNumber(1)) +
                      keybagRecord("UUID", randomBytes(16).view()) +
                      keybagRecord("HMCK", randomBytes(40).view()) + keybagRecord("WRAP", keybagNumber(0)) +
                      keybagRecord("SALT", salt.view()) + keybagRecord("ITER", keybagNumber(options.rounds)) +
                      keybagRecord("DPWT", keybagNumber(1)) +
                      keybagRecord("DPIC", keybagNumber(options.dataProtectionRounds)) +
                      keybagRecord("DPSL", dpSalt.view());
    for (std::uint32_t protectionClass = 1; protectionClass <= kClasses; ++protectionClass) {
        Secret key = randomBytes(32);
        const std::string wrapped = aesWrap(passcodeKey, key);
        if (wrapped.empty())
            return "key wrap failed";
        bag += keybagRecord("UUID", randomBytes(16).view()) +
               keybagRecord("CLAS", keybagNumber(protectionClass)) + keybagRecord("WRAP", keybagNumber(2)) +
               keybagRecord("KTYP", keybagNumber(0)) + keybagRecord("WPKY", wrapped);
        keys.classKeys.emplace(protectionClass, std::move(key));
    }
    keys.keybag = std::move(bag);
    return {};
}

struct Row {
    std::string domain;
    std::string relativePath;
    int flags;
    std::string blob;
};

std::string writeManifestDb(const std::string& path, const std::vector<Row>& rows) {
    Database db;
    if (db.open(path, Database::Access::Create) != 0)
        return "cannot create " + path;
    std::string error;
    if (db.exec("CREATE TABLE Files (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, flags INTEGER, "
                "file BLOB);"
                "CREATE INDEX FilesDomainIdx ON Files(domain);"
                "CREATE INDEX FilesRelativePathIdx ON Files(relativePath);"
                "CREATE TABLE Properties (key TEXT PRIMARY KEY, value BLOB);"
                "BEGIN;",
                &error) != 0)
        return error;
    Statement insert(db, "INSERT INTO Files VALUES (?1, ?2, ?3, ?4, ?5)");
    for (const Row& row : rows) {
        insert.reset();
        insert.bind(1, sha1Hex(row.domain + "-" + row.relativePath));
        insert.bind(2, row.domain);
        insert.bind(3, row.relativePath);
        insert.bind(4, static_cast<std::int64_t>(row.flags));
        sqlite3_bind_blob64(insert.handle(), 5, row.blob.data(), row.blob.size(), SQLITE_TRANSIENT);
        insert.step();
        if (insert.failed())
            return db.lastError();
    }
    if (db.exec("COMMIT;", &error) != 0)
        return error;
    return {};
}

}  // namespace

std::string writeBackup(const std::string& folderPath, const std::vector<BackupFile>& files,
                        const BackupWriterOptions& options) {
    std::string folder = folderPath;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        return "cannot create " + folder;

    Keys keys;
    if (options.encrypted) {
        if (std::string error = makeKeys(options, keys); !error.empty())
            return error;
    }

    std::vector<Row> rows;
    // Every folder on a file's path is listed too, down to the domain's root (""), as backups do.
    std::set<std::pair<std::string, std::string>> folders;
    for (const BackupFile& file : files) {
        std::string parent = file.relativePath;
        for (;;) {
            const std::size_t slash = parent.rfind('/');
            parent = slash == std::string::npos ? std::string() : parent.substr(0, slash);
            folders.emplace(file.domain, parent);
            if (parent.empty())
                break;
        }
        std::string stored = file.content;
        std::string keyWithClass;
        if (options.encrypted) {
            Secret fileKey = randomBytes(32);
            const auto classKey = keys.classKeys.find(options.fileClass);
            if (classKey == keys.classKeys.end())
                return "no such protection class";
            keyWithClass = littleEndian(options.fileClass) + aesWrap(classKey->second, fileKey);
            stored = aesCbcEncrypt(fileKey, file.content);
        }
        const std::string id = sha1Hex(file.domain + "-" + file.relativePath);
        if (!writeWhole(folder + id.substr(0, 2) + "/" + id, stored))
            return "cannot write " + id;
        rows.push_back(
            {file.domain, file.relativePath, 1,
             makeFileRecord(file.relativePath, file.content.size(), options.fileClass, keyWithClass)});
    }
    for (const auto& [domain, path] : folders)
        rows.push_back({domain, path, 2, makeFileRecord(path, 0, 0, {})});

    plist_t manifest = plist_new_dict();
    plist_dict_set_item(manifest, "Version", plist_new_string("10.0"));
    plist_dict_set_item(manifest, "IsEncrypted", plist_new_bool(options.encrypted ? 1 : 0));
    if (options.encrypted) {
        PrivateFolder work;
        if (!work.ok())
            return "no private folder";
        if (std::string error = writeManifestDb(work.path() + "Manifest.db", rows); !error.empty())
            return error;
        std::string plain;
        if (!StoredFile::open(work.path() + "Manifest.db").readAll(UINT64_MAX, plain))
            return "cannot read Manifest.db";
        const Secret manifestKey = randomBytes(32);
        const auto classKey = keys.classKeys.find(options.manifestClass);
        if (classKey == keys.classKeys.end())
            return "no such protection class";
        if (!writeWhole(folder + "Manifest.db", aesCbcEncrypt(manifestKey, plain)))
            return "cannot write Manifest.db";
        const std::string wrapped =
            littleEndian(options.manifestClass) + aesWrap(classKey->second, manifestKey);
        plist_dict_set_item(manifest, "BackupKeyBag", plist_new_data(keys.keybag.data(), keys.keybag.size()));
        plist_dict_set_item(manifest, "ManifestKey", plist_new_data(wrapped.data(), wrapped.size()));
    } else if (std::string error = writeManifestDb(folder + "Manifest.db", rows); !error.empty()) {
        plist_free(manifest);
        return error;
    }
    // Manifest.plist is binary on real backups; the other two are XML.
    if (!writeWhole(folder + "Manifest.plist", PlistDoc(manifest).toBinary()))
        return "cannot write Manifest.plist";

    plist_t info = plist_new_dict();
    plist_dict_set_item(info, "Device Name", plist_new_string(options.deviceName.c_str()));
    plist_dict_set_item(info, "Display Name", plist_new_string(options.deviceName.c_str()));
    plist_dict_set_item(info, "Product Type", plist_new_string("iPhone14,2"));
    if (!writeWhole(folder + "Info.plist", plistXml(info)))
        return "cannot write Info.plist";

    plist_t status = plist_new_dict();
    plist_dict_set_item(status, "SnapshotState",
                        plist_new_string(options.finished ? "finished" : "uploading"));
    plist_dict_set_item(status, "IsFullBackup", plist_new_bool(0));
    plist_dict_set_item(status, "Version", plist_new_string("3.3"));
    if (!writeWhole(folder + "Status.plist", plistXml(status)))
        return "cannot write Status.plist";
    return {};
}

std::string readBackupTree(const std::string& tree, std::vector<BackupFile>& files) {
    files.clear();
    std::error_code ec;
    const fs::path root(tree);
    if (!fs::is_directory(root, ec))
        return tree + " is not a folder";
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_symlink() || !it->is_regular_file())
            continue;
        const fs::path relative = fs::relative(it->path(), root);
        auto part = relative.begin();
        const std::string domain = part->string();
        fs::path rest;
        for (++part; part != relative.end(); ++part)
            rest /= *part;
        if (rest.empty())
            return "a file at the top of the tree belongs to no domain: " + domain;
        std::string content;
        if (!StoredFile::open(it->path().string()).readAll(UINT64_MAX, content))
            return "cannot read " + it->path().string();
        files.push_back({domain, rest.generic_string(), std::move(content)});
    }
    if (ec)
        return "cannot list " + tree + ": " + ec.message();
    std::sort(files.begin(), files.end(), [](const BackupFile& a, const BackupFile& b) {
        return std::tie(a.domain, a.relativePath) < std::tie(b.domain, b.relativePath);
    });
    return {};
}

}  // namespace talvio::ios
