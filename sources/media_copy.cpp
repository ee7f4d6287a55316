// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media_copy.h"

#include "contact_table.h"

#include <unistd.h>
#include <filesystem>
#include <system_error>

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

// A voice note keeps its own extension when it is a plain one; a ".wav" needs no conversion.
std::string voiceExtension(std::string_view fileName) {
    const std::string ext = lowerAscii(extensionOf(fileName));
    if (ext.empty() || ext.size() > 8)
        return "opus";
    for (char c : ext) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return "opus";
    }
    return ext;
}

std::string targetName(MediaFolder folder, const std::string& id, std::string_view fileName) {
    std::string name = std::string(mediaFolderName(folder)) + "/" + id;
    switch (folder) {
        case MediaFolder::Images:
            return name + ".jpg";
        case MediaFolder::Video:
            return name + ".mp4";
        case MediaFolder::Voice:
            return name + "." + voiceExtension(fileName);
    }
    return name;
}

std::string sourceKey(MediaFolder folder, const std::string& source) {
    return std::string(mediaFolderName(folder)) + '\n' + source;
}

}  // namespace

const char* mediaFolderName(MediaFolder folder) {
    switch (folder) {
        case MediaFolder::Images:
            return "images";
        case MediaFolder::Voice:
            return "voice";
        case MediaFolder::Video:
            return "video";
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

void MediaCopyLog::clear() {
    m_copies.clear();
    m_bySource.clear();
    m_takenIds.clear();
}

std::string MediaCopyLog::uniqueId(MediaFolder folder, std::string_view fileName) {
    const std::string base = safeMediaStem(fileName);
    const std::string prefix = std::string(mediaFolderName(folder)) + '/';
    std::string id = base;
    for (int n = 2; m_takenIds.count(prefix + lowerAscii(id)) != 0; ++n)
        id = base + "-" + std::to_string(n);
    m_takenIds[prefix + lowerAscii(id)] = true;
    return id;
}

std::string MediaCopyLog::copy(MediaFolder folder, const std::string& source, std::string_view fileName,
                               const std::string& exportFolder) {
    const std::string key = sourceKey(folder, source);
    if (const auto found = m_bySource.find(key); found != m_bySource.end())
        return m_copies[found->second].id;

    MediaCopy entry;
    entry.folder = folder;
    entry.source = source;
    entry.id = uniqueId(folder, fileName);
    entry.target = targetName(folder, entry.id, fileName);
    // Without an export folder the copy would land below the file system's root.
    if (exportFolder.empty()) {
        entry.error = "no export folder is set";
    } else if (!EnsureDirectory(exportFolder + "/" + mediaFolderName(folder))) {
        entry.error = "the folder " + exportFolder + "/" + mediaFolderName(folder) + " could not be created";
    } else {
        entry.error = copyFileReplacing(source, exportFolder + "/" + entry.target);
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

MediaCopyLog& mediaCopyLog() {
    static MediaCopyLog log;
    return log;
}

std::string copyFileReplacing(const std::string& source, const std::string& target) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_regular_file(source, ec))
        return "no file at " + source;
    const std::string temporary = target + ".part-" + std::to_string(::getpid());
    fs::remove(temporary, ec);
    if (!fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec)) {
        const std::string reason = ec.message();
        fs::remove(temporary, ec);
        return "cannot copy " + source + ": " + reason;
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(temporary, ec);
        return "cannot write " + target + ": " + reason;
    }
    return {};
}

}  // namespace talvio
