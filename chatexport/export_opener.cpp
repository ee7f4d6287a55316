// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/export_opener.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <set>

#include "chatexport/export_parser.h"
#include "chatexport/export_text.h"
#include "chatexport/zip_reader.h"
#include "platform/file_ops.h"

namespace talvio::chatexport {

namespace fs = std::filesystem;

namespace {

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

std::string stemOf(std::string_view fileName) {
    const std::size_t slash = fileName.rfind('/');
    if (slash != std::string_view::npos)
        fileName.remove_prefix(slash + 1);
    if (endsWithNoCase(fileName, ".txt") || endsWithNoCase(fileName, ".zip"))
        fileName.remove_suffix(4);
    return std::string(fileName);
}

// The regular files directly in `folder` (links resolved, and kept only when they stay inside it),
// by name.
std::map<std::string, std::string> filesIn(const fs::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    const fs::path root = fs::canonical(folder, ec);
    if (ec)
        return files;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code itemError;
        const fs::path real = fs::canonical(it->path(), itemError);
        if (itemError || real.parent_path() != root || !fs::is_regular_file(real, itemError))
            continue;
        files.emplace(it->path().filename().string(), real.string());
    }
    return files;
}

void collectAttachments(ChatExport& chat, const std::function<AttachmentPlace(const std::string&)>& placeOf,
                        const std::function<bool(std::string_view)>& isPresent) {
    for (const Message& message : chat.messages()) {
        if (message.kind == MessageKind::Attachment && isPresent(message.attachment))
            chat.addAttachment(message.attachment, placeOf(message.attachment));
    }
}

}  // namespace

std::string chatNameFromFileName(std::string_view fileName) {
    std::string stem = stemOf(fileName);
    // A second download of the same export is saved as "… (1)"; "(2021)" is part of a name.
    if (stem.size() > 4 && stem.back() == ')') {
        const std::size_t open = stem.rfind(" (");
        const std::size_t digits = open == std::string::npos ? 0 : stem.size() - open - 3;
        if (digits >= 1 && digits <= 2 && stem.find_first_not_of("0123456789", open + 2) == stem.size() - 1)
            stem.erase(open);
    }
    const std::size_t brand = stem.find("WhatsApp");
    if (brand == std::string::npos)
        return stem;
    static constexpr std::array<std::string_view, 14> kConnectors = {
        " with ", " mit ", " avec ", " con ", " com ", " с ", " met ",
        " مع ",   " z ",   " med ",  " - ",   " – ",   " 与", " と"};
    std::size_t best = std::string::npos;
    std::size_t bestLength = 0;
    for (std::string_view connector : kConnectors) {
        const std::size_t at = stem.find(connector, brand);
        if (at < best)
            best = at, bestLength = connector.size();
    }
    if (best == std::string::npos)
        return stem;
    const std::string name = stem.substr(best + bestLength);
    return name.empty() ? stem : name;
}

std::string readTextExport(const std::string& path, ChatExport& chat) {
    const auto bytes = platform::readRegularFile(path, kMaxExportTextBytes + 1);
    if (!bytes)
        return "The file " + path + " cannot be read. Check that it exists and that you may read it.";
    if (bytes->size() > kMaxExportTextBytes)
        return path + " is too large to be a chat exported by WhatsApp.";

    const fs::path folder =
        fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path();
    std::map<std::string, std::string> files = filesIn(folder);
    files.erase(fs::path(path).filename().string());
    const auto isPresent = [&files](std::string_view name) {
        return files.find(std::string(name)) != files.end();
    };

    std::string decoded;
    if (std::string error = parseExportText(exportTextView(*bytes, decoded), isPresent, path, chat);
        !error.empty())
        return error;
    const std::string stem = stemOf(path);
    chat.setName(stem == "_chat"
                     ? chatNameFromFileName(fs::absolute(folder).lexically_normal().filename().string())
                     : chatNameFromFileName(stem));
    chat.setOrigin(path);
    collectAttachments(
        chat,
        [&files](const std::string& name) {
            return AttachmentPlace{AttachmentPlace::Where::File, files[name]};
        },
        isPresent);
    return {};
}

