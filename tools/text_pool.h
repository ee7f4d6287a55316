// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>

#include "tools/random.h"

namespace talvio::fixture {

// Made-up but natural texts for generated folders: names and messages in the scripts real
// histories mix (accented Latin, Chinese, Arabic, Cyrillic, Japanese, emoji with joiners and
// skin tones), so that conversion, escaping and layout meet them at scale.
class TextPool {
public:
    // Each chat mostly keeps to one language; messages borrow from the others now and then.
    static int languageCount();

    static std::string message(Random& random, int language);
    static std::string caption(Random& random, int language);
    // A name as saved in the phone's address book.
    static std::string addressBookName(Random& random);
    // A name a person chose for themselves in WhatsApp.
    static std::string chosenName(Random& random);
    static std::string groupSubject(Random& random);
    static std::string placeName(Random& random);
    static std::string documentName(Random& random);
    static std::string statusLine(Random& random);
};

}  // namespace talvio::fixture
