// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "phone_number.h"

#include "text_convert.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

namespace talvio {
namespace {

// ITU-T E.164 country calling codes in use (including the shared and global service codes),
// sorted for binary search.
constexpr std::array kCallingCodes = std::to_array<std::string_view>({
    "1",   "20",  "211", "212", "213", "216", "218", "220", "221", "222", "223", "224", "225", "226", "227",
    "228", "229", "230", "231", "232", "233", "234", "235", "236", "237", "238", "239", "240", "241", "242",
    "243", "244", "245", "246", "247", "248", "249", "250", "251", "252", "253", "254", "255", "256", "257",
    "258", "260", "261", "262", "263", "264", "265", "266", "267", "268", "269", "27",  "290", "291", "297",
    "298", "299", "30",  "31",  "32",  "33",  "34",  "350", "351", "352", "353", "354", "355", "356", "357",
    "358", "359", "36",  "370", "371", "372", "373", "374", "375", "376", "377", "378", "379", "380", "381",
    "382", "383", "385", "386", "387", "389", "39",  "40",  "41",  "420", "421", "423", "43",  "44",  "45",
    "46",  "47",  "48",  "49",  "500", "501", "502", "503", "504", "505", "506", "507", "508", "509", "51",
    "52",  "53",  "54",  "55",  "56",  "57",  "58",  "590", "591", "592", "593", "594", "595", "596", "597",
    "598", "599", "60",  "61",  "62",  "63",  "64",  "65",  "66",  "670", "672", "673", "674", "675", "676",
    "677", "678", "679", "680", "681", "682", "683", "685", "686", "687", "688", "689", "690", "691", "692",
    "7",   "800", "808", "81",  "82",  "84",  "850", "852", "853", "855", "856", "86",  "870", "878", "880",
    "881", "882", "883", "886", "888", "90",  "91",  "92",  "93",  "94",  "95",  "960", "961", "962", "963",
    "964", "965", "966", "967", "968", "970", "971", "972", "973", "974", "975", "976", "977", "979", "98",
    "991", "992", "993", "994", "995", "996", "998",
});

// Countries whose national numbers have no trunk prefix: the national number follows the code
// as written.
constexpr std::array kNoTrunkPrefix = std::to_array<std::string_view>({
    "298", "299", "30",  "34",  "351", "352", "354", "356", "357", "371", "372", "377", "378", "420", "45",
    "47",  "48",  "502", "503", "504", "505", "506", "507", "65",  "852", "853", "965", "968", "973", "974",
});

// Binary search needs both tables in order.
static_assert(std::is_sorted(kCallingCodes.begin(), kCallingCodes.end()));
static_assert(std::is_sorted(kNoTrunkPrefix.begin(), kNoTrunkPrefix.end()));

// How the owner's phone dials abroad when it is not "00".
struct ExitPrefix {
    std::string_view code;
    std::string_view prefix;
};
constexpr std::array kExitPrefixes = std::to_array<ExitPrefix>({
    {"1", "011"},
    {"61", "0011"},
    {"7", "810"},
    {"81", "010"},
});

// E.164 allows 15 digits; nothing shorter than 7 is a whole international number.
constexpr std::size_t kMinDigits = 7;
constexpr std::size_t kMaxDigits = 15;
// Room for separators, an extension and direction marks around the digits; more is no number.
constexpr std::size_t kMaxTypedBytes = 128;

bool contains(const auto& sortedCodes, std::string_view code) {
    return std::binary_search(sortedCodes.begin(), sortedCodes.end(), code);
}

bool isSeparator(char16_t c) {
    switch (c) {
        case u' ':
        case u'\t':
        case u'-':
        case u'.':
        case u'/':
        case u'\u00A0':
        case u'\u2007':
        case u'\u202F':
        case u'\u2212':
        case u'\u3000':
        case u'\u2060':
        case u'\uFEFF':
            return true;
        default:
            // Dashes, and the invisible direction marks phones put around numbers in right-to-left text.
            return (c >= u'\u2010' && c <= u'\u2015') || (c >= u'\u200B' && c <= u'\u200F') ||
                   (c >= u'\u202A' && c <= u'\u202E');
    }
}

// The value of a decimal digit of any of the scripts phones offer; -1 for anything else.
int digitValue(char16_t c) {
    for (const char16_t zero : {u'0', u'\u0660', u'\u06F0', u'\u0966', u'\u09E6', u'\uFF10'}) {
        if (c >= zero && c <= zero + 9)
            return c - zero;
    }
    return -1;
}

bool isLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// True when the text at `rest` is an extension marker ("x", "ext", "ext.", "extn", "extension")
// followed by digits.
bool startsExtension(std::u16string_view rest) {
    std::size_t letters = 0;
    while (letters < rest.size() && isLetter(rest[letters]))
        ++letters;
    std::u16string word;
    for (std::size_t i = 0; i < letters; ++i)
        word += static_cast<char16_t>(rest[i] | 0x20);
    if (word != u"x" && word != u"ext" && word != u"extn" && word != u"extension")
        return false;
    for (const char16_t c : rest.substr(letters)) {
        if (!(digitValue(c) >= 0 || isSeparator(c) || c == u':' || c == u'='))
            return false;
    }
    return true;
}

struct TypedDigits {
    std::string digits;
    bool plus = false;
    std::size_t bracketedZero = std::string::npos;  // where a "(0)" put its zero
};

// The digits of a typed number, or nullopt when it holds anything but digits and separators.
std::optional<TypedDigits> digitsOf(std::string_view typed) {
    if (typed.size() > kMaxTypedBytes)
        return std::nullopt;
    const std::u16string wide = Utf8ToWide(typed);
    TypedDigits out;
    std::size_t bracketStart = std::string::npos;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const char16_t c = wide[i];
        if (const int value = digitValue(c); value >= 0) {
            out.digits += static_cast<char>('0' + value);
        } else if (c == u'+' || c == u'\uFF0B') {
            if (out.plus || !out.digits.empty())
                return std::nullopt;
            out.plus = true;
        } else if (c == u'(' || c == u'[') {
            bracketStart = out.digits.size();
        } else if (c == u')' || c == u']') {
            if (bracketStart != std::string::npos && out.digits.size() == bracketStart + 1 &&
                out.digits.back() == '0' && out.bracketedZero == std::string::npos)
                out.bracketedZero = bracketStart;
            bracketStart = std::string::npos;
        } else if (c == u';' || c == u',') {
            break;  // tel: parameters, or the pauses before dialled extension digits
        } else if (isSeparator(c)) {
            continue;
        } else if (!out.digits.empty() && startsExtension(std::u16string_view(wide).substr(i))) {
            break;
        } else {
            return std::nullopt;
        }
        if (out.digits.size() > 3 * kMaxDigits)
            return std::nullopt;
    }
    return out;
}

std::string checked(std::string digits) {
    if (digits.size() < kMinDigits || digits.size() > kMaxDigits || callingCodeOf(digits).empty())
        return {};
    return digits;
}

// A national number (no international prefix) with the owner's calling code in front.
std::string nationalToInternational(const std::string& digits, std::string_view code) {
    const auto startsWith = [&](std::string_view prefix) { return digits.rfind(prefix, 0) == 0; };
    const std::string own(code);
    if (code.empty())
        return startsWith("0") ? std::string{} : checked(digits);  // digits already international
    if (code == "1") {
        if (digits.size() == 10)
            return checked(own + digits);
        return digits.size() == 11 && startsWith("1") ? checked(digits) : std::string{};
    }
    if (code == "7") {
        // Russia and Kazakhstan dial 8 before a national number of ten digits.
        if (digits.size() == 11 && (startsWith("8") || startsWith("7")))
            return checked(own + digits.substr(1));
        return digits.size() == 10 ? checked(own + digits) : std::string{};
    }
    if (code == "39")
        return checked(own + digits);  // Italian landlines keep their 0 after +39
    if (contains(kNoTrunkPrefix, code))
        return checked(own + digits);
    for (const std::string_view trunk : {code == "36"    ? "06"
                                         : code == "375" ? "80"
                                                         : "0",
                                         code == "370"   ? "8"
                                         : code == "375" ? "8"
                                                         : "0"}) {
        if (startsWith(trunk))
            return checked(own + digits.substr(trunk.size()));
    }
    // No trunk prefix where the country needs one: an international number written without its
    // '+', or a local number without area code, which cannot be placed.
    return digits.size() >= 10 ? checked(digits) : std::string{};
}

}  // namespace

