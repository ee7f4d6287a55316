// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/export_fixture.h"

#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace talvio::chatexport::fixture {

namespace {

constexpr const char* kLeftToRight = "\xE2\x80\x8E";
constexpr const char* kRightToLeft = "\xE2\x80\x8F";

struct Civil {
    int year, month, day;
};

// The inverse of days-from-civil (Howard Hinnant's method).
Civil civilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

std::string number(int value, int width, bool arabic) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    if (!arabic)
        return buffer;
    std::string out;
    for (const char* c = buffer; *c; ++c) {
        out += '\xD9';
        out += static_cast<char>(0xA0 + (*c - '0'));
    }
    return out;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

struct MediaSample {
    MediaKind kind;
    const char* android;  // file name on an Android phone
    const char* iphone;   // file name on an iPhone
};

constexpr MediaSample kMedia[] = {
    {MediaKind::Image, "IMG-%D-WA%N.jpg", "%N-PHOTO-%T.jpg"},
    {MediaKind::Voice, "PTT-%D-WA%N.opus", "%N-AUDIO-%T.opus"},
    {MediaKind::Video, "VID-%D-WA%N.mp4", "%N-VIDEO-%T.mp4"},
    {MediaKind::Document, "DOC-%D-WA%N.pdf", "%N-Trip plan (final).pdf"},
    {MediaKind::Audio, "AUD-%D-WA%N.mp3", "%N-Song.mp3"},
    {MediaKind::Sticker, "STK-%D-WA%N.webp", "%N-STICKER-%T.webp"},
};

std::string mediaName(const ExportLayout& layout, const MediaSample& sample, std::int64_t time, int serial) {
    const Civil date = civilFromDays(time / 86400);
    const int seconds = static_cast<int>(time % 86400);
    const std::string day =
        number(date.year, 4, false) + number(date.month, 2, false) + number(date.day, 2, false);
    const std::string stamp = number(date.year, 4, false) + "-" + number(date.month, 2, false) + "-" +
                              number(date.day, 2, false) + "-" + number(seconds / 3600, 2, false) + "-" +
                              number(seconds / 60 % 60, 2, false) + "-" + number(seconds % 60, 2, false);
    if (layout.iphone)
        return replaceAll(replaceAll(sample.iphone, "%N", number(serial, 8, false)), "%T", stamp);
    return replaceAll(replaceAll(sample.android, "%D", day), "%N", number(serial, 4, false));
}

std::string omittedWord(const ExportLayout& layout, MediaKind kind) {
    if (!layout.iphone)
        return layout.omittedAndroid;
    return kind == MediaKind::Video   ? layout.omittedVideo
           : kind == MediaKind::Audio ? layout.omittedAudio
                                      : layout.omittedImage;
}

}  // namespace

std::string formatHeaderTime(const ExportLayout& layout, std::int64_t localTime) {
    const Civil date = civilFromDays(localTime / 86400);
    const int secondOfDay = static_cast<int>(localTime % 86400);
    const bool arabic = layout.arabicDigits;
    const int width = layout.padDayMonth ? 2 : 1;
    const std::string year =
        layout.fourDigitYear ? number(date.year, 4, arabic) : number(date.year % 100, 2, arabic);
    const std::string month = number(date.month, width, arabic);
    const std::string day = number(date.day, width, arabic);
    std::string fields[3];
    if (layout.order == DateOrder::DayMonthYear)
        fields[0] = day, fields[1] = month, fields[2] = year;
    if (layout.order == DateOrder::MonthDayYear)
        fields[0] = month, fields[1] = day, fields[2] = year;
    if (layout.order == DateOrder::YearMonthDay)
        fields[0] = year, fields[1] = month, fields[2] = day;
    const std::string mark = arabic ? kRightToLeft : "";
    std::string text =
        fields[0] + mark + layout.dateSeparator + fields[1] + mark + layout.dateSeparator + fields[2];
    text += layout.afterDate;

    int hour = secondOfDay / 3600;
    std::string half;
    if (layout.twelveHour) {
        half = hour < 12 ? layout.am : layout.pm;
        hour = hour % 12 == 0 ? 12 : hour % 12;
    }
    std::string clock =
        number(hour, layout.twelveHour ? 1 : 2, arabic) + ":" + number(secondOfDay / 60 % 60, 2, arabic);
    if (layout.seconds)
        clock += ":" + number(secondOfDay % 60, 2, arabic);
    if (!layout.twelveHour)
        return text + clock;
    return layout.halfBeforeTime ? text + half + clock : text + clock + layout.halfSpace + half;
}

