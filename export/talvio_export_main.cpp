// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// talvio-export: the viewer's loading and rendering code on the command line, for people who
// script or have no display.
#include "backup/key_parser.h"
#include "chatexport/chat_export_source.h"
#include "export/export_run.h"
#include "export/stall_watch.h"
#include "search/message_search.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/iphone_backup_opening.h"
#include "sources/iphone_weixin.h"
#include "sources/message_time.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "sources/storage_opening.h"
#include "sources/vcard.h"
#include "sources/whatsapp_storage.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using namespace talvio;

constexpr const char* kUsage =
    "Usage:\n"
    "  talvio-export [--resources RESDIR] [--key FILE [--backup FILE]] [--contacts FILE.vcf]\n"
    "                [--password-file FILE] [--with-messages | --jid JID ...] FOLDER OUTDIR\n"
    "      Writes every contact's chat of FOLDER as a stand-alone page into OUTDIR (a chat of\n"
    "      more than 2,000 messages as pages of 2,000, NAME.html, NAME-part2.html, ...), with\n"
    "      OUTDIR/index.html listing them as the viewer's contact list does (name, recent\n"
    "      time, quantity; newest first). --with-messages exports only contacts that have\n"
    "      messages; --jid (repeatable) exports only the contacts with those jids.\n"
    "      With media (RESDIR, or the phone's WhatsApp folder), the pages' pictures, voice\n"
    "      notes, videos and documents are copied into OUTDIR/images, OUTDIR/voice, OUTDIR/video\n"
    "      and OUTDIR/documents, and every voice note is converted to WAV with opusdec\n"
    "      (beside this program, else on PATH), so that the pages play them in any browser.\n"
    "      An earlier export in OUTDIR is updated: files are replaced, never removed, and\n"
    "      its other chats stay listed in index.html.\n"
    "  talvio-export [--resources RESDIR] [--key FILE [--backup FILE]] [--contacts FILE.vcf]\n"
    "                [--password-file FILE] --list FOLDER\n"
    "      Prints the contact table, one tab-separated line per row: row, jid, display name,\n"
    "      picture path, message count, last message time (raw), last message time (shown).\n"
    "      Rows with messages of kinds this version cannot show yet are counted on standard\n"
    "      error.\n"
    "  talvio-export [--resources RESDIR] [--key FILE [--backup FILE]] [--contacts FILE.vcf]\n"
    "                [--password-file FILE] --page ROW [--standalone] FOLDER\n"
    "      Prints the chat page of table row ROW as UTF-8: the page the viewer shows, or with\n"
    "      --standalone its stand-alone form (its media still point where they lie; only an\n"
    "      export copies them).\n"
    "  talvio-export [--resources RESDIR] [--key FILE [--backup FILE]] [--contacts FILE.vcf]\n"
    "                --search TEXT [--chat ROW] FOLDER\n"
    "      Prints every message whose text holds TEXT, newest first, one tab-separated line\n"
    "      per message: row, jid, time (shown), text, with backslashes, tabs, line breaks and\n"
    "      carriage returns written as \\\\, \\t, \\n and \\r. Case, and precomposed or\n"
    "      decomposed accents, do not matter. --chat narrows to the chat of table row ROW.\n"
    "      Exit status 1 when nothing was found.\n"
    "  talvio-export [--me NAME] [--list | --page ROW [--standalone] | --search TEXT [--chat ROW]]\n"
    "                EXPORT [OUTDIR]\n"
    "      The same for chats exported by WhatsApp's \"Export chat\": EXPORT is the .txt, the .zip,\n"
    "      or a folder of them; each export is one row. Exports do not mark your own messages:\n"
    "      --me NAME shows that sender's messages as \"Me\" (without it nobody is). Attachments\n"
    "      that came with an export are copied into OUTDIR as for a phone folder. Lines the\n"
    "      program could not read as messages are counted on standard error.\n"
    "  talvio-export --help | --version\n"
    "\n"
    "FOLDER is an Android \"com.whatsapp\" folder (holding databases/msgstore.db and\n"
    "databases/wa.db), the phone's WhatsApp folder (holding Databases/ with its backups, as\n"
    "copied from Android/media/com.whatsapp/WhatsApp), an encrypted backup file itself\n"
    "(msgstore.db.crypt15, .crypt14, .crypt12), or an iPhone\n"
    "\"group.net.whatsapp.WhatsApp.shared\" folder (holding ChatStorage.sqlite and\n"
    "ContactsV2.sqlite or Contacts.sqlite), or an iPhone computer backup: the folder that\n"
    "Finder, iTunes or idevicebackup2 made (holding Manifest.db and Manifest.plist; on macOS\n"
    "below ~/Library/Application Support/MobileSync/Backup). A backup brings its media;\n"
    "an encrypted one needs --password-file FILE, a file whose first line is the backup's\n"
    "password (- reads it from standard input). The password is never stored, and what is\n"
    "decrypted stays in memory or in a private temporary folder removed at exit. A backup\n"
    "with both WhatsApp and WhatsApp Business shows WhatsApp's chats; --business the other's.\n"
    "Encrypted Android backups need --key FILE: the phone's `key` file (crypt12, crypt14), its\n"
    "`encrypted_backup.key` (crypt15), or a text file holding the 64-digit key; --key -\n"
    "reads the 64 digits from standard input. The key is never stored, and the decrypted\n"
    "databases stay in memory. --backup FILE chooses another backup of the folder than\n"
    "the current one, such as msgstore-2024-01-31.1.db.crypt15.\n"
    "For Android, --contacts FILE.vcf names the chats that no database names, from a\n"
    "contacts file exported from the phone's address book.\n"
    "RESDIR is where the media files lie: for an iPhone folder the \"net.whatsapp.WhatsApp\"\n"
    "folder whose Library/ holds them, for an Android folder the phone's WhatsApp folder that\n"
    "holds Media/ (the WhatsApp folder opened as FOLDER brings its own). Without it pictures\n"
    "show as [Image] and an export copies no media.\n"
    "Nothing in FOLDER or RESDIR is changed. Times are shown in local standard time. A load\n"
    "that makes no progress for two minutes (a damaged database) is stopped with exit\n"
    "status 2.\n";

