// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <filesystem>

#include "chatexport/export_opener.h"
#include "chatexport/export_parser.h"
#include "chatexport/export_text.h"
#include "chatexport/media_words.h"
#include "sources/text_convert.h"
#include "tests/support/temp_dir.h"

namespace talvio::chatexport {
namespace {

constexpr std::int64_t kDay = 86400;
// 2022-03-01 00:00 of the wall clock.
constexpr std::int64_t kMarch1 = 1646092800;

ChatExport parse(std::string_view text, const std::function<bool(std::string_view)>& isPresent = {}) {
    ChatExport chat;
    const std::string error = parseExportText(decodeExportText(text), isPresent, "chat.txt", chat);
    EXPECT_EQ(error, "");
    return chat;
}

std::string sender(const ChatExport& chat, const Message& message) {
    return message.sender < 0 ? "" : chat.senders()[static_cast<std::size_t>(message.sender)];
}

TEST(ExportDates, TheOrderIsDecidedOnceFromTheWholeFile) {
    // The first lines fit day-first and month-first alike; the last settles month-first, and
    // the early lines must then be read that way too.
    const ChatExport us = parse(
        "3/1/22, 9:00 AM - Ann: one\n"
        "3/2/22, 9:00 AM - Ann: two\n"
        "3/13/22, 9:00 AM - Ann: three\n");
    ASSERT_EQ(us.messages().size(), 3u);
    EXPECT_EQ(us.messages()[0].localTime, kMarch1 + 9 * 3600);
    EXPECT_EQ(us.messages()[1].localTime, kMarch1 + kDay + 9 * 3600);
    EXPECT_EQ(us.messages()[2].localTime, kMarch1 + 12 * kDay + 9 * 3600);

    const ChatExport european = parse(
        "01/03/2022, 09:00 - Ann: one\n"
        "02/03/2022, 09:00 - Ann: two\n"
        "13/03/2022, 09:00 - Ann: three\n");
    EXPECT_EQ(european.messages()[1].localTime, kMarch1 + kDay + 9 * 3600);

    // Without a field above 12, the order under which the dates keep rising wins.
    const ChatExport rising = parse(
        "03/10/22, 10:00 - Ann: a\n"
        "03/11/22, 10:00 - Ann: b\n"
        "04/02/22, 10:00 - Ann: c\n");
    EXPECT_EQ(rising.messages()[0].localTime, kMarch1 + 9 * kDay + 10 * 3600);
    const ChatExport risingDayFirst = parse(
        "10/03/22, 10:00 - Ann: a\n"
        "11/03/22, 10:00 - Ann: b\n"
        "02/04/22, 10:00 - Ann: c\n");
    EXPECT_EQ(risingDayFirst.messages()[0].localTime, kMarch1 + 9 * kDay + 10 * 3600);

    // Both orders rise through "3/1 … 3/12"; a chat that moves a day at a time is the likelier.
    std::string daily, dailyDayFirst;
    for (int day = 1; day <= 12; ++day) {
        daily += "3/" + std::to_string(day) + "/22, 10:00 - Ann: x\n";
        dailyDayFirst += std::to_string(day) + "/3/22, 10:00 - Ann: x\n";
    }
    EXPECT_EQ(parse(daily).messages()[1].localTime, kMarch1 + kDay + 10 * 3600);
    EXPECT_EQ(parse(dailyDayFirst).messages()[1].localTime, kMarch1 + kDay + 10 * 3600);
    // Two-digit years first: "22/03/18" is 2022-03-18, not 22 March 2018, in a chat of next days.
    const ChatExport shortYearFirst = parse("22/03/01, 10:00 - Ann: a\n22/03/02, 10:00 - Ann: b\n");
    EXPECT_EQ(shortYearFirst.messages()[0].localTime, kMarch1 + 10 * 3600);

    const ChatExport yearFirst = parse("2022-03-02 10:00 - Ann: a\n");
    EXPECT_EQ(yearFirst.messages()[0].localTime, kMarch1 + kDay + 10 * 3600);
}

TEST(ExportDates, TwelveHourClocksInTheirOwnWords) {
    // Each line is an export of its own: the date order belongs to a whole file.
    const std::pair<const char*, std::int64_t> cases[] = {
        {"3/13/22, 12:05 AM - Ann: just after midnight", 5 * 60},
        {"3/13/22, 12:30\xE2\x80\xAFPM - Ann: half past noon, narrow no-break space", 12 * 3600 + 30 * 60},
        {"13/3/22, 1:15\xC2\xA0p.\xC2\xA0m. - Ann: Spanish words, no-break spaces", 13 * 3600 + 15 * 60},
        {"13.3.22, 1:15 nachm. - Ann: German words", 13 * 3600 + 15 * 60},
        {"2022/3/13 下午2:00 - Ann: Chinese, before the time", 14 * 3600},
        {"2022/03/13 午前0:30 - Ann: Japanese midnight is 0", 30 * 60},
        {"2022. 3. 13. 오후 4:00 - Ann: Korean", 16 * 3600},
        {"[3/13/22, 5:00:07 PM] Ann: iPhone with seconds", 17 * 3600 + 7},
        {"\xE2\x80\x8E[13.3.22, 17:00:07] Ann: \xE2\x80\x8E<Anhang: IMG.jpg>", 17 * 3600 + 7},
        {"13-03-2022 17:00 - Ann: no comma after the date", 17 * 3600}};
    for (const auto& [line, seconds] : cases) {
        const ChatExport chat = parse(line);
        ASSERT_EQ(chat.messages().size(), 1u) << line;
        EXPECT_EQ(chat.messages()[0].localTime, kMarch1 + 12 * kDay + seconds) << line;
        EXPECT_EQ(sender(chat, chat.messages()[0]), "Ann") << line;
    }
    EXPECT_EQ(parse(cases[1].first).messages()[0].timeText, "3/13/22, 12:30\xE2\x80\xAFPM");
    EXPECT_EQ(parse(cases[2].first).messages()[0].timeText, "13/3/22, 1:15\xC2\xA0p.\xC2\xA0m.");
    EXPECT_EQ(parse(cases[4].first).messages()[0].timeText, "2022/3/13 下午2:00");
    EXPECT_EQ(parse(cases[7].first).messages()[0].timeText, "3/13/22, 5:00:07 PM");
}

TEST(ExportDates, ArabicAndPersianDigitsWithDirectionMarks) {
    const ChatExport chat = parse(
        "\xE2\x80\x8F١‏/٣‏/٢٠٢٢، ٩:٤١ م - أحمد: مرحبا\n"
        "۲‏/۳‏/۲۰۲۲، ۱۰:۰۵ ب.ظ - سارا: سلام\n"
        "۳‏/۳‏/۲۰۲۲، ۱۰:۰۵ عصر - سارا: سلام\n");
    ASSERT_EQ(chat.messages().size(), 3u);
    EXPECT_EQ(chat.messages()[0].localTime, kMarch1 + 21 * 3600 + 41 * 60);
    EXPECT_EQ(sender(chat, chat.messages()[0]), "أحمد");
    EXPECT_EQ(chat.messages()[0].text, "مرحبا");
    EXPECT_EQ(chat.messages()[1].localTime, kMarch1 + kDay + 22 * 3600 + 5 * 60);
    // An AM/PM word not known here still makes a header: the hour stays as written.
    EXPECT_EQ(chat.messages()[2].localTime, kMarch1 + 2 * kDay + 10 * 3600 + 5 * 60);
}

TEST(ExportText, ContinuationLinesEventsAndLinesOfUnknownForm) {
    const ChatExport chat = parse(
        "\xEF\xBB\xBFSome title the user typed\r\n"
        "\r\n"
        "another stray line\r\n"
        "18/03/2022, 21:41 - Messages and calls are end-to-end encrypted.\r\n"
        "18/03/2022, 21:42 - Anna: first line\r\n"
        "second: line\r\n"
        "32/03/2022, 10:00 - Ben: not a real date, so still Anna's text\r\n"
        "18/03/2022, 21:43 - Anna added Ben\r\n"
        "[18/03/2022, 21:44:05] Ben: \xE2\x80\x8EThis message was deleted.\r\n");
    EXPECT_EQ(chat.unknownLines(), 2u);
    ASSERT_EQ(chat.messages().size(), 4u);
    EXPECT_EQ(chat.messages()[0].kind, MessageKind::Event);
    EXPECT_EQ(chat.messages()[0].sender, -1);
    EXPECT_EQ(chat.messages()[0].text, "Messages and calls are end-to-end encrypted.");
    EXPECT_EQ(chat.messages()[1].text,
              "first line\nsecond: line\n32/03/2022, 10:00 - Ben: not a real date, so still Anna's text");
    EXPECT_EQ(chat.messages()[2].kind, MessageKind::Event);
    EXPECT_EQ(chat.messages()[2].text, "Anna added Ben");
    // An iPhone notice in a sender's name is an event that keeps the name.
    EXPECT_EQ(chat.messages()[3].kind, MessageKind::Event);
    EXPECT_EQ(sender(chat, chat.messages()[3]), "Ben");
    EXPECT_EQ(chat.messages()[3].text, "This message was deleted.");
    // Ben wrote only a notice, so he is no choice for "me"; the names list still has him.
    EXPECT_EQ(chat.ownerCandidates(), std::vector<std::string>{"Anna"});
    EXPECT_EQ(chat.senders(), (std::vector<std::string>{"Anna", "Ben"}));
}

TEST(ExportText, ZerosAtTheEndOfACopiedFileAreNoText) {
    const ChatExport chat = parse("18/03/2022, 21:41 - Anna: last words\n" + std::string(8192, '\0'));
    ASSERT_EQ(chat.messages().size(), 1u);
    EXPECT_EQ(chat.messages()[0].text, "last words");
}

TEST(ExportText, Utf16WithAByteOrderMarkReadsLikeUtf8) {
    const std::string utf8 = "18/03/2022, 21:41 - Zoë: Grüße 👋\n18/03/2022, 21:42 - 王芳: 你好\n";
    const std::u16string wide = Utf8ToWide(utf8);
    std::string little = "\xFF\xFE", big = "\xFE\xFF", unmarked;
    for (const char16_t unit : wide) {
        little += static_cast<char>(unit & 0xFF);
        little += static_cast<char>(unit >> 8);
        big += static_cast<char>(unit >> 8);
        big += static_cast<char>(unit & 0xFF);
    }
    unmarked = little.substr(2);
    for (const std::string& bytes : {little, big, unmarked}) {
        EXPECT_EQ(decodeExportText(bytes), utf8);
    }
    test::TempDir dir;
    test::writeFile(dir.path() + "WhatsApp Chat with Zoë.txt", little);
    const OpenOutcome outcome = openChatExports(dir.path() + "WhatsApp Chat with Zoë.txt");
    ASSERT_EQ(outcome.chats.size(), 1u);
    EXPECT_EQ(outcome.chats[0].name(), "Zoë");
    EXPECT_EQ(outcome.chats[0].messages()[0].text, "Grüße 👋");
}

TEST(ExportText, WhatIsNoExportSaysSo) {
    test::TempDir dir;
    const std::map<std::string, std::string> files = {
        {"notes.txt", "Shopping list\nmilk\neggs\n"},
        {"empty.txt", ""},
        {"picture.txt", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)},
        {"late.txt", std::string(60, '\n') + "18/03/2022, 21:41 - Anna: a date far down a letter\n"},
        {"photo.jpg", "not text"}};
    for (const auto& [name, bytes] : files)
        test::writeFile(dir.path() + name, bytes);
    const auto before = test::folderSnapshot(dir.path());
    for (const char* name : {"notes.txt", "empty.txt", "picture.txt", "late.txt"}) {
        const OpenOutcome outcome = openChatExports(dir.path() + name);
        EXPECT_TRUE(outcome.chats.empty()) << name;
        ASSERT_EQ(outcome.problems.size(), 1u) << name;
        EXPECT_NE(outcome.problems[0].find("does not look like a chat exported by WhatsApp"),
                  std::string::npos)
            << outcome.problems[0];
    }
    const OpenOutcome missing = openChatExports(dir.path() + "gone.txt");
    ASSERT_EQ(missing.problems.size(), 1u);
    EXPECT_NE(missing.problems[0].find("cannot be found"), std::string::npos);

