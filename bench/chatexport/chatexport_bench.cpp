// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Reading a 200,000-message export (an Android and an iPhone layout, made by our generator) against
// the floor of reading the same file and checking that it is well-formed UTF-8, in the same run.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench/timing.h"
#include "chatexport/export_fixture.h"
#include "chatexport/export_opener.h"
#include "platform/file_ops.h"
#include "sources/text_convert.h"

using namespace talvio;
using namespace talvio::chatexport;

namespace {

constexpr std::size_t kMessages = 200'000;
constexpr double kLimit = 12.0;  // x (read + UTF-8 check)

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
    std::size_t messages = 0;
    const double reading = bench::medianSeconds(5, [&] {
        ChatExport read;
        if (!readTextExport(path, read).empty())
            std::abort();
        messages = read.messages().size();
    });
    std::printf("%s: %zu messages, %.1f MB\n", layoutId, messages, static_cast<double>(size) / 1e6);
    const std::string name = std::string("read export ") + layoutId;
    return bench::reportRatio(name.c_str(), reading, floor, kLimit);
}

}  // namespace

int main() {
    bench::printLoad();
    const bool android = measure("en-android-12h");
    const bool iphone = measure("de-iphone-24h");
    return android && iphone ? 0 : 1;
}