struct Options {
    enum class Command { Export, List, Page, Search, Help } command = Command::Export;
    std::vector<std::string> positional;
    bool standAlone = false;
    bool withMessages = false;
    std::vector<std::string> jids;
    std::string resources;
    bool haveResources = false;
    int row = -1;
    std::string keyFile;
    std::string backup;
    std::string contacts;
    std::string me;
    bool haveMe = false;
    std::string search;
    int chatRow = -1;
    std::string passwordFile;
    bool business = false;
};

// How long the load may go without progress before it is stopped.
constexpr std::chrono::seconds kStallLimit{120};

int fail(const std::string& message) {
    std::cerr << "talvio-export: " << message << "\n";
    return 2;
}

bool parseRow(const std::string& text, int& row) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 0 || value > 1'000'000'000)
        return false;
    row = static_cast<int>(value);
    return true;
}

std::optional<backup::KeyMaterial> readKey(const std::string& keyFile, std::string& error) {
    backup::KeyResult result;
    if (keyFile == "-") {
        std::string typed((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
        result = backup::parseTypedKey(typed);
        backup::wipe(typed.data(), typed.size());
    } else {
        result = backup::loadKeyFile(keyFile);
    }
    if (!result.ok())
        error = result.error;
    return std::move(result.key);
}

// The backup that --backup names: a file of the folder's Databases/ by its name or path.
const StoredBackup* chosenBackup(const WhatsAppStorage& storage, const std::string& wanted) {
    for (const StoredBackup& backup : storage.backups) {
        if (backup.path == wanted || std::filesystem::path(backup.path).filename() == wanted ||
            std::filesystem::path(backup.path).lexically_normal() ==
                std::filesystem::path(wanted).lexically_normal())
            return &backup;
    }
    return nullptr;
}

// The phone's WhatsApp folder or one of its backup files, as the Android folder that reads it.
std::optional<PhoneFolder> openStorage(const std::string& given, const Options& options, std::string& error) {
    std::error_code ec;
    std::optional<WhatsAppStorage> storage;
    if (std::filesystem::is_regular_file(given, ec)) {
        if (!options.backup.empty()) {
            error = "--backup chooses a backup of a WhatsApp folder; \"" + given + "\" is a file already.";
            return std::nullopt;
        }
        std::string refusal;
        storage = storageOfBackupFile(given, refusal);
        if (!storage) {
            error = refusal;
            return std::nullopt;
        }
    } else {
        storage = findWhatsAppStorage(given);
    }
    if (!storage) {
        error =
            "\"" + given +
            "\" is not a WhatsApp folder: an Android \"com.whatsapp\" folder holds databases/msgstore.db and "
            "databases/wa.db, the phone's WhatsApp folder holds Databases/ with msgstore.db.crypt15, an "
            "iPhone folder ChatStorage.sqlite and ContactsV2.sqlite (or Contacts.sqlite), an iPhone "
            "computer backup Manifest.db and Manifest.plist.";
        return std::nullopt;
    }
    const bool wantsBackup = !options.keyFile.empty() || !options.backup.empty();
    if (!wantsBackup && !storage->plainMessageDb.empty())
        return plainStorageFolder(*storage, standardTimeZoneBias());
    if (storage->backups.empty()) {
        error = "\"" + storage->folder + "Databases\" holds no backup that can be read.";
        for (const std::string& refusal : storage->refusals)
            error += "\n  " + refusal;
        if (storage->refusals.empty())
            error += " Copy the phone's whole WhatsApp folder, with Databases/msgstore.db.crypt15 in it.";
        return std::nullopt;
    }
    const StoredBackup* backupFile = &storage->backups.front();
    if (!options.backup.empty() && (backupFile = chosenBackup(*storage, options.backup)) == nullptr) {
        error = "the folder has no backup \"" + options.backup + "\"; it has:";
        for (const StoredBackup& backup : storage->backups)
            error += "\n  " + backup.path;
        return std::nullopt;
    }
    if (options.keyFile.empty()) {
        error =
            "\"" + backupFile->path +
            "\" is encrypted. Give its key with --key FILE: the 64-digit key in a text file (or - to type "
            "it), the phone's encrypted_backup.key (crypt15) or its key file (crypt12, crypt14).";
        return std::nullopt;
    }
    const std::optional<backup::KeyMaterial> key = readKey(options.keyFile, error);
    if (!key)
        return std::nullopt;
    StorageOpening opening = openStoredBackup(*storage, backupFile->path, *key, {}, standardTimeZoneBias());
    if (!opening.folder) {
        error = opening.outcome.message;
        return std::nullopt;
    }
    if (!opening.contactsNote.empty())
        std::cerr << "talvio-export: " << opening.contactsNote << "\n";
    return opening.folder;
}

// The first line of the password file (or of standard input), without its line end.
std::optional<ios::Secret> readPassword(const std::string& file, std::string& error) {
    std::string text;
    if (file == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            error = "the password file \"" + file + "\" cannot be read.";
            return std::nullopt;
        }
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::size_t end = text.find('\n');
    if (end == std::string::npos)
        end = text.size();
    if (end > 0 && text[end - 1] == '\r')
        --end;
    ios::Secret password(std::string_view(text).substr(0, end));
    backup::wipe(text.data(), text.size());
    if (password.empty()) {
        error = "the password file \"" + file + "\" is empty: its first line must be the backup's password.";
        return std::nullopt;
    }
    return password;
}

// An iPhone computer backup folder, as the iPhone folder that reads WhatsApp's chats in it.
std::optional<PhoneFolder> openIphoneBackupFolder(const std::string& given, const Options& options,
                                                  std::string& error) {
    if (options.haveResources || !options.contacts.empty() || !options.keyFile.empty() ||
        !options.backup.empty()) {
        error =
            "an iPhone backup brings its own media and contacts: --resources, --contacts, --key and "
            "--backup are not for it (an encrypted backup takes --password-file).";
        return std::nullopt;
    }
    const IphoneBackupProbe probe = probeIphoneBackup(given);
    if (probe.error.failed()) {
        error = probe.error.message;
        return std::nullopt;
    }
    ios::Secret password;
    if (probe.encrypted) {
        if (options.passwordFile.empty()) {
            error = "\"" + given +
                    "\" is an encrypted iPhone backup. Give its password with --password-file FILE (a file "
                    "whose first line is the password), or --password-file - to type it.";
            return std::nullopt;
        }
        std::optional<ios::Secret> read = readPassword(options.passwordFile, error);
        if (!read)
            return std::nullopt;
        password = std::move(*read);
    }
    IphoneBackupOpening opening =
        openIphoneBackup(given, std::move(password), {}, standardTimeZoneBias(),
                         options.business ? ios::WhatsAppKind::Business : ios::WhatsAppKind::Messenger);
    if (!opening.folder) {
        error = opening.error.message;
        return std::nullopt;
    }
    if (!opening.note.empty())
        std::cerr << "talvio-export: " << opening.note << "\n";
    return opening.folder;
}

// What a user names that is no phone folder but a chat that WhatsApp exported.
bool isChatExport(const std::string& path, const Options& options) {
    if (!options.keyFile.empty() || !options.backup.empty() || detectSourceKind(path) != kSourceNone ||
        looksLikeIphoneBackup(path))
        return false;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec) && findWhatsAppStorage(path))
        return false;
    return chatexport::looksLikeChatExport(path);
}

