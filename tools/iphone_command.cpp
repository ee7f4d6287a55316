// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/iphone_command.h"

#include <charconv>
#include <cstdio>

#include "tools/iphone_fixture_builder.h"
#include "tools/iphone_scale.h"

namespace talvio::fixture {

namespace {

template <typename Number>
bool parseNumber(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

int invalid(const std::string& message) {
    std::fprintf(stderr, "talvio-fixture: %s\n", message.c_str());
    return 2;
}

int report(const Failure& failure) {
    if (!failure)
        return 0;
    std::fprintf(stderr, "talvio-fixture: %s\n", failure->c_str());
    return 1;
}

int runFolder(const std::vector<std::string>& arguments) {
    IphoneFixtureBuilder::Options options;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--bare") {
            options.bare = true;
            continue;
        }
        if (name != "--sql-dir" && name != "--out" && name != "--resources")
            return invalid("unknown option " + name);
        if (++i >= arguments.size())
            return invalid(name + " needs a value");
        if (name == "--sql-dir")
            options.sqlDir = arguments[i];
        if (name == "--out")
            options.out = arguments[i];
        if (name == "--resources")
            options.resources = arguments[i];
    }
    if (options.sqlDir.empty())
        return invalid("iphone: --sql-dir is required");
    if (options.out.empty())
        return invalid("iphone: --out is required");
    return report(IphoneFixtureBuilder::build(options));
}

int runScale(const std::vector<std::string>& arguments) {
    IphoneScaleGenerator::Options options;
    bool haveChats = false, haveMessages = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--no-pictures") {
            options.pictures = false;
            continue;
        }
        if (name != "--chats" && name != "--messages" && name != "--out" && name != "--seed") {
            return invalid("unknown option " + name);
        }
        if (++i >= arguments.size())
            return invalid(name + " needs a value");
        const std::string& text = arguments[i];
        bool ok = true;
        if (name == "--chats")
            ok = haveChats = parseNumber(text, options.chats) && options.chats > 0;
        if (name == "--messages")
            ok = haveMessages = parseNumber(text, options.messages) && options.messages >= 0;
        if (name == "--seed")
            ok = parseNumber(text, options.seed);
        if (name == "--out")
            options.out = text;
        if (!ok)
            return invalid(name + ": not a valid number: " + text);
    }
    if (!haveChats)
        return invalid("iphone-scale: --chats is required");
    if (!haveMessages)
        return invalid("iphone-scale: --messages is required");
    if (options.out.empty())
        return invalid("iphone-scale: --out is required");
    return report(IphoneScaleGenerator::build(options));
}

}  // namespace

bool isIphoneCommand(const std::vector<std::string>& arguments) {
    return !arguments.empty() && (arguments.front() == "iphone" || arguments.front() == "iphone-scale");
}

int runIphoneCommand(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(iphoneHelpText(), stdout);
            return 0;
        }
    }
    return arguments.front() == "iphone" ? runFolder(arguments) : runScale(arguments);
}

const char* iphoneHelpText() {
    return R"(iPhone folders ("group.net.whatsapp.WhatsApp.shared" with "net.whatsapp.WhatsApp"):
Core Data layouts with every column and index of the real stores, WAL journal mode.

  talvio-fixture iphone --sql-dir DIR --out FOLDER [--resources FOLDER] [--bare]
      --out/ChatStorage.sqlite from DIR/chatstorage.sql and --out/Contacts.sqlite from
      DIR/contacts.sql, on top of the full layout (the files hold only rows). Optional lists
      ('#' starts a comment):
      DIR/pictures.txt  one path per line relative to --out, such as
                        Media/Profile/4915112345678-1612345678.jpg: a small distinct JPEG
      DIR/media.txt     one file per line, PATH relative to --resources/Library/ (as
                        ZMEDIALOCALPATH stores it), made with the real encoders:
                          picture PATH WIDTHxHEIGHT        a JPEG (Qt)
                          voice PATH say TEXT...           Ogg Opus speech (espeak-ng, opusenc)
                          voice PATH tone SECONDS HERTZ    Ogg Opus tone (sox, opusenc)
                          video PATH SECONDS WIDTHxHEIGHT [HERTZ]
                                                           MP4, H.264 + AAC (ffmpeg)
                          text PATH TEXT...                a file holding TEXT (not media)
      --bare            do not create the layout: the SQL files bring their own tables

  talvio-fixture iphone-scale --chats N --messages M --out FOLDER [--seed S] [--no-pictures]
      A generated data folder of N chats (about 8% groups, a few without messages) and M
      messages spread unevenly over them, in date order, with every message kind, group
      members and push names, media items (the files are not made), REAL dates with
      fractions in 2021-2025, a Contacts.sqlite and profile pictures. Same seed, same folder.
)";
}

}  // namespace talvio::fixture
