// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Any bytes as a contacts file and as typed phone numbers: cards hold one-line well-formed names
// and numbers, and every number that normalises is an international number the book then finds.
#include "fuzz/fuzz_support.h"
#include "sources/address_book.h"
#include "sources/phone_number.h"
#include "sources/text_convert.h"
#include "sources/vcard.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace talvio;

namespace {

constexpr std::string_view kOwners[] = {"", "1", "7", "36", "39", "44", "49", "61", "375"};

bool isDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void checkNumber(std::string_view typed) {
    for (const std::string_view owner : kOwners) {
        const std::string digits = normalizePhoneNumber(typed, owner);
        if (digits.empty())
            continue;
        FUZZ_CHECK(isDigits(digits) && digits.size() >= 7 && digits.size() <= 15,
                   "a normalised number is not 7 to 15 digits");
        FUZZ_CHECK(!callingCodeOf(digits).empty(), "a normalised number begins with no calling code");
        FUZZ_CHECK(normalizePhoneNumber("+" + digits, "") == digits,
                   "a normalised number does not normalise to itself");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asText(data, size);
    const std::vector<AddressCard> cards = parseVCards(bytes);
    for (const AddressCard& card : cards) {
        FUZZ_CHECK(!card.name.empty() && isWellFormedUtf8(card.name), "a card's name is empty or ill-formed");
        FUZZ_CHECK(std::none_of(card.name.begin(), card.name.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
                   "a card's name holds a control character");
        FUZZ_CHECK(!card.numbers.empty(), "a card without numbers was kept");
        for (const std::string& number : card.numbers) {
            FUZZ_CHECK(!number.empty() && isWellFormedUtf8(number), "a card's number is empty or ill-formed");
            checkNumber(number);
        }
    }

    const AddressBook book(cards, "49");
    for (const AddressCard& card : cards) {
        for (const std::string& number : card.numbers) {
            const std::string digits = normalizePhoneNumber(number, "49");
            if (!digits.empty())
                FUZZ_CHECK(book.nameFor(digits + "@s.whatsapp.net") != nullptr,
                           "the book lost a number it was given");
        }
    }

    // The input's lines as typed numbers and as jids.
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= bytes.size() && lines.size() < 1000) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        lines.emplace_back(bytes.substr(start, end - start));
        checkNumber(lines.back());
        if (book.nameFor(lines.back()) != nullptr)
            FUZZ_CHECK(!personJidDigits(lines.back()).empty() || isDigits(lines.back()),
                       "a name was found for something that is no person jid");
        start = end + 1;
    }
    const std::string own = likelyOwnCountryCode(lines);
    FUZZ_CHECK(own.empty() || callingCodeOf(own) == own, "the owner's country is no calling code");
    return 0;
}
