// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media_copy.h"

#include "contact_table.h"
#include "platform/file_ops.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace talvio {
namespace {

constexpr std::size_t kMaxStem = 80;

bool isSafeStemChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

// The extension of a file name without its dot; empty when there is none (".profile" has none).
std::string_view extensionOf(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    return fileName.substr(dot + 1);
}

// A file's own extension when it is a plain one (a ".wav" voice note needs no conversion, a
// document opens by its extension), else the fallback.
std::string plainExtension(std::string_view fileName, const char* fallback) {
    const std::string ext = lowerAscii(extensionOf(fileName));
    if (ext.empty() || ext.size() > 8)
        return fallback;
    for (char c : ext) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return fallback;
    }
    return ext;
}

std::string sourceKey(MediaFolder folder, const std::string& source) {
    return std::string(mediaFolderName(folder)) + '\n' + source;
}

// Eight hex digits of a hash (FNV-1a) of the file's path inside the phone's folder: the same on
// every export of the same file, wherever the phone's copy lies.
std::string pathTag(std::string_view source, std::string_view resourceFolder) {
    if (!resourceFolder.empty() && source.substr(0, resourceFolder.size()) == resourceFolder)
        source.remove_prefix(resourceFolder.size());
    std::uint32_t hash = 2166136261u;
    for (char c : source) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string tag(8, '0');
    for (int i = 7; i >= 0; --i, hash >>= 4)
        tag[static_cast<std::size_t>(i)] = kHex[hash & 15];
    return tag;
}

bool sameBytes(const std::string& a, const std::string& b) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(a, ec);
    if (ec || std::filesystem::file_size(b, ec) != size || ec)
        return false;
    std::ifstream left(a, std::ios::binary);
    std::ifstream right(b, std::ios::binary);
    std::vector<char> x(1 << 16);
    std::vector<char> y(1 << 16);
    while (left && right) {
        left.read(x.data(), static_cast<std::streamsize>(x.size()));
        right.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (left.gcount() != right.gcount() || !std::equal(x.begin(), x.begin() + left.gcount(), y.begin()))
            return false;
    }
    return left.eof() && right.eof();
}

bool isTaken(const std::string& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
}

enum class Holder { Nothing, SameFile, OtherFile };

// What already lies where the copy would go. A link is no file of ours (exports write none) and is
// replaced, never written through. A voice note's WAV counts as well: a WAV without its note may
// belong to a different note of an earlier export.
Holder holderOf(const MediaCopy& entry, const std::string& exportFolder, const std::string& target,
                const std::string& id) {
    namespace fs = std::filesystem;
    const std::string path = exportFolder + "/" + target;
    const std::string wav = exportFolder + "/" + mediaFolderName(MediaFolder::Voice) + "/" + id + ".wav";
    std::error_code ec;
    const fs::file_type type = fs::symlink_status(path, ec).type();
    if (type == fs::file_type::not_found || type == fs::file_type::symlink)
        return entry.folder == MediaFolder::Voice && path != wav && isTaken(wav) ? Holder::OtherFile
                                                                                 : Holder::Nothing;
    if (type != fs::file_type::regular)
        return Holder::OtherFile;
    return sameBytes(entry.source, path) ? Holder::SameFile : Holder::OtherFile;
}

// The export's media folder, made when missing. It must be a real folder of the export: one that is
// a link would carry every copy to wherever it points.
std::string makeMediaFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string parent = folder.substr(0, folder.rfind('/'));
    if (!EnsureDirectory(parent))
        return "the folder " + parent + " could not be created";
    const fs::file_type type = fs::symlink_status(folder, ec).type();
    if (type == fs::file_type::directory)
        return {};
    if (type != fs::file_type::not_found)
        return folder + " is not a folder of the export (a link or a file lies there)";
    if (!fs::create_directory(folder, ec))
        return "the folder " + folder + " could not be created";
    return {};
}

}  // namespace