std::string_view callingCodeOf(std::string_view internationalDigits) {
    for (std::size_t length = 3; length >= 1; --length) {
        if (internationalDigits.size() >= length &&
            contains(kCallingCodes, internationalDigits.substr(0, length)))
            return internationalDigits.substr(0, length);
    }
    return {};
}

std::string normalizePhoneNumber(std::string_view typed, std::string_view ownCallingCode) {
    std::optional<TypedDigits> parsed = digitsOf(typed);
    if (!parsed || parsed->digits.empty())
        return {};
    if (callingCodeOf(ownCallingCode) != ownCallingCode)
        ownCallingCode = {};
    std::string digits = std::move(parsed->digits);
    std::size_t exitLength = 0;
    bool international = parsed->plus;
    if (!international) {
        std::string_view exit = "00";
        for (const ExitPrefix& own : kExitPrefixes) {
            if (own.code == ownCallingCode && digits.rfind(own.prefix, 0) == 0)
                exit = own.prefix;
        }
        if (digits.rfind(exit, 0) == 0) {
            international = true;
            exitLength = exit.size();
        }
    }
    if (!international)
        return nationalToInternational(digits, ownCallingCode);
    // "+49 (0)151": the bracketed trunk zero is dialled only from within the country.
    if (parsed->bracketedZero != std::string::npos && parsed->bracketedZero > exitLength) {
        const std::string_view code = callingCodeOf(std::string_view(digits).substr(exitLength));
        if (code != "39" && parsed->bracketedZero >= exitLength + code.size())
            digits.erase(parsed->bracketedZero, 1);
    }
    return checked(digits.substr(exitLength));
}