std::string joined(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += "\n  " + name;
    return text;
}

std::unique_ptr<CChatSoftware> openChatExport(const std::string& path, const Options& options,
                                              std::string& error) {
    if (options.haveResources || !options.contacts.empty()) {
        error = "--resources and --contacts are for phone folders; a chat export brings its own files.";
        return nullptr;
    }
    PhoneFolder folder;
    folder.kind = kSourceChatExport;
    folder.dataFolder = path;
    setLoadPaths(folder);
    auto source = std::make_unique<chatexport::ChatExportSource>(folder);
    source->LoadContacts(contactTable());
    for (const std::string& problem : source->problems())
        std::cerr << "talvio-export: " << problem << "\n";
    if (source->chats().empty()) {
        error = "\"" + path + "\" holds no chat that WhatsApp exported.";
        return nullptr;
    }
    std::set<std::string> candidates;
    bool ownerFound = false;
    for (const chatexport::ChatExport& chat : source->chats()) {
        if (chat.unknownLines() > 0)
            std::cerr << "talvio-export: " << chat.origin() << ": " << chat.unknownLines()
                      << " lines at the start could not be read as messages and are not shown.\n";
        for (const std::string& name : chat.ownerCandidates())
            candidates.insert(name);
        if (options.haveMe)
            ownerFound = source->setOwner(chatexport::chatExportJid(chat), options.me) || ownerFound;
    }
    if (options.haveMe && !ownerFound) {
        error = "nobody named \"" + options.me +
                "\" wrote in the export. --me takes one of:" + joined(candidates);
        return nullptr;
    }
    return source;
}

