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

}  // namespace

const char* CommandLine::helpText() {
    return R"(Usage: talvio-fixture COMMAND OPTIONS

Builds Android WhatsApp folders ("com.whatsapp") for Talvio's tests, samples and benchmarks.
Databases get the real legacy layout and end in WAL journal mode, cleanly closed.

  talvio-fixture android --sql-dir DIR --out FOLDER [--wal-tail FILE.sql] [--bare]
      FOLDER/databases/msgstore.db from DIR/msgstore.sql and FOLDER/databases/wa.db from
      DIR/wa.sql. The full table layout is created first, so the files hold only rows; each
      file runs as one transaction. A missing file means a folder without that database.
      DIR/pictures.txt, if present, lists "<number>.jpg" lines ('#' starts a comment): each
      becomes a small distinct JPEG in FOLDER/cache/Profile Pictures/.
      --wal-tail FILE.sql  apply FILE.sql to msgstore.db afterwards and leave it in a
                           non-empty msgstore.db-wal (with -shm), as on a copied phone folder
      --bare               do not create the layout: the SQL files bring their own tables

  talvio-fixture android-scale --contacts N --messages M --out FOLDER [--seed S] [--no-pictures]
      A generated folder of N contacts (about 5% groups) and M message rows, spread
      unevenly over the chats, with every message kind, group members, system rows and
      texts in many scripts, dated 2021-2025. The same seed (default 1) gives the same folder.
      --no-pictures        leave out the profile pictures

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
    while (reader.next(name)) {
        if (name == "--help" || name == "-h")
            return Help{};
        if (name == "--bare") {
            options.bare = true;
            continue;
        }
        if (name != "--sql-dir" && name != "--out" && name != "--wal-tail")
            return Invalid{"unknown option " + name};
        if (!reader.value(text))
            return missingValue(name);
        if (name == "--sql-dir")
            options.sqlDir = text;
        if (name == "--out")
            options.out = text;
        if (name == "--wal-tail")
            options.walTail = text;
    }
    if (options.sqlDir.empty())
        return Invalid{"android: --sql-dir is required"};
    if (options.out.empty())
        return Invalid{"android: --out is required"};
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
        if (name != "--contacts" && name != "--messages" && name != "--out" && name != "--seed") {
            return Invalid{"unknown option " + name};
        }
        if (!reader.value(text))
            return missingValue(name);
        bool ok = true;
        if (name == "--contacts")
            ok = haveContacts = parseNumber(text, options.contacts) && options.contacts > 0;
        if (name == "--messages")
            ok = haveMessages = parseNumber(text, options.messages) && options.messages >= 0;
        if (name == "--seed")
            ok = parseNumber(text, options.seed);
        if (name == "--out")
            options.out = text;
        if (!ok)
            return Invalid{name + ": not a valid number: " + text};
    }
    if (!haveContacts)
        return Invalid{"android-scale: --contacts is required"};
    if (!haveMessages)
        return Invalid{"android-scale: --messages is required"};
    if (options.out.empty())
        return Invalid{"android-scale: --out is required"};
    return options;
}

}  // namespace talvio::fixture