GeneratedChat makeConversation(const ExportLayout& layout, std::size_t count, std::int64_t firstTime,
                               std::int64_t step) {
    GeneratedChat chat;
    chat.name = layout.chatName;
    chat.senders = layout.people;
    if (layout.iphone)
        chat.senders.push_back(layout.chatName);  // iPhone notices are "written" by the chat
    const int chatSender = static_cast<int>(chat.senders.size()) - 1;
    int serial = 1;
    for (std::size_t i = 0; i < count; ++i) {
        std::int64_t time = firstTime + static_cast<std::int64_t>(i) * step;
        if (!layout.seconds)
            time -= time % 60;
        Message m;
        m.localTime = time;
        m.timeText = formatHeaderTime(layout, time);
        m.sender = static_cast<int>(i % layout.people.size());
        const std::string n = std::to_string(i);
        const MediaSample& sample = kMedia[(i / 12) % std::size(kMedia)];
        switch (i == 0 ? 12 : i % 12) {
            case 0:
                m.text = "Hello, message " + n + " 👋";
                break;
            case 1:
                m.text = "First line of " + n + "\nsecond line\n\nafter an empty line";
                break;
            case 2:
            case 7:
                m.kind = MessageKind::Attachment;
                m.media = i % 12 == 2 ? sample.kind : kMedia[(i / 12 + 2) % std::size(kMedia)].kind;
                m.attachment = mediaName(
                    layout, i % 12 == 2 ? sample : kMedia[(i / 12 + 2) % std::size(kMedia)], time, serial++);
                if (!layout.iphone && i % 24 == 2)
                    m.text = "Caption of " + n;
                break;
            case 3:
                m.text = "Note: meet at 10:30 - ok? (" + n + ")";
                break;
            case 4:
                m.text =
                    "Dates inside a message stay text:\n12/5 - not a header\n2022-13-45, 10:00 - nor this";
                break;
            case 5:
                m.kind = MessageKind::MediaOmitted;
                m.media =
                    layout.iphone ? (i % 24 == 5 ? MediaKind::Image : MediaKind::Video) : MediaKind::Other;
                break;
            case 6:
                m.kind = MessageKind::Event;
                m.text =
                    replaceAll(replaceAll(layout.addedEvent, "%1", layout.people[0]), "%2", layout.people[2]);
                m.sender = layout.iphone ? chatSender : -1;
                break;
            case 8:
                m.text = "(" + n + ") ends with a bracket (like a file line)";
                break;
            case 9:
                m.text = "  indented " + n;
                break;
            case 10:
                m.text = "Sure:";
                break;
            case 11:
                m.text = "<not an attachment> " + n;
                break;
            case 12:
                m.kind = MessageKind::Event;
                m.text = layout.encryptionNotice;
                m.sender = layout.iphone ? chatSender : -1;
                break;
        }
        chat.messages.push_back(std::move(m));
    }
    return chat;
}

std::string exportText(const ExportLayout& layout, const GeneratedChat& chat) {
    std::string out;
    for (const Message& m : chat.messages) {
        const bool media = m.kind == MessageKind::Attachment || m.kind == MessageKind::MediaOmitted;
        std::string first;
        if (m.kind == MessageKind::Attachment) {
            first = layout.iphone ? "<" + layout.attachedWord + ": " + m.attachment + ">"
                                  : m.attachment + " (" + layout.attachedWord + ")";
        } else if (m.kind == MessageKind::MediaOmitted) {
            first = omittedWord(layout, m.media);
        } else {
            first = m.text;
        }
        if (layout.iphone) {
            if (media)
                out += kLeftToRight;
            out += "[" + m.timeText + "] " + chat.senders[static_cast<std::size_t>(m.sender)] + ": ";
            if (media || m.kind == MessageKind::Event)
                out += kLeftToRight;
        } else {
            out += m.timeText + " - ";
            if (m.sender >= 0)
                out += chat.senders[static_cast<std::size_t>(m.sender)] + ": ";
        }
        out += first;
        if (media && !m.text.empty())
            out += "\n" + m.text;
        out += "\n";
    }
    return out;
}

std::string attachmentBytes(const std::string& name) {
    return "Talvio test file: " + name + "\n";
}

std::string writeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries,
                     bool stored) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
    if (archive == nullptr)
        return "cannot create " + path;
    for (const auto& [name, bytes] : entries) {
        // The entries' bytes outlive zip_close, which is when libzip reads them.
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index =
            source == nullptr ? -1 : zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0 || (stored && zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                                             ZIP_CM_STORE, 0) != 0)) {
            if (source != nullptr && index < 0)
                zip_source_free(source);
            const std::string error = zip_strerror(archive);
            zip_discard(archive);
            return error;
        }
    }
    if (zip_close(archive) != 0) {
        const std::string error = zip_strerror(archive);
        zip_discard(archive);
        return error;
    }
    return {};
}

std::string writeExport(const ExportLayout& layout, const GeneratedChat& chat, ExportForm form,
                        const std::string& folder) {
    namespace fs = std::filesystem;
    const auto write = [](const fs::path& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
        if (!out.flush())
            throw std::runtime_error("cannot write " + path.string());
    };
    const std::string text = exportText(layout, chat);
    if (form == ExportForm::Text) {
        const fs::path path = fs::path(folder) / layout.textFileName;
        write(path, text);
        return path.string();
    }
    std::vector<std::pair<std::string, std::string>> entries = {{layout.textFileName, text}};
    for (const Message& m : chat.messages)
        if (m.kind == MessageKind::Attachment)
            entries.emplace_back(m.attachment, attachmentBytes(m.attachment));
    if (form == ExportForm::Zip) {
        const fs::path path = fs::path(folder) / layout.archiveName;
        if (std::string error = writeZip(path.string(), entries); !error.empty())
            throw std::runtime_error(error);
        return path.string();
    }
    const fs::path exportFolder = fs::path(folder) / fs::path(layout.archiveName).stem();
    fs::create_directories(exportFolder);
    for (const auto& [name, bytes] : entries)
        write(exportFolder / name, bytes);
    return exportFolder.string();
}

}  // namespace talvio::chatexport::fixture
