// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <vector>

#include "chatexport/chat_export.h"
#include "chatexport/date_order.h"

namespace talvio::chatexport::fixture {

// How one phone in one language writes an export: what our generator imitates.
struct ExportLayout {
    std::string id;  // e.g. "de-android-24h"
    bool iphone = false;
    DateOrder order = DateOrder::DayMonthYear;
    char dateSeparator = '/';
    bool fourDigitYear = false;
    bool padDayMonth = true;       // "08/03" rather than "8/3"
    std::string afterDate = ", ";  // between date and time: ", ", " ", "، "
    bool twelveHour = false;
    bool halfBeforeTime = false;  // "下午9:41" rather than "9:41 PM"
    std::string halfSpace = " ";  // before a trailing AM/PM word: space, U+00A0 or U+202F
    std::string am;
    std::string pm;
    bool seconds = false;
    bool arabicDigits = false;  // Arabic-Indic digits with U+200F after each date field
    std::string textFileName;   // Android: the .txt's name; iPhone: "_chat.txt"
    std::string archiveName;    // the .zip's name
    std::string attachedWord;   // Android "(file attached)" words, or the iPhone "<attached: …>" word
    std::string omittedAndroid;
    std::string omittedImage;  // iPhone words by kind
    std::string omittedVideo;
    std::string omittedAudio;
    std::string encryptionNotice;
    std::string addedEvent;  // "%1 added %2"
    std::string chatName;
    std::vector<std::string> people;  // the first is the phone's owner
};

// Twelve layouts: English, German, French, Spanish, Portuguese, Russian, Arabic, Chinese, Dutch
// and Japanese; 12- and 24-hour clocks; both kinds of phone.
const std::vector<ExportLayout>& fixtureLayouts();
const ExportLayout* findLayout(const std::string& id);

}  // namespace talvio::chatexport::fixture
