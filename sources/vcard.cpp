// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "vcard.h"

#include "platform/file_ops.h"
#include "text_convert.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>

namespace talvio {
namespace {

// Nothing an address book holds comes near these; they keep hostile files from costing memory.
constexpr std::size_t kMaxValueBytes = 64 * 1024;
constexpr std::size_t kMaxNameBytes = 512;
constexpr std::size_t kMaxNumberBytes = 256;
constexpr std::size_t kMaxNumbersPerCard = 100;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// windows-1252 is what "ISO-8859-1" means in practice (as browsers treat it): 0x80-0x9F hold
// typographic characters; its five unassigned bytes become U+FFFD.
std::string windows1252ToUtf8(std::string_view bytes) {
    static constexpr std::array<char16_t, 32> kHigh = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b);
    }
    return out;
}

// "=XX" is a byte; an '=' not followed by two hex digits is kept as it stands.
std::string decodeQuotedPrintable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && hexDigitValue(text[i + 1]) >= 0 &&
            hexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigitValue(text[i + 1]) << 4 | hexDigitValue(text[i + 2]));
            i += 2;
        } else if (text[i] == '=' && i + 1 == text.size()) {
            break;  // a soft line break left at the very end
        } else {
            out += text[i];
        }
    }
    return out;
}

// Calls take(piece) for each piece between separators that no backslash escapes; the pieces keep
// their escapes.
template <typename Take>
void forEachUnescaped(std::string_view text, char separator, Take take) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == separator) {
            take(text.substr(start, i - start));
            start = i + 1;
        }
    }
    take(text.substr(std::min(start, text.size())));
}

std::string unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        if (next == 'n' || next == 'N') {
            out += '\n';
        } else if (next == '\\' || next == ',' || next == ';' || next == ':') {
            out += next;
        } else {
            out += '\\';
            out += next;
        }
    }
    return out;
}

// Well-formed UTF-8 on one line: controls become spaces, runs of spaces one, none at either end,
// and never more than kMaxNameBytes (cut between characters).
std::string cleanText(std::string_view text, std::size_t maxBytes) {
    const std::string repaired = isWellFormedUtf8(text) ? std::string(text) : Utf8ToAnsi(text);
    std::string out;
    out.reserve(std::min(repaired.size(), maxBytes));
    bool pendingSpace = false;
    for (const char c : repaired) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b == 0x7F) {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace) {
            out += ' ';
            pendingSpace = false;
        }
        out += c;
    }
    if (out.size() > maxBytes) {
        std::size_t cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
            --cut;
        out.resize(cut);
        while (!out.empty() && out.back() == ' ')
            out.pop_back();
    }
    return out;
}

enum class Charset { Utf8, Windows1252 };

struct Parameters {
    bool quotedPrintable = false;
    bool binary = false;  // base64 and the like: never a name or a number
    bool uri = false;
    Charset charset = Charset::Utf8;
};

Charset charsetNamed(std::string_view name) {
    for (const std::string_view latin :
         {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "LATIN1", "LATIN-1", "WINDOWS-1252", "CP1252"}) {
        if (equalsNoCase(name, latin))
            return Charset::Windows1252;
    }
    return Charset::Utf8;
}

// vCard 2.1 writes bare values ("TEL;CELL;QUOTED-PRINTABLE:"), later versions key=value pairs.
Parameters parseParameters(std::string_view text) {
    Parameters params;
    forEachUnescaped(text, ';', [&params](std::string_view param) {
        param = trimmed(param);
        std::string_view key;
        std::string_view value = param;
        if (const auto equals = param.find('='); equals != std::string_view::npos) {
            key = trimmed(param.substr(0, equals));
            value = trimmed(param.substr(equals + 1));
        }
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (key.empty() || equalsNoCase(key, "ENCODING")) {
            if (equalsNoCase(value, "QUOTED-PRINTABLE"))
                params.quotedPrintable = true;
            else if (equalsNoCase(value, "BASE64") || equalsNoCase(value, "B"))
                params.binary = true;
        } else if (equalsNoCase(key, "CHARSET")) {
            params.charset = charsetNamed(value);
        } else if (equalsNoCase(key, "VALUE")) {
            params.uri = equalsNoCase(value, "uri");
        }
    });
    return params;
}