std::unique_ptr<CChatSoftware> loadContacts(std::unique_ptr<CChatSoftware> source, const std::string& folder,
                                            std::string& error) {
    const StallWatch watch(kStallLimit);
    source->LoadContacts(contactTable());
    if (watch.stalled()) {
        error = "reading \"" + folder + "\" made no progress for " + std::to_string(kStallLimit.count()) +
                " seconds and was stopped: its databases may be damaged.";
        return nullptr;
    }
    return source;
}

std::unique_ptr<CChatSoftware> openFolder(const std::string& folder, const Options& options,
                                          std::string& error) {
    if (isChatExport(folder, options))
        return openChatExport(folder, options, error);
    if (options.haveMe) {
        error = "--me is for chats exported by WhatsApp; a phone folder knows your messages.";
        return nullptr;
    }
    if (looksLikeIphoneBackup(folder)) {
        std::optional<PhoneFolder> phone = openIphoneBackupFolder(folder, options, error);
        if (!phone)
            return nullptr;
        setLoadPaths(*phone);
        return loadContacts(std::make_unique<CIphoneWeiXin>(std::move(*phone)), folder, error);
    }
    if (!options.passwordFile.empty() || options.business) {
        error = std::string(options.business ? "--business" : "--password-file") +
                " is for iPhone computer backups; \"" + folder + "\" is not one.";
        return nullptr;
    }
    const int kind =
        options.keyFile.empty() && options.backup.empty() ? detectSourceKind(folder) : kSourceNone;
    if (options.haveResources) {
        std::error_code ec;
        if (!std::filesystem::is_directory(options.resources, ec)) {
            error = "the resource folder \"" + options.resources + "\" does not exist.";
            return nullptr;
        }
    }
    if (!options.contacts.empty()) {
        if (kind == kSourceIPhone) {
            error = "--contacts is for Android folders; an iPhone folder brings its own address book.";
            return nullptr;
        }
        if (const VCardFile cards = loadVCardFile(options.contacts); !cards.error.empty()) {
            error = cards.error;
            return nullptr;
        }
    }
    std::unique_ptr<CChatSoftware> source;
    if (kind == kSourceIPhone) {
        setLoadPaths(kind, folder, options.resources);
        source = std::make_unique<CIphoneWeiXin>(chosenPhoneFolder());
    } else {
        std::optional<PhoneFolder> android;
        if (kind == kSourceAndroid) {
            setLoadPaths(kind, folder, options.resources);
            android = chosenPhoneFolder();
        } else if ((android = openStorage(folder, options, error))) {
            if (options.haveResources)
                android->resourceFolder = withTrailingSlash(options.resources);
            setLoadPaths(*android);
        } else {
            return nullptr;
        }
        android->addressBookPath = options.contacts;
        source = std::make_unique<CAndroidWeiXin>(std::move(*android));
    }
    return loadContacts(std::move(source), folder, error);
}