std::string readZipExport(const std::string& path, ChatExport& chat) {
    std::string error;
    const std::shared_ptr<ZipReader> zip = ZipReader::open(path, error);
    if (!zip)
        return error;

    // The chat's text: "_chat.txt" (iPhone), else the one .txt WhatsApp named (Android), at the top
    // or in the archive's one folder.
    const ZipReader::Entry* text = nullptr;
    int rank = 0;
    for (const ZipReader::Entry& entry : zip->entries()) {
        const std::string base = fs::path(entry.name).filename().string();
        const int entryRank = base == "_chat.txt"                                                          ? 3
                              : endsWithNoCase(base, ".txt") && base.find("WhatsApp") != std::string::npos ? 2
                              : endsWithNoCase(base, ".txt")                                               ? 1
                                                             : 0;
        if (entryRank > rank)
            text = &entry, rank = entryRank;
    }
    if (text == nullptr)
        return path + " holds no chat text. Choose a .zip that WhatsApp's \"Export chat\" made.";
    std::string bytes;
    if (!zip->read(text->name, kMaxExportTextBytes, bytes, error))
        return error;

    const std::size_t slash = text->name.rfind('/');
    const std::string prefix = slash == std::string::npos ? std::string() : text->name.substr(0, slash + 1);
    std::set<std::string, std::less<>> files;
    for (const ZipReader::Entry& entry : zip->entries()) {
        if (entry.name.starts_with(prefix) && entry.name.find('/', prefix.size()) == std::string::npos &&
            entry.name != text->name)
            files.insert(entry.name.substr(prefix.size()));
    }
    const auto isPresent = [&files](std::string_view name) { return files.find(name) != files.end(); };
    std::string decoded;
    if (std::string problem = parseExportText(exportTextView(bytes, decoded), isPresent, path, chat);
        !problem.empty())
        return problem;

    // "_chat.txt" names no chat: the folder it sits in inside the archive does, else the archive.
    const std::string textStem = stemOf(text->name);
    const std::string folderName =
        prefix.empty() ? std::string() : fs::path(prefix).parent_path().filename().string();
    chat.setName(chatNameFromFileName(textStem != "_chat"   ? textStem
                                      : !folderName.empty() ? folderName
                                                            : stemOf(path)));
    chat.setOrigin(path);
    chat.setZip(zip);
    collectAttachments(
        chat,
        [&prefix](const std::string& name) {
            return AttachmentPlace{AttachmentPlace::Where::ZipEntry, prefix + name};
        },
        isPresent);
    return {};
}

OpenOutcome openChatExports(const std::string& path) {
    OpenOutcome outcome;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        outcome.problems.push_back(path + " cannot be found. Choose an exported chat again.");
        return outcome;
    }
    if (!fs::is_directory(status)) {
        ChatExport chat;
        const std::string error =
            endsWithNoCase(path, ".zip") ? readZipExport(path, chat) : readTextExport(path, chat);
        if (error.empty())
            outcome.chats.push_back(std::move(chat));
        else
            outcome.problems.push_back(error);
        return outcome;
    }
    // A folder of exports: its own .txt and .zip files, and those of its sub-folders one level down
    // (an unpacked export is a folder with its files).
    std::vector<fs::path> folders = {fs::path(path)};
    const fs::path root = fs::canonical(path, ec);
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code itemError;
        const fs::path real = fs::canonical(it->path(), itemError);
        const bool inside = !itemError && real.parent_path() == root;
        if (inside && fs::is_directory(real, itemError))
            folders.push_back(it->path());
    }
    std::sort(folders.begin() + 1, folders.end());
    for (const fs::path& folder : folders) {
        // A .txt or .zip that a chat of this folder names as its attachment is a document someone
        // sent, not an export that failed: it is not reported.
        std::vector<std::pair<std::string, std::string>> failed;
        std::set<std::string, std::less<>> attached;
        for (const auto& [name, real] : filesIn(folder)) {
            if (!endsWithNoCase(name, ".txt") && !endsWithNoCase(name, ".zip"))
                continue;
            const std::string file = (folder / name).string();
            ChatExport chat;
            const std::string error =
                endsWithNoCase(name, ".zip") ? readZipExport(file, chat) : readTextExport(file, chat);
            if (!error.empty()) {
                failed.emplace_back(name, error);
                continue;
            }
            for (const auto& [attachment, place] : chat.attachments())
                if (place.where == AttachmentPlace::Where::File)
                    attached.insert(attachment);
            outcome.chats.push_back(std::move(chat));
        }
        for (const auto& [name, error] : failed)
            if (!attached.contains(name))
                outcome.problems.push_back(error);
    }
    if (outcome.chats.empty() && outcome.problems.empty())
        outcome.problems.push_back("There is no chat exported by WhatsApp in " + path +
                                   ". Choose the .txt or .zip file that \"Export chat\" made.");
    return outcome;
}

}  // namespace talvio::chatexport