// The bytes of a value (or of one component of it) in UTF-8, escapes still in place.
std::string decodeValue(std::string_view raw, const Parameters& params) {
    std::string bytes = params.quotedPrintable ? decodeQuotedPrintable(raw) : std::string(raw);
    if (params.charset == Charset::Windows1252)
        return windows1252ToUtf8(bytes);
    return bytes;
}

// A content line split into its parts: "group.NAME;params:value".
struct ContentLine {
    std::string_view name;
    std::string_view params;
    std::string_view value;
};

// The property name of a line, group removed; empty for a line that is none.
std::string_view propertyName(std::string_view line) {
    const auto end = line.find_first_of(";:");
    if (end == std::string_view::npos)
        return {};
    std::string_view name = trimmed(line.substr(0, end));
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos)
        name.remove_prefix(dot + 1);
    return name;
}

std::optional<ContentLine> splitContentLine(std::string_view line) {
    const auto nameEnd = line.find_first_of(";:");
    if (nameEnd == std::string_view::npos)
        return std::nullopt;
    // A colon inside a quoted parameter value does not end the parameters.
    std::size_t colon = std::string_view::npos;
    bool quoted = false;
    for (std::size_t i = nameEnd; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon == std::string_view::npos)
        colon = line.find(':', nameEnd);
    if (colon == std::string_view::npos)
        return std::nullopt;
    ContentLine parts;
    parts.name = propertyName(line);
    parts.params = nameEnd < colon ? line.substr(nameEnd + 1, colon - nameEnd - 1) : std::string_view{};
    parts.value = line.substr(colon + 1);
    return parts;
}

// Physical lines of the text, ended by CRLF, LF or CR.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    std::optional<std::string_view> peek() {
        if (m_pos >= m_text.size())
            return std::nullopt;
        if (m_peekedAt != m_pos) {
            std::size_t stop = m_pos;
            while (stop < m_text.size() && m_text[stop] != '\n' && m_text[stop] != '\r')
                ++stop;
            m_line = m_text.substr(m_pos, stop - m_pos);
            m_next = stop;
            if (stop < m_text.size())
                m_next +=
                    m_text[stop] == '\r' && stop + 1 < m_text.size() && m_text[stop + 1] == '\n' ? 2 : 1;
            m_peekedAt = m_pos;
        }
        return m_line;
    }
    // Moves past the line the last peek() returned.
    void skip() { m_pos = m_next; }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_next = 0;
    std::size_t m_peekedAt = std::string_view::npos;
    std::string_view m_line;
};

bool isWanted(std::string_view name) {
    for (const std::string_view wanted : {"BEGIN", "END", "VERSION", "FN", "N", "TEL", "AGENT"}) {
        if (equalsNoCase(name, wanted))
            return true;
    }
    return false;
}

bool isEndLine(std::string_view line) {
    return equalsNoCase(trimmed(line), "END:VCARD");
}

// The card being read and what the lines so far said about it.
class CardReader {
public:
    explicit CardReader(std::vector<AddressCard>& out) : m_out(out) {}

    // vCard 2.1 folds at white space and keeps it; later versions drop the space that folds.
    bool keepsFoldingSpace() const { return m_version21; }