    test::TempDir empty;
    test::writeFile(empty.path() + "photo.jpg", "x");
    const OpenOutcome none = openChatExports(empty.path());
    ASSERT_EQ(none.problems.size(), 1u);
    EXPECT_NE(none.problems[0].find("There is no chat exported by WhatsApp"), std::string::npos);
    EXPECT_EQ(test::folderSnapshot(dir.path()), before);
}

TEST(ExportMedia, AttachmentsAndOmittedMediaInTheirWords) {
    const auto present = [](std::string_view name) {
        return name == "Trip plan (final).pdf" || name == "x.jpg";
    };
    const ChatExport chat = parse(
        "18/03/2022, 10:00 - Ann: Trip plan (final).pdf (Dokument angefügt)\n"
        "Read this first\n"
        "18/03/2022, 10:01 - Ann: x.jpg (an unknown word, but the file is there)\n"
        "18/03/2022, 10:02 - Ann: y.jpg (an unknown word and no file)\n"
        "18/03/2022, 10:03 - Ann: PTT-20220318-WA0007.opus (file attached)\n"
        "18/03/2022, 10:04 - Ann: <Media omitted>\n"
        "18/03/2022, 10:05 - Ann: <Media weggelaten>\n"
        "[18/03/2022, 10:06:00] Ann: \xE2\x80\x8E<attached: 00000042-PHOTO-2022-03-18-10-06-00.jpg>\n"
        "[18/03/2022, 10:07:00] Ann: \xE2\x80\x8E"
        "Bild weggelassen\n"
        "[18/03/2022, 10:08:00] Ann: \xE2\x80\x8Eimagen omitida\n"
        "[18/03/2022, 10:09:00] Ann: <附件：00000043-VIDEO-2022-03-18-10-09-00.mp4>\n",
        present);
    ASSERT_EQ(chat.messages().size(), 10u);
    const auto& m = chat.messages();
    EXPECT_EQ(m[0].kind, MessageKind::Attachment);
    EXPECT_EQ(m[0].attachment, "Trip plan (final).pdf");
    EXPECT_EQ(m[0].media, MediaKind::Document);
    EXPECT_EQ(m[0].text, "Read this first");
    EXPECT_EQ(m[1].kind, MessageKind::Attachment);
    EXPECT_EQ(m[2].kind, MessageKind::Text);
    EXPECT_EQ(m[2].text, "y.jpg (an unknown word and no file)");
    EXPECT_EQ(m[3].media, MediaKind::Voice);
    for (std::size_t i : {4u, 5u}) {
        EXPECT_EQ(m[i].kind, MessageKind::MediaOmitted);
        EXPECT_EQ(m[i].text, "");
    }
    EXPECT_EQ(m[6].kind, MessageKind::Attachment);
    EXPECT_EQ(m[6].media, MediaKind::Image);
    EXPECT_EQ(m[6].attachment, "00000042-PHOTO-2022-03-18-10-06-00.jpg");
    EXPECT_EQ(m[7].kind, MessageKind::MediaOmitted);
    EXPECT_EQ(m[7].media, MediaKind::Image);
    EXPECT_EQ(m[8].media, MediaKind::Image);
    EXPECT_EQ(m[9].media, MediaKind::Video);
    EXPECT_EQ(sender(chat, m[9]), "Ann");
}

TEST(ExportMedia, KindsFromWhatsAppsFileNames) {
    const std::pair<const char*, MediaKind> cases[] = {
        {"IMG-20220318-WA0001.jpg", MediaKind::Image},
        {"PTT-20220318-WA0002.opus", MediaKind::Voice},
        {"VID-20220318-WA0003.mp4", MediaKind::Video},
        {"AUD-20220318-WA0004.m4a", MediaKind::Audio},
        {"DOC-20220318-WA0005.xlsx", MediaKind::Document},
        {"STK-20220318-WA0006.webp", MediaKind::Sticker},
        {"00000042-PHOTO-2022-03-27-21-41-55.jpg", MediaKind::Image},
        {"00000043-AUDIO-2022-03-27-21-41-55.opus", MediaKind::Voice},
        {"00000044-VIDEO-2022-03-27-21-41-55.mp4", MediaKind::Video},
        {"00000045-STICKER-2022-03-27-21-41-55.webp", MediaKind::Sticker},
        {"00000046-Report.PDF", MediaKind::Document},
        {"holiday.JPEG", MediaKind::Image},
        {"contact.vcf", MediaKind::Other}};
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(mediaKindOfName(name), kind) << name;
}

TEST(ExportFiles, ChatNamesFromTheFilesWhatsAppNames) {
    const std::pair<const char*, const char*> cases[] = {{"WhatsApp Chat with Anna Smith.txt", "Anna Smith"},
                                                         {"/some/where/WhatsApp-Chat mit Lena.txt", "Lena"},
                                                         {"Chat de WhatsApp con Ana (1).txt", "Ana"},
                                                         {"Чат WhatsApp с Анна.txt", "Анна"},
                                                         {"WhatsApp Chat - Hiking Club.zip", "Hiking Club"},
                                                         {"WhatsApp Chat - Group (2021).zip", "Group (2021)"},
                                                         {"my chat.txt", "my chat"}};
    for (const auto& [file, name] : cases)
        EXPECT_EQ(chatNameFromFileName(file), name) << file;
}

TEST(ExportFiles, AFolderOfManyExportsGivesEachChatAndNamesWhatFailed) {
    namespace fs = std::filesystem;
    test::TempDir dir;
    test::TempDir outside;
    const std::string android = "18/03/2022, 21:41 - Anna: IMG-1.jpg (file attached)\n";
    test::writeFile(dir.path() + "WhatsApp Chat with Anna.txt",
                    android + "18/03/2022, 21:42 - Anna: list.txt (file attached)\n");
    test::writeFile(dir.path() + "IMG-1.jpg", "picture");
    // A text document someone sent is an attachment, not an export that failed.
    test::writeFile(dir.path() + "list.txt", "milk\neggs\n");
    test::writeFile(
        dir.path() + "Ben/_chat.txt",
        "[18/03/2022, 21:41:00] Ben: hi\n[18/03/2022, 21:42:00] Ben: IMG-2.jpg (file attached)\n");
    // A link that leads out of the folder is no attachment, even under the right name.
    test::writeFile(outside.path() + "secret.jpg", "private");
    fs::create_symlink(outside.path() + "secret.jpg", dir.path() + "Ben/IMG-2.jpg");
    test::writeFile(dir.path() + "readme.txt", "These are my exports.\n");
    test::writeFile(dir.path() + "deep/er/WhatsApp Chat with Nobody.txt", android);
    const auto before = test::folderSnapshot(dir.path());

    const OpenOutcome outcome = openChatExports(dir.path());
    ASSERT_EQ(outcome.chats.size(), 2u);
    EXPECT_EQ(outcome.chats[0].name(), "Anna");
    EXPECT_EQ(outcome.chats[0].readAttachment("IMG-1.jpg", 100).bytes, "picture");
    EXPECT_EQ(outcome.chats[0].readAttachment("IMG-1.jpg", 3).error.empty(), false);
    EXPECT_EQ(outcome.chats[1].name(), "Ben");
    EXPECT_TRUE(outcome.chats[1].attachments().empty());
    EXPECT_NE(outcome.chats[1].readAttachment("IMG-2.jpg", 100).error, "");
    ASSERT_EQ(outcome.problems.size(), 1u);
    EXPECT_NE(outcome.problems[0].find("readme.txt does not look like"), std::string::npos);
    EXPECT_EQ(test::folderSnapshot(dir.path()), before);
}

}  // namespace
}  // namespace talvio::chatexport
