// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/android_backup_command.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "backup/backup_writer.h"
#include "backup/key_parser.h"

namespace talvio::fixture {

namespace {

using backup::BackupFormat;
using backup::KeyKind;
using Bytes = std::vector<std::uint8_t>;

int invalid(const std::string& message) {
    std::fprintf(stderr, "talvio-fixture: %s\n", message.c_str());
    return 2;
}

int failed(const std::string& message) {
    std::fprintf(stderr, "talvio-fixture: %s\n", message.c_str());
    return 1;
}

// "--name value" pairs and lone flags; the first argument is the subcommand.
bool parseOptions(const std::vector<std::string>& arguments, const std::vector<std::string>& valued,
                  const std::vector<std::string>& flags, std::map<std::string, std::string>& options,
                  std::string& error) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (std::find(flags.begin(), flags.end(), name) != flags.end()) {
            options[name] = "1";
            continue;
        }
        if (std::find(valued.begin(), valued.end(), name) == valued.end()) {
            error = "unknown option " + name;
            return false;
        }
        if (++i >= arguments.size()) {
            error = name + " needs a value";
            return false;
        }
        options[name] = arguments[i];
    }
    return true;
}

// Key files get the owner's permissions only, like any file holding a key.
bool writeFile(const std::string& path, const Bytes& bytes, mode_t mode, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    bool ok = fd >= 0;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        ok = written > 0;
        done += ok ? static_cast<std::size_t>(written) : 0;
    }
    if (!ok)
        error = path + ": " + std::strerror(errno);
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        error = path + ": " + std::strerror(errno);
        ok = false;
    }
    return ok;
}

int runKey(const std::vector<std::string>& arguments) {
    std::map<std::string, std::string> options;
    std::string error;
    if (!parseOptions(arguments, {"--kind", "--out"}, {}, options, error))
        return invalid(error);
    const std::string kind = options["--kind"];
    if (kind != "key" && kind != "encrypted_backup.key" && kind != "digits")
        return invalid("android-key: --kind must be key, encrypted_backup.key or digits");
    if (options["--out"].empty())
        return invalid("android-key: --out is required");

    Bytes file;
    if (kind == "key") {
        file = backup::writeBackupKeyFile(backup::randomKey(KeyKind::BackupKeyFile));
    } else if (kind == "encrypted_backup.key") {
        file = backup::writeRootKeyFile(backup::randomKey(KeyKind::RootKeyFile));
    } else {
        const backup::KeyMaterial key = backup::randomKey(KeyKind::Digits);
        static constexpr char kHex[] = "0123456789abcdef";
        for (const std::uint8_t byte : key.bytes()) {
            file.push_back(static_cast<std::uint8_t>(kHex[byte >> 4]));
            file.push_back(static_cast<std::uint8_t>(kHex[byte & 15]));
        }
        file.push_back('\n');
    }
    const bool ok = writeFile(options["--out"], file, 0600, error);
    backup::wipe(file.data(), file.size());
    return ok ? 0 : failed(error);
}

int runEncrypt(const std::vector<std::string>& arguments) {
    std::map<std::string, std::string> options;
    std::string error;
    if (!parseOptions(arguments, {"--format", "--key-file", "--in", "--out", "--app-version"},
                      {"--no-feature-table", "--no-md5", "--stored"}, options, error))
        return invalid(error);
    backup::BackupWriteOptions write;
    const std::string format = options["--format"];
    if (format == "crypt12")
        write.format = BackupFormat::Crypt12;
    else if (format == "crypt14")
        write.format = BackupFormat::Crypt14;
    else if (format == "crypt15")
        write.format = BackupFormat::Crypt15;
    else
        return invalid("encrypt-android: --format must be crypt12, crypt14 or crypt15");
    for (const char* required : {"--key-file", "--in", "--out"}) {
        if (options[required].empty())
            return invalid("encrypt-android: " + std::string(required) + " is required");
    }
    write.featureTable = options.count("--no-feature-table") == 0;
    write.md5Trailer = options.count("--no-md5") == 0;
    write.compress = options.count("--stored") == 0;
    if (!options["--app-version"].empty())
        write.appVersion = options["--app-version"];

    const backup::KeyResult key = backup::loadKeyFile(options["--key-file"]);
    if (!key.ok())
        return failed(options["--key-file"] + ": " + key.error);
    std::ifstream in(options["--in"], std::ios::binary);
    if (!in)
        return failed(options["--in"] + ": cannot be read");
    const Bytes plain((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const Bytes file = backup::writeBackup(plain, *key.key, write);
    if (file.empty())
        return failed(
            "the backup could not be written (libcrypto or zlib failed, or the header is too long)");
    return writeFile(options["--out"], file, 0644, error) ? 0 : failed(error);
}

}  // namespace

bool isAndroidBackupCommand(const std::vector<std::string>& arguments) {
    return !arguments.empty() &&
           (arguments.front() == "android-key" || arguments.front() == "encrypt-android");
}

int runAndroidBackupCommand(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(androidBackupHelpText(), stdout);
            return 0;
        }
    }
    return arguments.front() == "android-key" ? runKey(arguments) : runEncrypt(arguments);
}

const char* androidBackupHelpText() {
    return R"(Encrypted Android backups (keys are read from files, never given on the command line):

  talvio-fixture android-key --kind key|encrypted_backup.key|digits --out FILE
      A new random key: a 158-byte `key` file (crypt12, crypt14), a 59-byte
      `encrypted_backup.key` (crypt15), or a text file with the 64 digits (crypt15). Mode 0600.

  talvio-fixture encrypt-android --format crypt12|crypt14|crypt15 --key-file FILE --in DB --out FILE
                                 [--no-feature-table] [--no-md5] [--stored] [--app-version TEXT]
      DB compressed with zlib and encrypted with AES-256-GCM as the phone does it, fresh salts
      and nonce. A crypt15 backup takes encrypted_backup.key or the digits, crypt12/14 the `key`
      file. --no-feature-table writes a wa.db-style header, --no-md5 leaves out the MD5 trailer
      (crypt14/15), --stored encrypts DB as it is (to make a ZIP or a broken stream).
)";
}

}  // namespace talvio::fixture