std::vector<std::string> jidVariants(std::string_view digits) {
    const auto startsWith = [&](std::string_view prefix) {
        return digits.substr(0, prefix.size()) == prefix;
    };
    const std::string all(digits);
    if (startsWith("521") && digits.size() == 13)
        return {"52" + all.substr(3)};
    if (startsWith("52") && digits.size() == 12)
        return {"521" + all.substr(2)};
    if (startsWith("54") && digits.size() == 12 && digits[2] != '9')
        return {"549" + all.substr(2)};
    if (startsWith("549") && digits.size() == 13)
        return {"54" + all.substr(3)};
    // Brazil: 55, a two-digit area code, then a mobile number that gained a leading 9 in 2012-2016.
    if (startsWith("55") && digits.size() == 13 && digits[4] == '9' && digits[5] >= '6')
        return {all.substr(0, 4) + all.substr(5)};
    if (startsWith("55") && digits.size() == 12 && digits[4] >= '6')
        return {all.substr(0, 4) + "9" + all.substr(4)};
    return {};
}

std::string_view personJidDigits(std::string_view jid) {
    constexpr std::string_view kPersonServer = "@s.whatsapp.net";
    const auto at = jid.find('@');
    if (at == std::string_view::npos || jid.substr(at) != kPersonServer)
        return {};
    // user[.agent][:device]@server: the phone number is the user part alone.
    std::string_view user = jid.substr(0, std::min(at, jid.find_first_of(".:")));
    if (user.empty() || !std::all_of(user.begin(), user.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    return user;
}

std::string likelyOwnCountryCode(const std::vector<std::string>& jids) {
    std::map<std::string_view, int> counts;
    for (const std::string& jid : jids) {
        const std::string_view code = callingCodeOf(personJidDigits(jid));
        if (!code.empty())
            ++counts[code];
    }
    std::string_view best;
    int bestCount = 0;
    for (const auto& [code, count] : counts) {
        const bool smaller = code.size() < best.size() || (code.size() == best.size() && code < best);
        if (count > bestCount || (count == bestCount && smaller)) {
            best = code;
            bestCount = count;
        }
    }
    return std::string(best);
}

}  // namespace talvio
