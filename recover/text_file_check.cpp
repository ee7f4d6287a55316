// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/text_file_check.h"

#include <cstdio>
#include <memory>

#include "recover/trim.h"
#include "sources/text_convert.h"

namespace talvio::recover {
namespace {

// The file is narrow program text; the database and the message boxes get it as well-formed UTF-8.
std::string wellFormedUtf8(std::string_view line) {
    return WideToUtf8(AnsiToWide(line));
}

// The texts carry one %d and one %s; the line's own text is inserted verbatim, never re-scanned.
std::string filled(std::string_view format, int number, std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && (format[i + 1] == 'd' || format[i + 1] == 's')) {
            if (format[i + 1] == 'd') {
                out += std::to_string(number);
            } else {
                out += text;
            }
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return std::nullopt;
    std::string content;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        content.append(buffer, got);
    // A folder opens on Linux and fails only when read: that is an unreadable file, not an empty one.
    if (std::ferror(file.get()))
        return std::nullopt;
    return content;
}

}  // namespace

FormatCheck checkRecoverText(std::string_view text) {
    // Editors save UTF-8 with a byte-order mark; it is an encoding mark, not part of the first line.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);

    FormatCheck check;
    MessageGroup group;
    int n = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        const std::string_view line = trimmed(raw);
        if (line.empty())
            continue;
        switch (n % 3) {
            case 0:
                if (auto time = parseTimeLine(line)) {
                    group.time = *time;
                    group.timeLine = std::string(line);
                } else {
                    check.error = Notice{
                        filled(kTimeLineWrongFormat, n + 1, wellFormedUtf8(line)) + kTimeLineHints, {}};
                    check.groups.clear();
                    return check;
                }
                break;
            case 1:
                group.message = wellFormedUtf8(line);
                break;
            case 2:
                if (n == 2 && line != "4" && line != "2") {
                    check.error = Notice{filled(kTypeLineWrongFormat, 3, wellFormedUtf8(line)), {}};
                    check.groups.clear();
                    return check;
                }
                group.type = wellFormedUtf8(line);
                check.groups.push_back(std::move(group));
                group = MessageGroup{};
                break;
        }
        ++n;
    }
    return check;
}

FormatCheck checkRecoverFile(const std::string& utf8Path) {
    FormatCheck check;
    if (utf8Path.empty()) {
        check.error = Notice{kNoTextFileText, {}};
        return check;
    }
    const std::optional<std::string> content = readWholeFile(utf8Path);
    if (!content) {
        check.error = Notice{kTextFileOpenFailedText, {}};
        return check;
    }
    return checkRecoverText(*content);
}

Notice formatCheckNotice(const FormatCheck& check) {
    return check.error ? *check.error : Notice{kFormatCorrectText, {}};
}

}  // namespace talvio::recover
