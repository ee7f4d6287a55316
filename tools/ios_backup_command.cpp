// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/ios_backup_command.h"

#include "iosbackup/backup_writer.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace talvio::fixture {
namespace {

constexpr const char* kHelp =
    R"(talvio-fixture ios-backup --tree DIR --out FOLDER [--encrypted] [--rounds DPIC ITER]
                          [--device NAME] [--unfinished]
    An iPhone computer backup in FOLDER (Info.plist, Status.plist, Manifest.plist, Manifest.db
    and the files under their hashed names) holding the files of DIR: each top-level folder of
    DIR is a domain (AppDomainGroup-group.net.whatsapp.WhatsApp.shared, HomeDomain, ...) and the
    files below it are that domain's relative paths.
    --encrypted       encrypt it; the password is read from the environment variable
                      TALVIO_FIXTURE_PASSWORD, never from the command line
    --rounds          key derivation rounds (default 8 and 4; an iPhone uses 10000000 10000)
    --unfinished      mark the backup as still being written
)";

int invalid(const std::string& message) {
    std::fprintf(stderr, "talvio-fixture: ios-backup: %s\n", message.c_str());
    return 2;
}

bool parseRounds(const std::string& text, std::uint32_t& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && value > 0;
}

}  // namespace

bool isIosBackupCommand(const std::vector<std::string>& arguments) {
    return !arguments.empty() && arguments.front() == "ios-backup";
}

int runIosBackupCommand(const std::vector<std::string>& arguments) {
    ios::BackupWriterOptions options;
    std::string tree;
    std::string out;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (name == "--encrypted") {
            options.encrypted = true;
        } else if (name == "--unfinished") {
            options.finished = false;
        } else if (name == "--tree" || name == "--out" || name == "--device") {
            if (++i >= arguments.size())
                return invalid(name + " needs a value");
            (name == "--tree" ? tree : name == "--out" ? out : options.deviceName) = arguments[i];
        } else if (name == "--rounds") {
            if (i + 2 >= arguments.size() || !parseRounds(arguments[i + 1], options.dataProtectionRounds) ||
                !parseRounds(arguments[i + 2], options.rounds))
                return invalid("--rounds needs two positive numbers");
            i += 2;
        } else {
            return invalid("unknown option " + name);
        }
    }
    if (tree.empty() || out.empty())
        return invalid("--tree and --out are required");
    if (options.encrypted) {
        const char* password = std::getenv("TALVIO_FIXTURE_PASSWORD");
        if (password == nullptr || *password == '\0')
            return invalid("--encrypted needs the password in TALVIO_FIXTURE_PASSWORD");
        options.password = password;
    }
    std::vector<ios::BackupFile> files;
    std::string error = ios::readBackupTree(tree, files);
    if (error.empty())
        error = ios::writeBackup(out, files, options);
    if (error.empty())
        return 0;
    std::fprintf(stderr, "talvio-fixture: ios-backup: %s\n", error.c_str());
    return 1;
}

}  // namespace talvio::fixture
