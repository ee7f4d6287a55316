// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/android_media.h"

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "tools/iphone_media.h"
#include "tools/iphone_picture.h"
#include "tools/media_files.h"
#include "tools/text_file.h"

namespace talvio::fixture {

namespace {

namespace fs = std::filesystem;

struct Entry {
    std::vector<std::string> words;  // KIND and its arguments
    std::string arguments;           // the same after KIND, as one text
    std::string path;
};

bool parseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    try {
        width = std::stoi(text.substr(0, x));
        height = std::stoi(text.substr(x + 1));
    } catch (...) {
        return false;
    }
    return width > 0 && height > 0;
}

bool parseSeconds(const std::string& text, double& value) {
    try {
        std::size_t used = 0;
        value = std::stod(text, &used);
        return used == text.size() && value > 0 && value <= 600;
    } catch (...) {
        return false;
    }
}

bool parseHertz(const std::string& text, int& value) {
    try {
        std::size_t used = 0;
        value = std::stoi(text, &used);
        return used == text.size() && value > 0 && value < 20000;
    } catch (...) {
        return false;
    }
}

std::uint32_t serialOf(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : text)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

std::string trimmed(const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos)
        return {};
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// A list slip must not write anywhere but the WhatsApp folder and, for bait, its parent.
bool isAllowedPath(const std::string& path) {
    if (path.empty() || path.front() == '/')
        return false;
    const fs::path normal = fs::path(path).lexically_normal();
    const std::vector<fs::path> parts(normal.begin(), normal.end());
    if (parts.empty() || normal == "." || parts.back().empty())
        return false;
    if (parts.front() == "..")
        return parts.size() == 2 && parts[1] != "..";
    return true;
}

Failure makeFile(const Entry& entry, const fs::path& file) {
    const std::vector<std::string>& w = entry.words;
    const std::string& kind = w[0];
    int width = 0, height = 0, hertz = 440;
    double seconds = 0;
    if ((kind == "picture" || kind == "sticker") && w.size() == 2 && parseSize(w[1], width, height)) {
        if (!IphonePicture::available())
            return std::string("media.txt pictures need a build with Qt");
        return IphonePicture::write(file, width, height, entry.path, kind == "sticker" ? "WEBP" : "JPG");
    }
    if (kind == "gif" && w.size() == 3 && parseSeconds(w[1], seconds) && parseSize(w[2], width, height))
        return MediaFiles::writeGif(file, seconds, width, height);
    if (kind == "video" && (w.size() == 3 || w.size() == 4) && parseSeconds(w[1], seconds) &&
        parseSize(w[2], width, height) && (w.size() == 3 || parseHertz(w[3], hertz))) {
        return IphoneMedia::writeVideo(file, seconds, width, height, hertz);
    }
    if (kind == "voice" && w.size() >= 3 && w[1] == "say") {
        return IphoneMedia::writeSpokenVoice(file, trimmed(entry.arguments.substr(3)), serialOf(entry.path));
    }
    if (kind == "voice" && w.size() == 4 && w[1] == "tone" && parseSeconds(w[2], seconds) &&
        parseHertz(w[3], hertz)) {
        return IphoneMedia::writeToneVoice(file, seconds, hertz, serialOf(entry.path));
    }
    if (kind == "audio" && w.size() == 3 && parseSeconds(w[1], seconds) && parseHertz(w[2], hertz))
        return MediaFiles::writeAudio(file, seconds, hertz);
    if (kind == "document")
        return MediaFiles::writePdf(file, entry.arguments.empty() ? file.stem().string() : entry.arguments);
    if (kind == "text" && w.size() >= 2) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << entry.arguments << '\n';
        out.close();
        if (!out)
            return "cannot write " + file.string();
        return std::nullopt;
    }
    return std::string("cannot read the arguments");
}

}  // namespace

Failure AndroidMedia::prepareMediaFolder(const fs::path& whatsAppFolder) {
    const fs::path media = whatsAppFolder / "Media";
    std::error_code error;
    if (fs::exists(media / kMarker, error)) {
        fs::remove_all(media, error);
        if (error)
            return "cannot empty " + media.string() + ": " + error.message();
    } else if (fs::exists(media, error) && !fs::is_empty(media, error)) {
        return media.string() + " holds files this tool did not make: give an empty or new folder";
    }
    fs::create_directories(media, error);
    if (error)
        return "cannot create " + media.string() + ": " + error.message();
    std::ofstream(media / kMarker) << "made by talvio-fixture; rebuilt from scratch\n";
    return std::nullopt;
}

Failure AndroidMedia::build(const fs::path& listFile, const fs::path& whatsAppFolder) {
    std::string text;
    if (auto failure = readTextFile(listFile, text))
        return failure;
    if (auto failure = prepareMediaFolder(whatsAppFolder))
        return failure;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string content = trimmed(line);
        if (content.empty() || content.front() == '#')
            continue;
        const std::string where = listFile.string() + ":" + std::to_string(number) + ": ";
        const std::size_t bar = content.rfind(" | ");
        if (bar == std::string::npos)
            return where + "expected KIND ARGUMENTS | PATH, got \"" + content + "\"";
        Entry entry;
        entry.path = trimmed(content.substr(bar + 3));
        const std::string head = trimmed(content.substr(0, bar));
        std::istringstream words(head);
        for (std::string word; words >> word;)
            entry.words.push_back(word);
        entry.arguments = trimmed(head.substr(entry.words.empty() ? 0 : entry.words[0].size()));
        if (entry.words.empty() || !isAllowedPath(entry.path))
            return where + "expected a PATH inside the WhatsApp folder, got \"" + entry.path + "\"";
        const fs::path file = whatsAppFolder / fs::path(entry.path);
        std::error_code error;
        fs::create_directories(file.parent_path(), error);
        if (error)
            return "cannot create " + file.parent_path().string() + ": " + error.message();
        if (auto failure = makeFile(entry, file))
            return where + *failure;
    }
    return std::nullopt;
}

}  // namespace talvio::fixture
