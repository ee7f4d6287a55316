// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/command_line.h"

#include <charconv>
#include <cstdint>

namespace talvio::fixture {

namespace {

template <typename Number>
bool parseNumber(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

// Walks "--name value" pairs and "--flag"s after the subcommand.
class OptionReader {
public:
    explicit OptionReader(const std::vector<std::string>& arguments) : m_arguments(arguments) {}

    bool next(std::string& name) {
        if (m_index >= m_arguments.size())
            return false;
        name = m_arguments[m_index++];
        return true;
    }
    bool value(std::string& text) {
        if (m_index >= m_arguments.size())
            return false;
        text = m_arguments[m_index++];
        return true;
    }

private:
    const std::vector<std::string>& m_arguments;
    std::size_t m_index = 1;
};

CommandLine::Invalid missingValue(const std::string& option) {
    return {option + " needs a value"};
}

CommandLine::Invalid unknownLayout(const std::string& text) {
    return {"--layout: expected legacy, modern or mixed, got \"" + text + "\""};
}

}  // namespace

const char* CommandLine::helpText() {
    return R"(Usage: talvio-fixture COMMAND OPTIONS

Builds Android WhatsApp folders ("com.whatsapp") for Talvio's tests, samples and benchmarks.
Databases get a real table layout and end in WAL journal mode, cleanly closed.

  talvio-fixture android --sql-dir DIR --out FOLDER [--layout L] [--wal-tail FILE.sql] [--bare]
                         [--media-out WHATSAPP]
      FOLDER/databases/msgstore.db from DIR/msgstore.sql and FOLDER/databases/wa.db from
      DIR/wa.sql. The full table layout is created first, so the files hold only rows; each
      file runs as one transaction. A missing file means a folder without that database.
      DIR/pictures.txt, if present, lists "<number>.jpg" lines ('#' starts a comment): each
      becomes a small distinct JPEG in FOLDER/cache/Profile Pictures/.
      The SQL may call media_data(PATH, SIZE) for the Java-serialized MediaData of legacy
      thumb_image, and preview_jpeg(SEED, WIDTH, HEIGHT) for preview blobs.
      DIR/media.txt, if present, lists media files "KIND ARGUMENTS | PATH" ('#' starts a
      comment), PATH relative to the phone's WhatsApp folder, made with the real encoders:
        picture WxH  sticker WxH (WebP)  gif SECONDS WxH (silent MP4)
        video SECONDS WxH [HERTZ]  voice say TEXT  voice tone SECONDS HERTZ
        audio SECONDS HERTZ (.m4a/.mp3/.ogg)  document [TITLE] (PDF)  text TEXT
      --media-out WHATSAPP the WhatsApp folder that gets Media/ (needed with media.txt);
                           Media/ is rebuilt from scratch each time
      --wal-tail FILE.sql  apply FILE.sql to msgstore.db afterwards and leave it in a
                           non-empty msgstore.db-wal (with -shm), as on a copied phone folder
      --bare               do not create the layout: the SQL files bring their own tables
                           (not with --layout)

  talvio-fixture android-scale --contacts N --messages M --out FOLDER [--seed S] [--layout L]
                               [--no-pictures] [--media N [--media-out WHATSAPP]] [--kinds P]
      A generated folder of N contacts (about 5% groups) and M message rows, spread
      unevenly over the chats, with every message kind, group members, system rows and
      texts in many scripts, dated 2021-2025. The same seed (default 1) gives the same folder.
      In the modern layout some people and most groups are missing from wa.db, and from 2025
      on about 3% of the chats and the members of some groups go by "@lid" jids, which
      jid_map resolves to phone jids.
      --no-pictures        leave out the profile pictures
      --media N            N real small media files named by the media rows, under
                           --media-out (default: "WhatsApp" beside FOLDER)/Media: most where
                           the row says, some moved to another folder, the rest missing
      --kinds P            (modern) P% of the largest chat's messages become replies,
                           reactions, edits, forwards, places, cards, polls, events,
                           deletions and calls

  --layout L, for both commands, picks the tables of msgstore.db:
      legacy  "messages" with "chat_list", as phones wrote them up to about 2022 (the default)
      modern  "message", "chat", "jid", "jid_map" and their side tables, as since 2022
      mixed   both sets, as in many databases of 2020-2022; android-scale puts the data in
              "messages" and copies only the newest few rows into "message"

  talvio-fixture --help
      This text.

Earlier databases, their -wal/-shm companions and *.jpg profile pictures in FOLDER are
replaced; nothing else there is touched.
)";
}

CommandLine::Command CommandLine::parse(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return Invalid{"no command given (try --help)"};
    const std::string& command = arguments.front();
    if (command == "--help" || command == "-h" || command == "help")
        return Help{};
    if (command == "android")
        return parseAndroid(arguments);
    if (command == "android-scale")
        return parseScale(arguments);
    return Invalid{"unknown command \"" + command + "\" (try --help)"};
}

CommandLine::Command CommandLine::parseAndroid(const std::vector<std::string>& arguments) {
    AndroidFixtureBuilder::Options options;
    OptionReader reader(arguments);
    std::string name, text;
    bool layoutGiven = false;
    while (reader.next(name)) {
        if (name == "--help" || name == "-h")
            return Help{};
        if (name == "--bare") {
            options.bare = true;
            continue;
        }
        if (name != "--sql-dir" && name != "--out" && name != "--wal-tail" && name != "--layout" &&
            name != "--media-out") {
            return Invalid{"unknown option " + name};
        }
        if (!reader.value(text))
            return missingValue(name);
        if (name == "--sql-dir")
            options.sqlDir = text;
        if (name == "--out")
            options.out = text;
        if (name == "--wal-tail")
            options.walTail = text;
        if (name == "--media-out")
            options.mediaOut = text;
        if (name == "--layout") {
            const auto layout = parseAndroidLayout(text);
            if (!layout)
                return unknownLayout(text);
            options.layout = *layout;
            layoutGiven = true;
        }
    }
    if (options.sqlDir.empty())
        return Invalid{"android: --sql-dir is required"};
    if (options.out.empty())
        return Invalid{"android: --out is required"};
    // A bare build creates no tables, so a layout would silently mean nothing.
    if (options.bare && layoutGiven)
        return Invalid{"android: --bare and --layout exclude each other"};
    return options;
}

CommandLine::Command CommandLine::parseScale(const std::vector<std::string>& arguments) {
    ScaleGenerator::Options options;
    OptionReader reader(arguments);
    std::string name, text;
    bool haveContacts = false, haveMessages = false;
    while (reader.next(name)) {
        if (name == "--help" || name == "-h")
            return Help{};
        if (name == "--no-pictures") {
            options.pictures = false;
            continue;
        }
        if (name != "--contacts" && name != "--messages" && name != "--out" && name != "--seed" &&
            name != "--layout" && name != "--media" && name != "--media-out" && name != "--kinds") {
            return Invalid{"unknown option " + name};
        }
        if (!reader.value(text))
            return missingValue(name);
        if (name == "--layout") {
            const auto layout = parseAndroidLayout(text);
            if (!layout)
                return unknownLayout(text);
            options.layout = *layout;
            continue;
        }
        bool ok = true;
        if (name == "--contacts")
            ok = haveContacts = parseNumber(text, options.contacts) && options.contacts > 0;
        if (name == "--messages")
            ok = haveMessages = parseNumber(text, options.messages) && options.messages >= 0;
        if (name == "--seed")
            ok = parseNumber(text, options.seed);
        if (name == "--media")
            ok = parseNumber(text, options.mediaFiles) && options.mediaFiles >= 0;
        if (name == "--kinds")
            ok = parseNumber(text, options.kindsPercent) && options.kindsPercent <= 100;
        if (name == "--out")
            options.out = text;
        if (name == "--media-out")
            options.mediaOut = text;
        if (!ok)
            return Invalid{name + ": not a valid number: " + text};
    }
    if (!haveContacts)
        return Invalid{"android-scale: --contacts is required"};
    if (!haveMessages)
        return Invalid{"android-scale: --messages is required"};
    if (options.out.empty())
        return Invalid{"android-scale: --out is required"};
    if (options.mediaFiles > 0 && options.mediaOut.empty())
        options.mediaOut = options.out.parent_path() / "WhatsApp";
    return options;
}

}  // namespace talvio::fixture