    void take(std::string_view line) {
        const std::optional<ContentLine> parts = splitContentLine(line);
        if (!parts)
            return;
        const bool afterAgent = m_agentOpen;
        m_agentOpen = false;
        if (equalsNoCase(parts->name, "BEGIN") && equalsNoCase(trimmed(parts->value), "VCARD")) {
            begin(afterAgent);
        } else if (equalsNoCase(parts->name, "END") && equalsNoCase(trimmed(parts->value), "VCARD")) {
            end();
        } else if (m_open && m_nested == 0) {
            property(*parts);
        }
    }

private:
    void begin(bool afterAgent) {
        // A 2.1 AGENT holds a whole card of its own; any other BEGIN inside a card means the card
        // before it was never ended, and it is dropped.
        if (m_open && afterAgent) {
            ++m_nested;
            return;
        }
        m_open = true;
        m_nested = 0;
        m_version21 = false;
        m_fullName.clear();
        m_nameParts.clear();
        m_numbers.clear();
    }

    void end() {
        if (m_nested > 0) {
            --m_nested;
            return;
        }
        if (!m_open)
            return;
        m_open = false;
        std::string name = m_fullName.empty() ? structuredName() : m_fullName;
        if (!name.empty() && !m_numbers.empty())
            m_out.push_back({std::move(name), std::move(m_numbers)});
        m_numbers.clear();
    }

    void property(const ContentLine& line) {
        if (equalsNoCase(line.name, "VERSION")) {
            m_version21 = trimmed(line.value).substr(0, 2) == "2.";
            return;
        }
        if (equalsNoCase(line.name, "AGENT")) {
            m_agentOpen = trimmed(line.value).empty();
            return;
        }
        const Parameters params = parseParameters(line.params);
        if (params.binary)
            return;
        if (equalsNoCase(line.name, "FN")) {
            if (m_fullName.empty())
                m_fullName = cleanText(unescape(decodeValue(line.value, params)), kMaxNameBytes);
        } else if (equalsNoCase(line.name, "N")) {
            if (m_nameParts.empty())
                structuredNameParts(line.value, params);
        } else if (equalsNoCase(line.name, "TEL")) {
            number(line.value, params);
        }
    }

    // N is family;given;middle;prefix;suffix; later versions allow comma lists inside each.
    void structuredNameParts(std::string_view value, const Parameters& params) {
        forEachUnescaped(value, ';', [&](std::string_view component) {
            std::string joined;
            const auto add = [&](std::string_view item) {
                joined += ' ';
                joined += unescape(decodeValue(item, params));
            };
            if (m_version21)
                add(component);
            else
                forEachUnescaped(component, ',', add);
            m_nameParts.push_back(cleanText(joined, kMaxNameBytes));
        });
    }

    std::string structuredName() const {
        std::string name;
        for (const std::size_t index : {3, 1, 2, 0, 4}) {
            if (index < m_nameParts.size() && !m_nameParts[index].empty()) {
                name += ' ';
                name += m_nameParts[index];
            }
        }
        return cleanText(name, kMaxNameBytes);
    }

    void number(std::string_view value, const Parameters& params) {
        if (m_numbers.size() >= kMaxNumbersPerCard || value.size() > kMaxNumberBytes * 3)
            return;
        std::string text = cleanText(unescape(decodeValue(value, params)), kMaxValueBytes);
        std::string_view number = text;
        // 4.0 writes "tel:+49-151-...;ext=12"; parameters after ';' are left for the normaliser.
        if (params.uri || startsWithNoCase(number, "tel:"))
            number = trimmed(startsWithNoCase(number, "tel:") ? number.substr(4) : number);
        if (!number.empty() && number.size() <= kMaxNumberBytes)
            m_numbers.emplace_back(number);
    }

    std::vector<AddressCard>& m_out;
    bool m_open = false;
    int m_nested = 0;
    bool m_agentOpen = false;
    bool m_version21 = false;
    std::string m_fullName;
    std::vector<std::string> m_nameParts;
    std::vector<std::string> m_numbers;
};

