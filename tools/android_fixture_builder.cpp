// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/android_fixture_builder.h"

#include <sstream>
#include <string>

#include "tools/android_folder.h"
#include "tools/android_media.h"
#include "tools/android_schema.h"
#include "tools/database_build.h"
#include "tools/fixture_sql_functions.h"
#include "tools/profile_picture.h"
#include "tools/text_file.h"
#include "tools/wal_tail_writer.h"

namespace talvio::fixture {

Failure AndroidFixtureBuilder::build(const Options& options) {
    const std::filesystem::path msgstoreSql = options.sqlDir / "msgstore.sql";
    const std::filesystem::path waSql = options.sqlDir / "wa.sql";
    const std::filesystem::path pictureList = options.sqlDir / "pictures.txt";
    const std::filesystem::path mediaList = options.sqlDir / "media.txt";
    if (!std::filesystem::exists(msgstoreSql) && !std::filesystem::exists(waSql)) {
        return "neither msgstore.sql nor wa.sql in " + options.sqlDir.string();
    }
    if (options.walTail && !std::filesystem::exists(msgstoreSql)) {
        return "--wal-tail needs a msgstore.sql";
    }

    if (std::filesystem::exists(mediaList) && options.mediaOut.empty())
        return options.sqlDir.string() + " lists media: --media-out is required";

    const AndroidFolder folder(options.out);
    if (auto failure = folder.prepare())
        return failure;
    if (std::filesystem::exists(msgstoreSql)) {
        const std::string schema = options.bare ? std::string() : AndroidSchema::msgstore(options.layout);
        if (auto failure = buildDatabase(msgstoreSql, folder.msgstore(), schema))
            return failure;
    }
    if (std::filesystem::exists(waSql)) {
        const auto schema = options.bare ? std::string_view() : AndroidSchema::wa();
        if (auto failure = buildDatabase(waSql, folder.wa(), schema))
            return failure;
    }
    if (std::filesystem::exists(pictureList)) {
        if (auto failure = drawPictures(pictureList, folder.pictures()))
            return failure;
    }
    if (std::filesystem::exists(mediaList)) {
        if (auto failure = AndroidMedia::build(mediaList, options.mediaOut))
            return failure;
    }
    if (options.walTail) {
        std::string tail;
        if (auto failure = readTextFile(*options.walTail, tail))
            return failure;
        if (auto failure = WalTailWriter::apply(folder.msgstore(), tail))
            return failure;
    }
    return std::nullopt;
}

Failure AndroidFixtureBuilder::buildDatabase(const std::filesystem::path& sqlFile,
                                             const std::filesystem::path& database, std::string_view schema) {
    std::string rows;
    if (auto failure = readTextFile(sqlFile, rows))
        return failure;
    DatabaseBuild build;
    if (auto failure = build.create(database, schema))
        return failure;
    if (auto failure = addFixtureSqlFunctions(build.database().handle()))
        return failure;
    if (auto failure = build.run(rows, sqlFile.filename().string()))
        return failure;
    return build.finish();
}

Failure AndroidFixtureBuilder::drawPictures(const std::filesystem::path& listFile,
                                            const std::filesystem::path& folder) {
    std::string list;
    if (auto failure = readTextFile(listFile, list))
        return failure;
    std::istringstream lines(list);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
            line.pop_back();
        }
        if (line.empty() || line.front() == '#')
            continue;
        const std::filesystem::path name(line);
        if (name.has_parent_path() || name.extension() != ".jpg" || line == ".jpg") {
            return listFile.string() + ":" + std::to_string(lineNumber) + ": expected <number>.jpg, got \"" +
                   line + "\"";
        }
        if (!ProfilePicture::available())
            return "pictures.txt needs a build with Qt";
        if (auto failure = ProfilePicture::write(folder / name, line))
            return failure;
    }
    return std::nullopt;
}

}  // namespace talvio::fixture