int listContacts() {
    const ContactTable& table = contactTable();
    for (int i = 0; i < table.count(); ++i) {
        const ContactEntry& e = table.row(i);
        std::cout << i << '\t' << e.jid << '\t' << e.displayName << '\t' << e.picturePath << '\t'
                  << e.messageCount << '\t' << e.lastMessageTime << '\t'
                  << FormatMessageTime(e.lastMessageTime) << '\n';
        if (e.unsupportedMessages > 0) {
            std::cerr << "talvio-export: row " << i << " (" << e.jid << "): " << e.unsupportedMessages
                      << " message(s) of kinds this version cannot show yet\n";
        }
    }
    return 0;
}

int printPage(CChatSoftware& source, int row, bool standAlone) {
    const ContactTable& table = contactTable();
    if (!table.isRow(row)) {
        return fail("there is no row " + std::to_string(row) + " (the table has " +
                    std::to_string(table.count()) + " rows).");
    }
    // Printed while it is built, so that a page of any length costs the same memory.
    ChatPageBuffer page;
    page.setSink([](std::string_view piece) {
        std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    });
    const RenderOutcome outcome =
        renderContact(source, table.row(row), standAlone ? kStandAlone : kViewer, page);
    page.handOver();
    if (!outcome.readable) {
        std::cerr << "talvio-export: the chat of row " << row << " could not be read: " << outcome.reason
                  << "\n";
        return 1;
    }
    return std::cout.good() ? 0 : 1;
}

// One line of output per hit: the text's own tabs and line breaks must not make more.
void appendEscapedField(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
}

int searchChats(CChatSoftware& source, const Options& options) {
    const ContactTable& table = contactTable();
    SearchQuery query;
    query.text = options.search;
    if (options.chatRow >= 0) {
        if (!table.isRow(options.chatRow)) {
            return fail("there is no row " + std::to_string(options.chatRow) + " (the table has " +
                        std::to_string(table.count()) + " rows).");
        }
        query.chat = table.row(options.chatRow).jid;
    }
    const std::atomic<bool> cancel{false};
    std::string reason;
    const std::unique_ptr<SearchIndex> index = SearchIndex::build(source, cancel, reason);
    if (!index)
        return fail("the messages could not be searched: " + reason);
    // A chat's first row is the one the viewer opens.
    std::unordered_map<std::string, int> rowOfJid;
    for (int i = table.count() - 1; i >= 0; --i)
        rowOfJid[table.row(i).jid] = i;
    const MessageTimeFormatter times(
        source.folder().kind == kSourceChatExport ? kSourceChatExport : kSourceAndroid,
        standardTimeZoneBias());
    std::size_t printed = 0;
    std::string line;
    index->search(query, cancel, [&](std::vector<SearchHit>&& hits) {
        for (const SearchHit& hit : hits) {
            const auto row = rowOfJid.find(hit.jid);
            if (row == rowOfJid.end())
                continue;  // a chat the list does not show
            line = std::to_string(row->second);
            line += '\t';
            appendEscapedField(line, hit.jid);
            line += '\t';
            times.append(line, std::to_string(hit.time));
            line += '\t';
            appendEscapedField(line, hit.text);
            line += '\n';
            std::cout << line;
            ++printed;
        }
    });
    std::cout.flush();
    if (!std::cout.good())
        return 2;
    return printed > 0 ? 0 : 1;
}