std::string mediaTarget(MediaFolder folder, const std::string& id, std::string_view fileName) {
    std::string name = std::string(mediaFolderName(folder)) + "/" + id;
    switch (folder) {
        case MediaFolder::Images:
            return name + ".jpg";
        case MediaFolder::Video:
            return name + ".mp4";
        case MediaFolder::Voice:
            return name + "." + plainExtension(fileName, "opus");
        case MediaFolder::Documents:
            return name + "." + plainExtension(fileName, "bin");
    }
    return name;
}

const char* mediaFolderName(MediaFolder folder) {
    switch (folder) {
        case MediaFolder::Images:
            return "images";
        case MediaFolder::Voice:
            return "voice";
        case MediaFolder::Video:
            return "video";
        case MediaFolder::Documents:
            return "documents";
    }
    return "media";
}

std::string safeMediaStem(std::string_view fileName) {
    const std::string_view ext = extensionOf(fileName);
    std::string_view stem = ext.empty() ? fileName : fileName.substr(0, fileName.size() - ext.size() - 1);
    std::string out;
    for (char c : stem)
        out += isSafeStemChar(c) ? c : '_';
    // Dots only inside: no ".", "..", hidden files or names that end up as "x..jpg".
    while (!out.empty() && out.front() == '.')
        out.erase(out.begin());
    while (!out.empty() && out.back() == '.')
        out.pop_back();
    if (out.size() > kMaxStem)
        out.resize(kMaxStem);
    while (!out.empty() && out.back() == '.')
        out.pop_back();
    if (out.empty())
        out = "media";
    return out;
}

void MediaCopyLog::chooseName(MediaCopy& entry, std::string_view fileName) {
    const std::string& exportFolder = m_exportFolder;
    const std::string base = safeMediaStem(fileName);
    const std::string tagged =
        base + "-" +
        (entry.phonePath.empty() ? pathTag(entry.source, m_resourceFolder) : pathTag(entry.phonePath, {}));
    const std::string prefix = std::string(mediaFolderName(entry.folder)) + '/';
    for (int n = 0;; ++n) {
        std::string id = n == 0 ? base : n == 1 ? tagged : tagged + "-" + std::to_string(n);
        const std::string taken = prefix + lowerAscii(id);
        if (m_takenIds.count(taken) != 0)
            continue;
        std::string target = mediaTarget(entry.folder, id, fileName);
        const Holder holder =
            exportFolder.empty() ? Holder::Nothing : holderOf(entry, exportFolder, target, id);
        if (holder == Holder::OtherFile)
            continue;
        m_takenIds.emplace(taken, true);
        entry.id = std::move(id);
        entry.target = std::move(target);
        entry.alreadyThere = holder == Holder::SameFile;
        return;
    }
}

std::string MediaCopyLog::copy(MediaFolder folder, const std::string& source, std::string_view fileName,
                               std::string_view phonePath) {
    const std::string& exportFolder = m_exportFolder;
    const std::string key = sourceKey(folder, source);
    if (const auto found = m_bySource.find(key); found != m_bySource.end())
        return m_copies[found->second].id;

    MediaCopy entry;
    entry.folder = folder;
    entry.source = source;
    entry.phonePath = phonePath;
    chooseName(entry, fileName);
    // Without an export folder the copy would land below the file system's root.
    if (exportFolder.empty()) {
        entry.error = "no export folder is set";
    } else if (entry.alreadyThere) {
        // An earlier export copied these very bytes; writing them again would change nothing.
    } else {
        entry.error = makeMediaFolder(exportFolder + "/" + mediaFolderName(folder));
        if (entry.error.empty())
            entry.error = platform::copyFileReplacing(source, exportFolder + "/" + entry.target);
    }
    entry.copied = entry.error.empty();
    m_bySource.emplace(key, m_copies.size());
    m_copies.push_back(std::move(entry));
    return m_copies.back().id;
}

void MediaCopyLog::refuse(MediaFolder folder, const std::string& source, std::string reason) {
    const std::string key = sourceKey(folder, source);
    if (m_bySource.count(key) != 0)
        return;
    MediaCopy entry;
    entry.folder = folder;
    entry.source = source;
    entry.error = std::move(reason);
    m_bySource.emplace(key, m_copies.size());
    m_copies.push_back(std::move(entry));
}

}  // namespace talvio
