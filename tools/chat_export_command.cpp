// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/chat_export_command.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "chatexport/export_fixture.h"

namespace talvio::fixture {

namespace {

namespace ce = talvio::chatexport::fixture;

// 2022-03-08 07:05 of the wall clock, and a step that is no whole number of hours.
constexpr std::int64_t kFirstTime = 1646723100;
constexpr std::int64_t kStep = 3 * 3600 + 17 * 60 + 13;

int invalid(const std::string& message) {
    std::fprintf(stderr, "talvio-fixture: chat-export: %s\n", message.c_str());
    return 2;
}

}  // namespace

bool isChatExportCommand(const std::vector<std::string>& arguments) {
    return !arguments.empty() && arguments[0] == "chat-export";
}

const char* chatExportHelpText() {
    return "talvio-fixture chat-export --out FOLDER [--layout ID|all] [--form txt|folder|zip|all]\n"
           "                           [--messages N]\n"
           "    Writes WhatsApp chat exports of our own (texts, media, omitted media, events) into\n"
           "    FOLDER. --layout defaults to all; --list-layouts prints the layouts' ids.\n";
}

int runChatExportCommand(const std::vector<std::string>& arguments) {
    std::string out, layoutId = "all", form = "all";
    std::size_t messages = 60;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--list-layouts") {
            for (const ce::ExportLayout& layout : ce::fixtureLayouts())
                std::printf("%s\n", layout.id.c_str());
            return 0;
        }
        if (name != "--out" && name != "--layout" && name != "--form" && name != "--messages")
            return invalid("unknown option " + name);
        if (++i >= arguments.size())
            return invalid(name + " needs a value");
        const std::string& value = arguments[i];
        if (name == "--out")
            out = value;
        if (name == "--layout")
            layoutId = value;
        if (name == "--form")
            form = value;
        if (name == "--messages") {
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), messages);
            if (error != std::errc() || end != value.data() + value.size() || messages == 0)
                return invalid("--messages needs a positive number");
        }
    }
    if (out.empty())
        return invalid("--out is required");
    if (layoutId != "all" && ce::findLayout(layoutId) == nullptr)
        return invalid("unknown layout " + layoutId + " (see --list-layouts)");
    std::vector<ce::ExportForm> forms;
    if (form == "txt" || form == "all")
        forms.push_back(ce::ExportForm::Text);
    if (form == "folder" || form == "all")
        forms.push_back(ce::ExportForm::Folder);
    if (form == "zip" || form == "all")
        forms.push_back(ce::ExportForm::Zip);
    if (forms.empty())
        return invalid("--form is txt, folder, zip or all");

    try {
        for (const ce::ExportLayout& layout : ce::fixtureLayouts()) {
            if (layoutId != "all" && layout.id != layoutId)
                continue;
            const ce::GeneratedChat chat = ce::makeConversation(layout, messages, kFirstTime, kStep);
            for (const ce::ExportForm each : forms) {
                // Each layout and form in a folder of its own: a .txt and its files share names.
                const std::filesystem::path folder = std::filesystem::path(out) / layout.id /
                                                     (each == ce::ExportForm::Text     ? "txt"
                                                      : each == ce::ExportForm::Folder ? "folder"
                                                                                       : "zip");
                std::filesystem::create_directories(folder);
                std::printf("%s\n", ce::writeExport(layout, chat, each, folder.string()).c_str());
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "talvio-fixture: chat-export: %s\n", error.what());
        return 1;
    }
    return 0;
}

}  // namespace talvio::fixture
