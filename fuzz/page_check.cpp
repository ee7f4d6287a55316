// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "fuzz/page_check.h"

#include "sources/html_escape.h"
#include "sources/text_convert.h"

#include <array>

namespace talvio::fuzz {
namespace {

constexpr std::string_view kMark = "\x01\x02\x03";

// How the data between a body's fragments is delimited in the page.
enum class Place { None, Text, Address, ScriptInAttribute };

struct BodyShape {
    BodyKind kind;
    Place place;
    std::string before;
    std::string after;
};

Place placeOf(BodyKind kind) {
    switch (kind) {
        case BodyKind::Text:
            return Place::Text;
        case BodyKind::ImageViewer:
        case BodyKind::ImageStandAlone:
            return Place::Address;
        case BodyKind::VoiceViewer:
        case BodyKind::VoiceStandAlone:
        case BodyKind::VideoViewer:
        case BodyKind::VideoStandAlone:
            return Place::ScriptInAttribute;
        default:
            return Place::None;
    }
}

// Markers first: a text body reading "[Image]" is the image marker byte for byte.
const std::vector<BodyShape>& bodyShapes() {
    static const std::vector<BodyShape> shapes = [] {
        constexpr std::array kinds = {
            BodyKind::ImageMarker,    BodyKind::AudioMarker,     BodyKind::VideoMarker,
            BodyKind::CallMarker,     BodyKind::VoiceMissing,    BodyKind::VideoMissing,
            BodyKind::Text,           BodyKind::ImageViewer,     BodyKind::ImageStandAlone,
            BodyKind::VoiceViewer,    BodyKind::VoiceStandAlone, BodyKind::VideoViewer,
            BodyKind::VideoStandAlone};
        std::vector<BodyShape> list;
        for (const BodyKind kind : kinds) {
            std::string body;
            appendBody(body, kind, kMark);
            const std::size_t mark = body.find(kMark);
            if (mark == std::string::npos) {
                list.push_back({kind, Place::None, "", body});
            } else {
                list.push_back({kind, placeOf(kind), body.substr(0, mark), body.substr(mark + kMark.size())});
            }
        }
        return list;
    }();
    return shapes;
}

struct SenderShape {
    std::string open;    // up to the sender
    std::string middle;  // between sender and time
    std::string close;   // after the time
};

const SenderShape& senderShape() {
    static const SenderShape shape = [] {
        std::string line;
        const std::string timeMark = "\x04\x05\x06";
        appendSenderLine(line, kMark, timeMark);
        const std::size_t a = line.find(kMark);
        const std::size_t b = line.find(timeMark);
        return SenderShape{line.substr(0, a), line.substr(a + kMark.size(), b - a - kMark.size()),
                           line.substr(b + timeMark.size())};
    }();
    return shape;
}

std::string at(std::size_t offset, const std::string& what) {
    return "at byte " + std::to_string(offset) + ": " + what;
}

// Data that sits between tags: it may not open or close one.
std::optional<std::string> checkTextData(std::string_view data, std::size_t offset, const char* what) {
    const std::size_t bad = data.find_first_of("<>");
    if (bad != std::string_view::npos)
        return at(offset + bad, std::string(what) + " holds a raw '" + data[bad] + "'");
    return std::nullopt;
}

// An attribute value as a browser decodes it. Only the references the builder writes may appear:
// any other '&' came from the data unescaped.
std::optional<std::string> decodeAttribute(std::string_view raw, std::size_t offset, std::string& out) {
    static constexpr std::array<std::pair<std::string_view, char>, 4> kReferences = {
        {{"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}}};
    for (std::size_t i = 0; i < raw.size();) {
        const char c = raw[i];
        if (c == '<' || c == '>')
            return at(offset + i, std::string("a raw '") + c + "' in an attribute");
        if (c != '&') {
            out += c;
            ++i;
            continue;
        }
        bool known = false;
        for (const auto& [reference, character] : kReferences) {
            if (raw.substr(i).starts_with(reference)) {
                out += character;
                i += reference.size();
                known = true;
                break;
            }
        }
        if (!known)
            return at(offset + i, "an '&' in an attribute that is not one of the builder's references");
    }
    return std::nullopt;
}

// Reads a single-quoted script string's body up to its closing quote, undoing the escapes a
// script engine knows. A line break or control character inside would end or break the string.
std::optional<std::string> readScriptString(std::string_view script, std::size_t& i, std::string& out) {
    while (i < script.size()) {
        const auto c = static_cast<unsigned char>(script[i]);
        if (c == '\'') {
            ++i;
            return std::nullopt;
        }
        if (c < 0x20 || c == 0x7F)
            return "a raw control character in a script string";
        if (c == 0xE2 && script.substr(i).starts_with("\xE2\x80\xA8"))
            return "a raw U+2028 in a script string";
        if (c == 0xE2 && script.substr(i).starts_with("\xE2\x80\xA9"))
            return "a raw U+2029 in a script string";
        if (c != '\\') {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (i + 1 >= script.size())
            return "a script string ends in a backslash";
        const char e = script[i + 1];
        i += 2;
        switch (e) {
            case '\\':
            case '\'':
            case '"':
                out += e;
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                if (i + 2 > script.size() || hexDigitValue(script[i]) < 0 || hexDigitValue(script[i + 1]) < 0)
                    return "a broken \\x escape in a script string";
                out += static_cast<char>(hexDigitValue(script[i]) * 16 + hexDigitValue(script[i + 1]));
                i += 2;
                break;
            }
            case 'u': {
                if (script.substr(i, 4) == "2028") {
                    out += "\xE2\x80\xA8";
                } else if (script.substr(i, 4) == "2029") {
                    out += "\xE2\x80\xA9";
                } else {
                    return "a \\u escape the builder does not write";
                }
                i += 4;
                break;
            }
            default:
                return std::string("an unknown escape \\") + e + " in a script string";
        }
    }
    return "a script string that is never closed";
}

// A picture's address: "file://" and a percent-encoded path, nothing that could end the
// attribute or the address.
std::optional<std::string> decodeFileAddress(std::string_view address, std::size_t offset,
                                             std::string& path) {
    constexpr std::string_view kScheme = "file://";
    if (!address.starts_with(kScheme))
        return at(offset, "a picture address that is not a file: address");
    for (std::size_t i = kScheme.size(); i < address.size();) {
        const auto c = static_cast<unsigned char>(address[i]);
        if (c == '%') {
            if (i + 3 > address.size() || hexDigitValue(address[i + 1]) < 0 ||
                hexDigitValue(address[i + 2]) < 0)
                return at(offset + i, "a broken percent escape in an address");
            path += static_cast<char>(hexDigitValue(address[i + 1]) * 16 + hexDigitValue(address[i + 2]));
            i += 3;
            continue;
        }
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~' || c == '/' || c == '@';
        if (!plain)
            return at(offset + i, std::string("a raw '") + static_cast<char>(c) + "' in an address");
        path += static_cast<char>(c);
        ++i;
    }
    return std::nullopt;
}

class PageReader {
public:
    PageReader(std::string_view page, ReadPage& read) : m_page(page), m_read(read) {}

    std::optional<std::string> read(int mode) {
        const std::string_view head = pageHead(mode);
        if (!m_page.starts_with(head))
            return at(0, "the page does not start with its head");
        m_pos = head.size();
        const SenderShape& sender = senderShape();
        while (m_pos < m_page.size()) {
            if (rest() == kNoMessageBlock) {
                m_read.noMessage = true;
                return std::nullopt;
            }
            if (rest().starts_with(kUnreadableNoticeOpen)) {
                if (auto fault = readNotice())
                    return fault;
                continue;
            }
            if (!rest().starts_with(sender.open))
                return at(m_pos, "neither a message block nor the end of the page");
            if (auto fault = readBlock())
                return fault;
        }
        return std::nullopt;
    }

private:
    std::string_view rest() const { return m_page.substr(m_pos); }

    // The notice of a chat that could not be read: escaped text, then "</div>".
    std::optional<std::string> readNotice() {
        constexpr std::string_view kClose = "</div>";
        const std::size_t start = m_pos + kUnreadableNoticeOpen.size();
        const std::size_t end = m_page.find('<', start);
        if (end == std::string_view::npos || m_page.substr(end, kClose.size()) != kClose)
            return at(start, "a notice whose text is not closed by </div>");
        if (m_page.substr(start, end - start).find('>') != std::string_view::npos)
            return at(start, "a raw '>' in a notice");
        m_read.unreadable = std::string(m_page.substr(start, end - start));
        m_pos = end + kClose.size();
        return std::nullopt;
    }

    // Data up to the next '<', which must begin `closing`.
    std::optional<std::string> takeUntil(std::string_view closing, std::string& data, const char* what) {
        const std::size_t end = m_page.find(closing.front(), m_pos);
        if (end == std::string_view::npos || m_page.substr(end, closing.size()) != closing)
            return at(m_pos, std::string(what) + " is not closed by the builder's fragment");
        data.assign(m_page.substr(m_pos, end - m_pos));
        if (auto fault = checkTextData(data, m_pos, what))
            return fault;
        m_pos = end + closing.size();
        return std::nullopt;
    }

    std::optional<std::string> readBlock() {
        const SenderShape& shape = senderShape();
        PageBlock block;
        m_pos += shape.open.size();
        // The middle fragment starts with the space the builder writes after the sender.
        const std::size_t tag = m_page.find('<', m_pos);
        if (tag == std::string_view::npos || tag == m_pos ||
            m_page.substr(tag - 1, shape.middle.size()) != shape.middle) {
            return at(m_pos, "the sender is not closed by the builder's fragment");
        }
        block.sender.assign(m_page.substr(m_pos, tag - 1 - m_pos));
        if (auto fault = checkTextData(block.sender, m_pos, "the sender"))
            return fault;
        m_pos = tag - 1 + shape.middle.size();
        if (auto fault = takeUntil(shape.close, block.time, "the time"))
            return fault;
        const std::size_t bodyStart = m_pos;
        if (auto fault = readBody(block)) {
            // Modern pages show other kinds of message with markup of their own.
            m_pos = bodyStart;
            block.body = BodyKind::Text;
            block.value.clear();
            if (readKindMarkup(block))
                return fault;
        } else if (m_pos < m_page.size() && !atBlockEnd() && readKindMarkup(block)) {
            return at(m_pos, "markup after a body that the builder does not write");
        }
        m_read.blocks.push_back(std::move(block));
        return std::nullopt;
    }

    bool atBlockEnd() const {
        return rest().starts_with(senderShape().open) || rest().starts_with(kUnreadableNoticeOpen) ||
               rest() == kNoMessageBlock;
    }

    // The markup of the other kinds of message (events, quotes, reactions, places, cards,
    // polls) up to the next block: only the builder's few tags and attributes, links only into
    // the page or to the map, and text that cannot end its place. Its text joins the block's
    // value. Returns true when something else is found.
    bool readKindMarkup(PageBlock& block) {
        static constexpr std::string_view kTags[] = {"div", "/div", "SPAN", "/SPAN", "span", "/span",
                                                     "a",   "/a",   "b",    "/b",    "br/"};
        static constexpr std::string_view kAttributes[] = {"class", "style",  "href", "id",
                                                           "title", "target", "rel"};
        const std::size_t start = m_pos;
        while (m_pos < m_page.size() && !atBlockEnd()) {
            const std::size_t tag = m_page.find('<', m_pos);
            const std::size_t end = tag == std::string_view::npos ? m_page.size() : tag;
            const std::string_view text = m_page.substr(m_pos, end - m_pos);
            if (checkTextData(text, m_pos, "a message kind's text"))
                return true;
            block.value += text;
            m_pos = end;
            if (tag == std::string_view::npos)
                break;
            std::size_t i = tag + 1;
            std::size_t nameEnd = m_page.find_first_of(" >", i);
            if (nameEnd == std::string_view::npos)
                return true;
            const std::string_view name = m_page.substr(i, nameEnd - i);
            if (std::find(std::begin(kTags), std::end(kTags), name) == std::end(kTags))
                return true;
            i = nameEnd;
            while (m_page[i] == ' ') {
                const std::size_t equals = m_page.find("=\"", i);
                if (equals == std::string_view::npos)
                    return true;
                const std::string_view attribute = m_page.substr(i + 1, equals - i - 1);
                if (std::find(std::begin(kAttributes), std::end(kAttributes), attribute) ==
                    std::end(kAttributes))
                    return true;
                const std::size_t close = m_page.find('"', equals + 2);
                if (close == std::string_view::npos)
                    return true;
                const std::string_view value = m_page.substr(equals + 2, close - equals - 2);
                if (value.find_first_of("<>") != std::string_view::npos)
                    return true;
                if (attribute == "href" && !value.starts_with("#m") &&
                    !value.starts_with("https://www.openstreetmap.org/?mlat="))
                    return true;
                i = close + 1;
            }
            if (m_page.substr(i, 1) != ">")
                return true;
            m_pos = i + 1;
        }
        return m_pos == start;
    }

    std::optional<std::string> readBody(PageBlock& block) {
        for (const BodyShape& shape : bodyShapes()) {
            if (shape.place == Place::None) {
                if (rest().starts_with(shape.after)) {
                    block.body = shape.kind;
                    m_pos += shape.after.size();
                    return std::nullopt;
                }
                continue;
            }
            if (!rest().starts_with(shape.before))
                continue;
            block.body = shape.kind;
            m_pos += shape.before.size();
            switch (shape.place) {
                case Place::Text:
                    return takeUntil(shape.after, block.value, "a text body");
                case Place::Address:
                    return readAddress(shape, block);
                default:
                    return readScriptCall(shape, block);
            }
        }
        return at(m_pos, "a body the builder does not write");
    }

    std::optional<std::string> readAddress(const BodyShape& shape, PageBlock& block) {
        // The address ends at the first quote, which must be the builder's ("images\\NAME.jpg"
        // has fixed text before it).
        const std::size_t quoteInAfter = shape.after.find('"');
        const std::size_t quote = m_page.find('"', m_pos);
        if (quoteInAfter == std::string::npos || quote == std::string_view::npos ||
            quote - m_pos < quoteInAfter ||
            m_page.substr(quote - quoteInAfter, shape.after.size()) != shape.after) {
            return at(m_pos, "a picture's address is not closed where the builder closes it");
        }
        const std::string_view address = m_page.substr(m_pos, quote - quoteInAfter - m_pos);
        if (auto fault = checkTextData(address, m_pos, "a picture's address"))
            return fault;
        if (block.body == BodyKind::ImageViewer) {
            if (auto fault = decodeFileAddress(address, m_pos, block.value))
                return fault;
        } else {
            block.value.assign(address);
        }
        m_pos = quote - quoteInAfter + shape.after.size();
        return std::nullopt;
    }

    // onClick="return PlayMyWav('…');": the attribute ends at the first raw '"'; decoded, it must
    // be the builder's call with one string argument closed just before the builder's ");".
    std::optional<std::string> readScriptCall(const BodyShape& shape, PageBlock& block) {
        const std::size_t open = shape.before.rfind('"');
        const std::size_t close = shape.after.find('"');
        if (open == std::string::npos || close == std::string::npos)
            return at(m_pos, "the builder's player call is not inside an attribute");
        const std::string_view callStart = std::string_view(shape.before).substr(open + 1);
        const std::string_view callEnd = std::string_view(shape.after).substr(0, close);
        const std::string_view afterAttribute = std::string_view(shape.after).substr(close);

        const std::size_t valueStart = m_pos - callStart.size();
        const std::size_t quote = m_page.find('"', m_pos);
        if (quote == std::string_view::npos || m_page.substr(quote, afterAttribute.size()) != afterAttribute)
            return at(m_pos, "a player call's attribute is not closed where the builder closes it");
        std::string script;
        if (auto fault = decodeAttribute(m_page.substr(valueStart, quote - valueStart), valueStart, script))
            return fault;
        std::size_t i = callStart.size();
        if (auto fault = readScriptString(script, i, block.value))
            return at(m_pos, *fault);
        if (std::string_view(script).substr(i) != callEnd.substr(1))
            return at(m_pos, "the script string closes before the builder's end of the call: " + script);
        if (!isWellFormedUtf8(block.value))
            return at(m_pos, "a player call's argument is ill-formed UTF-8");
        m_pos = quote + afterAttribute.size();
        return std::nullopt;
    }

    std::string_view m_page;
    ReadPage& m_read;
    std::size_t m_pos = 0;
};

}  // namespace

std::optional<std::string> readChatPage(std::string_view page, int mode, ReadPage& read) {
    read = ReadPage{};
    if (!isWellFormedUtf8(page))
        return std::string("the page is not well-formed UTF-8");
    return PageReader(page, read).read(mode);
}

}  // namespace talvio::fuzz