int exportChats(CChatSoftware& source, const Options& options, const std::string& outDir) {
    const ContactTable& table = contactTable();
    std::vector<std::string> missing;
    std::vector<int> rows = !options.jids.empty()  ? rowsWithJids(table, options.jids, &missing)
                            : options.withMessages ? rowsWithMessages(table)
                                                   : allRows(table);
    for (const std::string& jid : missing)
        std::cerr << "talvio-export: no contact has the jid " << jid << "\n";
    ExportRun run(source, outDir);
    const ExportReport report = run.run(rows);
    if (!report.error.empty())
        return fail(report.error);
    std::cout << "Exported " << report.chats << " chats (" << report.pages << " pages, " << report.mediaFiles
              << " media files) to " << report.folder << "\n"
              << "Open " << report.indexPath << " in a browser.\n";
    if (report.keptChats > 0)
        std::cout << "index.html also lists " << report.keptChats << " chats of an earlier export there.\n";
    for (const std::string& chat : report.failedChats)
        std::cerr << "talvio-export: a chat could not be read, its page was not written: " << chat << "\n";
    for (const std::string& page : report.failedPages)
        std::cerr << "talvio-export: could not write " << page << "\n";
    for (const std::string& media : report.failedMedia) {
        std::cerr << "talvio-export: a media file is missing from the export: " << media << "\n";
    }
    return report.complete() && missing.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.command = Options::Command::Help;
        } else if (arg == "--version") {
            std::cout << "talvio-export " << TALVIO_VERSION << "\n";
            return 0;
        } else if (arg == "--list") {
            options.command = Options::Command::List;
        } else if (arg == "--page") {
            options.command = Options::Command::Page;
            if (i + 1 >= argc || !parseRow(argv[++i], options.row))
                return fail("--page needs a row number.");
        } else if (arg == "--search") {
            options.command = Options::Command::Search;
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return fail("--search needs the text to look for.");
            options.search = argv[++i];
        } else if (arg == "--chat") {
            if (i + 1 >= argc || !parseRow(argv[++i], options.chatRow))
                return fail("--chat needs a row number.");
        } else if (arg == "--standalone") {
            options.standAlone = true;
        } else if (arg == "--with-messages") {
            options.withMessages = true;
        } else if (arg == "--resources") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return fail("--resources needs a folder.");
            options.resources = argv[++i];
            options.haveResources = true;
        } else if (arg == "--key") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return fail("--key needs a key file (or - to read the 64 digits from standard input).");
            options.keyFile = argv[++i];
        } else if (arg == "--backup") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return fail("--backup needs a backup file of the folder.");
            options.backup = argv[++i];
        } else if (arg == "--contacts") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return fail("--contacts needs a contacts file (.vcf).");
            options.contacts = argv[++i];
        } else if (arg == "--business") {
            options.business = true;
        } else if (arg == "--password-file") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return fail(
                    "--password-file needs a file holding the backup's password (or - to read it "
                    "from standard input).");
            options.passwordFile = argv[++i];
        } else if (arg == "--me") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return fail("--me needs the name you have in the exported chat.");
            options.me = argv[++i];
            options.haveMe = true;
        } else if (arg == "--jid") {
            if (i + 1 >= argc)
                return fail("--jid needs a jid.");
            options.jids.emplace_back(argv[++i]);
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
            return fail("unknown option " + arg + "\n" + kUsage);
        } else if (arg == "--") {
            for (++i; i < argc; ++i)
                options.positional.emplace_back(argv[i]);
        } else {
            options.positional.push_back(arg);
        }
    }
    if (options.command == Options::Command::Help) {
        std::cout << kUsage;
        return 0;
    }
    const std::size_t wanted = options.command == Options::Command::Export ? 2 : 1;
    if (options.positional.size() != wanted) {
        std::cerr << kUsage;
        return 2;
    }
    std::string error;
    std::unique_ptr<CChatSoftware> source = openFolder(options.positional[0], options, error);
    if (!source)
        return fail(error);
    switch (options.command) {
        case Options::Command::List:
            return listContacts();
        case Options::Command::Page:
            return printPage(*source, options.row, options.standAlone);
        case Options::Command::Search:
            return searchChats(*source, options);
        default:
            return exportChats(*source, options, options.positional[1]);
    }
}
