// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/iphone_fixture_builder.h"

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/database_build.h"
#include "tools/iphone_folder.h"
#include "tools/iphone_media.h"
#include "tools/iphone_picture.h"
#include "tools/iphone_schema.h"
#include "tools/profile_picture.h"
#include "tools/text_file.h"

namespace talvio::fixture {

namespace {

// One meaningful line of a list file, split at blanks; `rest` is the line after the first
// `words` words, for texts that contain blanks.
struct ListLine {
    int number = 0;
    std::vector<std::string> words;
    std::string text;

    std::string restAfter(std::size_t count) const {
        std::istringstream in(text);
        std::string word;
        for (std::size_t i = 0; i < count && in >> word; ++i) {
        }
        std::string rest;
        std::getline(in, rest);
        const std::size_t start = rest.find_first_not_of(" \t");
        return start == std::string::npos ? std::string() : rest.substr(start);
    }
};

Failure readList(const std::filesystem::path& file, std::vector<ListLine>& lines) {
    std::string text;
    if (auto failure = readTextFile(file, text))
        return failure;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        ListLine entry{number, {}, line.substr(start)};
        std::istringstream words(entry.text);
        for (std::string word; words >> word;)
            entry.words.push_back(word);
        lines.push_back(std::move(entry));
    }
    return std::nullopt;
}

// A relative path that stays inside its folder: the lists describe fixtures, and a slip in one
// must not write elsewhere.
bool isContainedPath(const std::string& text) {
    if (text.empty() || text.front() == '/')
        return false;
    for (const auto& part : std::filesystem::path(text)) {
        if (part == "..")
            return false;
    }
    return true;
}

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

bool parseNumber(const std::string& text, double& value) {
    try {
        std::size_t used = 0;
        value = std::stod(text, &used);
        return used == text.size() && value > 0;
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

Failure buildDatabase(const std::filesystem::path& sqlFile, const std::filesystem::path& database,
                      std::string_view schema) {
    std::string rows;
    if (auto failure = readTextFile(sqlFile, rows))
        return failure;
    DatabaseBuild build;
    if (auto failure = build.create(database, schema))
        return failure;
    if (auto failure = build.run(rows, sqlFile.filename().string()))
        return failure;
    return build.finish();
}

Failure drawProfilePictures(const std::filesystem::path& listFile, const std::filesystem::path& dataFolder) {
    std::vector<ListLine> lines;
    if (auto failure = readList(listFile, lines))
        return failure;
    for (const ListLine& line : lines) {
        const std::string where = listFile.string() + ":" + std::to_string(line.number) + ": ";
        if (line.words.size() != 1 || !isContainedPath(line.words[0]) ||
            std::filesystem::path(line.words[0]).extension() != ".jpg") {
            return where + "expected a relative path ending in .jpg, got \"" + line.text + "\"";
        }
        if (!ProfilePicture::available())
            return "pictures.txt needs a build with Qt";
        const std::filesystem::path file = dataFolder / line.words[0];
        std::error_code error;
        std::filesystem::create_directories(file.parent_path(), error);
        if (error)
            return "cannot create " + file.parent_path().string() + ": " + error.message();
        if (auto failure = ProfilePicture::write(file, line.words[0]))
            return failure;
    }
    return std::nullopt;
}

Failure makeMediaFile(const ListLine& line, const std::filesystem::path& file, const std::string& where) {
    const std::vector<std::string>& w = line.words;
    const std::string& kind = w[0];
    int width = 0, height = 0;
    double seconds = 0;
    int hertz = 440;
    if (kind == "picture" && w.size() == 3 && parseSize(w[2], width, height)) {
        if (!IphonePicture::available())
            return "media.txt pictures need a build with Qt";
        return IphonePicture::write(file, width, height, w[1]);
    }
    if (kind == "voice" && w.size() >= 4 && w[2] == "say") {
        return IphoneMedia::writeSpokenVoice(file, line.restAfter(3), serialOf(w[1]));
    }
    if (kind == "voice" && w.size() == 5 && w[2] == "tone" && parseNumber(w[3], seconds) &&
        parseHertz(w[4], hertz)) {
        return IphoneMedia::writeToneVoice(file, seconds, hertz, serialOf(w[1]));
    }
    if (kind == "video" && (w.size() == 4 || w.size() == 5) && parseNumber(w[2], seconds) &&
        parseSize(w[3], width, height) && (w.size() == 4 || parseHertz(w[4], hertz))) {
        return IphoneMedia::writeVideo(file, seconds, width, height, hertz);
    }
    if (kind == "text" && w.size() >= 3) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << line.restAfter(2) << '\n';
        if (!out)
            return "cannot write " + file.string();
        return std::nullopt;
    }
    return where + "cannot read \"" + line.text + "\"";
}

Failure makeMedia(const std::filesystem::path& listFile, const std::filesystem::path& library) {
    std::vector<ListLine> lines;
    if (auto failure = readList(listFile, lines))
        return failure;
    for (const ListLine& line : lines) {
        const std::string where = listFile.string() + ":" + std::to_string(line.number) + ": ";
        if (line.words.size() < 2 || !isContainedPath(line.words[1])) {
            return where + "expected KIND PATH ..., with PATH relative to Library/, got \"" + line.text +
                   "\"";
        }
        const std::filesystem::path file = library / line.words[1];
        std::error_code error;
        std::filesystem::create_directories(file.parent_path(), error);
        if (error)
            return "cannot create " + file.parent_path().string() + ": " + error.message();
        if (auto failure = makeMediaFile(line, file, where))
            return failure;
    }
    return std::nullopt;
}

}  // namespace

Failure IphoneFixtureBuilder::build(const Options& options) {
    const std::filesystem::path chatSql = options.sqlDir / "chatstorage.sql";
    const std::filesystem::path contactsSql = options.sqlDir / "contacts.sql";
    const std::filesystem::path pictureList = options.sqlDir / "pictures.txt";
    const std::filesystem::path mediaList = options.sqlDir / "media.txt";
    if (!std::filesystem::exists(chatSql) && !std::filesystem::exists(contactsSql)) {
        return "neither chatstorage.sql nor contacts.sql in " + options.sqlDir.string();
    }
    if (std::filesystem::exists(mediaList) && options.resources.empty()) {
        return options.sqlDir.string() + " lists media: --resources is required";
    }

    const IphoneFolder folder(options.out, options.resources);
    if (auto failure = folder.prepare())
        return failure;
    if (std::filesystem::exists(chatSql)) {
        const auto schema = options.bare ? std::string_view() : IphoneSchema::chatStorage();
        if (auto failure = buildDatabase(chatSql, folder.chatStorage(), schema))
            return failure;
    }
    if (std::filesystem::exists(contactsSql)) {
        const auto schema = options.bare ? std::string_view() : IphoneSchema::contacts();
        if (auto failure = buildDatabase(contactsSql, folder.contacts(), schema))
            return failure;
    }
    if (std::filesystem::exists(pictureList)) {
        if (auto failure = drawProfilePictures(pictureList, folder.data()))
            return failure;
    }
    if (std::filesystem::exists(mediaList)) {
        if (auto failure = makeMedia(mediaList, folder.library()))
            return failure;
    }
    return std::nullopt;
}

}  // namespace talvio::fixture
