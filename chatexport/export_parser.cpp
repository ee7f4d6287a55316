// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/export_parser.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "chatexport/date_order.h"
#include "chatexport/header_scanner.h"
#include "chatexport/media_words.h"

namespace talvio::chatexport {

namespace {

// An export starts with a header on its first line; a file whose first header comes later than
// this is some other text that happens to hold a date.
constexpr std::size_t kMaxLinesBeforeHeader = 50;
constexpr std::size_t kMaxNameBytes = 200;
constexpr std::size_t kBinaryCheckBytes = 4096;
constexpr std::string_view kLeftToRightMark = "\xE2\x80\x8E";

struct HeaderLine {
    std::size_t begin;  // offset of the line in the text
    std::size_t end;    // offset of its end, without "\r\n"
    std::size_t lineNumber;
};

std::string_view trimMarks(std::string_view text) {
    for (;;) {
        if (text.starts_with("\xE2\x80\x8E") || text.starts_with("\xE2\x80\x8F"))
            text.remove_prefix(3);
        else if (text.ends_with("\xE2\x80\x8E") || text.ends_with("\xE2\x80\x8F"))
            text.remove_suffix(3);
        else if (text.starts_with(' '))
            text.remove_prefix(1);
        else if (text.ends_with(' '))
            text.remove_suffix(1);
        else
            return text;
    }
}

// Appends each line of text after a '\n', with "\r\n" made "\n" and the last line end dropped.
void appendLines(std::string& out, std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    if (text.empty())
        return;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::size_t lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == '\r')
            --lineEnd;
        out += '\n';
        out.append(text.substr(start, lineEnd - start));
        start = end + 1;
    }
}

// One message from its header line and the continuation lines after it, filled in place.
void readMessage(std::string_view line, const RawHeader& header, const CivilDate& date,
                 std::string_view continuation, const std::function<bool(std::string_view)>& isPresent,
                 ChatExport& chat, Message& message) {
    message.localTime = localSeconds(date, header);
    message.timeText = line.substr(header.timeBegin, header.timeEnd - header.timeBegin);
    std::string_view body = line.substr(header.bodyBegin);

    std::size_t colon = body.find(": ");
    if (colon == std::string_view::npos && body.ends_with(':'))
        colon = body.size() - 1;
    std::string_view first = body;
    if (colon != std::string_view::npos && colon > 0 && colon <= kMaxNameBytes) {
        const std::string_view name = trimMarks(body.substr(0, colon));
        first = body.substr(std::min(body.size(), colon + 2));
        message.sender = name.empty() ? -1 : chat.addSender(name);
        // An iPhone writes its own notices ("Messages and calls are end-to-end encrypted", "This
        // message was deleted") in the sender's name, after a left-to-right mark.
        if (header.iphone && first.starts_with(kLeftToRightMark))
            message.kind = MessageKind::Event;
    } else {
        message.kind = MessageKind::Event;
    }

    const MediaLine media = readMediaLine(first, isPresent);
    if (media.kind != MessageKind::Text) {
        message.kind = media.kind;
        message.media = media.media;
        message.attachment = media.name;
        if (!continuation.empty()) {
            appendLines(message.text, continuation);
            message.text.erase(0, 1);  // the caption starts on the line after the media line
        }
        return;
    }
    message.text = message.kind == MessageKind::Event ? trimMarks(first) : first;
    if (!continuation.empty())
        appendLines(message.text, continuation);
}

}  // namespace

std::string parseExportText(std::string_view text, const std::function<bool(std::string_view)>& isPresent,
                            const std::string& label, ChatExport& chat) {
    const std::string notAnExport = label +
                                    " does not look like a chat exported by WhatsApp. Choose the .txt or "
                                    ".zip file that \"Export chat\" made, or the folder that holds it.";
    // A file copied off a failing phone can end in blocks of zeros: they are no text. A zero near
    // the start, though, marks a binary file.
    while (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    if (std::memchr(text.data(), '\0', std::min(text.size(), kBinaryCheckBytes)) != nullptr)
        return notAnExport;

    // First pass: every line that starts like a header. The date order needs all of them.
    std::vector<RawHeader> headers;
    std::vector<HeaderLine> lines;
    headers.reserve(text.size() / 64);
    lines.reserve(text.size() / 64);
    std::size_t lineNumber = 0;
    RawHeader header;
    for (std::size_t start = 0; start < text.size(); ++lineNumber) {
        const void* newline = std::memchr(text.data() + start, '\n', text.size() - start);
        const std::size_t next = newline ? static_cast<const char*>(newline) - text.data() + 1 : text.size();
        std::size_t end = newline ? next - 1 : next;
        if (end > start && text[end - 1] == '\r')
            --end;
        if (scanHeader(text.substr(start, end - start), header)) {
            headers.push_back(header);
            lines.push_back({start, end, lineNumber});
        }
        start = next;
    }
    if (headers.empty())
        return notAnExport;
    const DateOrder order = decideDateOrder(headers);

    // Second pass: headers that are real dates in that order start messages; every other line
    // continues the message before it.
    std::vector<std::pair<std::size_t, CivilDate>> starts;
    starts.reserve(headers.size());
    for (std::size_t i = 0; i < headers.size(); ++i) {
        if (const auto date = dateIn(headers[i], order))
            starts.emplace_back(i, *date);
    }
    if (starts.empty() || lines[starts.front().first].lineNumber > kMaxLinesBeforeHeader)
        return notAnExport;

    std::size_t unknown = 0;
    for (std::string_view before = text.substr(0, lines[starts.front().first].begin); !before.empty();) {
        const std::size_t newline = before.find('\n');
        const std::string_view line = trimMarks(before.substr(0, newline));
        if (!line.empty() && line != "\r")
            ++unknown;
        before = newline == std::string_view::npos ? std::string_view{} : before.substr(newline + 1);
    }
    chat.setUnknownLines(unknown);

    std::vector<Message>& messages = chat.messages();
    messages.reserve(messages.size() + starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const HeaderLine& line = lines[starts[i].first];
        const std::size_t lineEnd = text.find('\n', line.end);
        const std::size_t from = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
        const std::size_t to = i + 1 < starts.size() ? lines[starts[i + 1].first].begin : text.size();
        readMessage(text.substr(line.begin, line.end - line.begin), headers[starts[i].first],
                    starts[i].second, text.substr(from, to - from), isPresent, chat, messages.emplace_back());
    }
    return {};
}

}  // namespace talvio::chatexport
