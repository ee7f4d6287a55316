// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Listing and rendering a 200,000-message export (an Android and an iPhone layout, made by our
// generator) against the floor of reading the same file and checking that it is well-formed UTF-8,
// in the same run; and listing a folder of 500 small exports.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench/timing.h"
#include "chatexport/chat_export_source.h"
#include "chatexport/export_fixture.h"
#include "platform/file_ops.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/program_state.h"
#include "sources/text_convert.h"

using namespace talvio;
using namespace talvio::chatexport;

namespace {

constexpr std::size_t kMessages = 200'000;
constexpr double kLimit = 3.0;  // x (read + UTF-8 check)
constexpr std::size_t kSmallExports = 500;
constexpr double kSmallListLimit = 1.0;  // seconds

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "talvio-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern + "/";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

PhoneFolder exportFolder(const std::string& path) {
    PhoneFolder folder;
    folder.kind = kSourceChatExport;
    folder.dataFolder = path;
    return folder;
}

bool measure(const char* layoutId) {
    const fixture::ExportLayout& layout = *fixture::findLayout(layoutId);
    ScratchFolder folder;
    const fixture::GeneratedChat chat = fixture::makeConversation(layout, kMessages, 1577865600, 157);
    const std::string path = fixture::writeExport(layout, chat, fixture::ExportForm::Text, folder.path());

    std::size_t size = 0;
    const double floor = bench::medianSeconds(5, [&] {
        const auto bytes = platform::readRegularFile(path, std::size_t{1} << 30);
        size = bytes->size();
        if (!isWellFormedUtf8(*bytes))
            std::abort();
    });
    int messages = 0;
    const double reading = bench::medianSeconds(5, [&] {
        ChatExportSource source(exportFolder(path));
        ContactTable table;
        source.LoadContacts(table);
        if (table.count() != 2) {
            std::fprintf(stderr, "%s: %d rows\n", path.c_str(), table.count());
            for (const std::string& problem : source.problems())
                std::fprintf(stderr, "%s\n", problem.c_str());
            std::abort();
        }
        const ContactEntry& entry = table.row(table.row(0).messageCount > 0 ? 0 : 1);
        messages = entry.messageCount;
        renderContact(source, entry, kViewer, chatPageBuffer());
    });
    std::printf("%s: %d messages, %.1f MB, page %.1f MB\n", layoutId, messages,
                static_cast<double>(size) / 1e6, static_cast<double>(chatPageBuffer().text().size()) / 1e6);
    const std::string name = std::string("list and render export ") + layoutId;
    return bench::reportRatio(name.c_str(), reading, floor, kLimit);
}

bool measureSmallExports() {
    ScratchFolder folder;
    for (std::size_t i = 0; i < kSmallExports; ++i) {
        const fixture::ExportLayout& layout = fixture::fixtureLayouts()[i % fixture::fixtureLayouts().size()];
        const fixture::GeneratedChat chat =
            fixture::makeConversation(layout, 40, 1577865600 + static_cast<std::int64_t>(i) * 86400, 97);
        const std::string sub = folder.path() + "chat-" + std::to_string(i) + "/";
        std::filesystem::create_directories(sub);
        fixture::writeExport(layout, chat, fixture::ExportForm::Text, sub);
    }
    int rows = 0;
    const double listing = bench::medianSeconds(3, [&] {
        ChatExportSource source(exportFolder(folder.path()));
        ContactTable table;
        source.LoadContacts(table);
        rows = table.count() - 1;
    });
    std::printf("%d small exports listed in %.3f s (limit %.1f s) %s\n", rows, listing, kSmallListLimit,
                listing <= kSmallListLimit ? "ok" : "OVER");
    return rows == static_cast<int>(kSmallExports) && listing <= kSmallListLimit;
}

}  // namespace

int main() {
    bench::printLoad();
    const bool android = measure("en-android-12h");
    const bool iphone = measure("de-iphone-24h");
    const bool small = measureSmallExports();
    return android && iphone && small ? 0 : 1;
}