// Text as UTF-8 without a byte order mark; UTF-16 files (some desktop address books write them)
// are converted into `storage`.
std::string_view withoutByteOrderMark(std::string_view text, std::string& storage) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        return text.substr(3);
    const bool little = text.substr(0, 2) == "\xFF\xFE";
    if (!little && text.substr(0, 2) != "\xFE\xFF")
        return text;
    std::u16string wide;
    wide.reserve(text.size() / 2);
    for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(text[i + 1]);
        wide += static_cast<char16_t>(little ? a | b << 8 : a << 8 | b);
    }
    storage = WideToUtf8(wide);
    return storage;
}

}  // namespace

std::vector<AddressCard> parseVCards(std::string_view input) {
    std::string converted;
    const std::string_view text = withoutByteOrderMark(input, converted);
    std::vector<AddressCard> cards;
    CardReader reader(cards);
    LineReader lines(text);
    std::string logical;
    while (const std::optional<std::string_view> first = lines.peek()) {
        lines.skip();
        if (first->empty())
            continue;
        // Only the few properties that matter are put together; the rest (photos above all) are
        // walked past without a copy.
        const bool wanted = isWanted(propertyName(*first));
        // Whether the value is quoted-printable matters only where a line ends in '='.
        std::optional<bool> quotedPrintable;
        const auto isQuotedPrintable = [&] {
            if (!quotedPrintable) {
                const std::optional<ContentLine> head = splitContentLine(*first);
                quotedPrintable = head && parseParameters(head->params).quotedPrintable;
            }
            return *quotedPrintable;
        };
        bool overlong = first->size() > kMaxValueBytes;
        if (wanted && !overlong)
            logical.assign(*first);
        std::string_view last = *first;
        while (const std::optional<std::string_view> next = lines.peek()) {
            std::string_view piece;
            if (!last.empty() && last.back() == '=' && !isEndLine(*next) && isQuotedPrintable()) {
                // A quoted-printable soft line break: the '=' goes, the next line follows on.
                if (wanted && !overlong)
                    logical.pop_back();
                piece = *next;
            } else if (!next->empty() && (next->front() == ' ' || next->front() == '\t')) {
                piece = reader.keepsFoldingSpace() ? *next : next->substr(1);
            } else {
                break;
            }
            lines.skip();
            last = *next;
            if (!wanted || overlong)
                continue;
            if (logical.size() + piece.size() > kMaxValueBytes)
                overlong = true;
            else
                logical += piece;
        }
        if (wanted && !overlong)
            reader.take(logical);
    }
    return cards;
}

VCardFile loadVCardFile(const std::string& path) {
    VCardFile file;
    const std::string shown = Utf8ToAnsi(path);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        file.error = shown + " is a folder. Choose the contacts file (.vcf) inside it.";
        return file;
    }
    const std::string tooLarge =
        shown +
        " is larger than 64 MiB, far more than a contacts file holds. Export the "
        "contacts from the phone's address book as a .vcf file and choose that file.";
    // Refused before reading when the size already says so; the read below caps it either way.
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxVCardFileBytes) {
        file.error = tooLarge;
        return file;
    }
    const std::optional<std::string> bytes = platform::readRegularFile(path, kMaxVCardFileBytes + 1);
    if (!bytes) {
        file.error = "The contacts file " + shown +
                     " cannot be read. Check that it exists and that you may read it, or copy it "
                     "to your own folders and choose the copy.";
        return file;
    }
    if (bytes->size() > kMaxVCardFileBytes) {
        file.error = tooLarge;
        return file;
    }
    file.cards = parseVCards(*bytes);
    if (!file.cards.empty())
        return file;
    std::string converted;
    std::string folded(withoutByteOrderMark(*bytes, converted));
    for (char& c : folded)
        c = lower(c);
    if (folded.find("begin:vcard") == std::string::npos) {
        file.error = shown +
                     " is not a contacts file (vCard). Export the contacts from the phone's address "
                     "book as a .vcf file and choose that file.";
    } else {
        file.error = shown +
                     " holds no contact with both a name and a phone number. Export the contacts "
                     "with their phone numbers from the phone's address book and choose that file.";
    }
    return file;
}

}  // namespace talvio
