// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/page_blocks.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace talvio {
namespace {

constexpr std::string_view kBodyStart = "<body>";
constexpr std::string_view kPictureSource = "<img src=\"";

// East Asian wide letters and the symbol blocks that fonts draw as emoji are about two Latin
// letters wide.
bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2600 && c <= 0x27BF) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
}

// Joiners and variation selectors take no room of their own.
bool isInvisible(char32_t c) {
    return c == 0x200D || (c >= 0xFE00 && c <= 0xFE0F) || c == 0x200B;
}

std::int32_t textUnits(std::string_view html) {
    std::int32_t units = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(html.data());
    const auto* const end = p + html.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c == '<') {
            const auto* close = std::find(p, end, '>');
            p = close == end ? end : close + 1;
        } else if (c == '&') {
            // A character reference is one character; a bare '&' is one too.
            const auto* stop = std::find(p, std::min(end, p + 12), ';');
            p = stop == std::min(end, p + 12) ? p + 1 : stop + 1;
            ++units;
        } else if (c < 0x80) {
            ++p;
            ++units;
        } else if (c < 0xE0) {
            p += 2;
            ++units;
        } else if (c < 0xF0) {
            if (end - p >= 3) {
                const char32_t cp = ((c & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
                units += isInvisible(cp) ? 0 : isWide(cp) ? 2 : 1;
            }
            p += 3;
        } else {
            p += 4;
            units += 2;
        }
    }
    return units;
}

}  // namespace

std::int32_t widthUnitsOf(std::string_view block) {
    // The sender line is one line whatever it holds; the height that varies is the body's.
    std::string_view body = block;
    if (body.starts_with(kSenderLineStart)) {
        const std::size_t lineEnd = body.find("</div>");
        body.remove_prefix(lineEnd == std::string_view::npos ? body.size() : lineEnd + 6);
    }
    if (body.find("<img") != std::string_view::npos)
        return PageBlocks::kPicture;
    return textUnits(body);
}

PageBlocks::PageBlocks(std::shared_ptr<const std::string> page, std::size_t limit) : m_page(std::move(page)) {
    const std::string_view text = *m_page;
    const std::size_t body = text.find(kBodyStart);
    if (body == std::string_view::npos) {
        m_headEnd = text.size();
        return;
    }
    m_headEnd = body + kBodyStart.size();
    // Message texts are escaped and names and paths too, so a sender line's opening text can
    // only be markup; searching for it is enough to cut the page.
    const std::boyer_moore_horspool_searcher searcher(kSenderLineStart.begin(), kSenderLineStart.end());
    auto from = text.begin() + static_cast<std::ptrdiff_t>(m_headEnd);
    auto found = std::search(from, text.end(), searcher);
    if (found != from)
        m_starts.push_back(m_headEnd);
    while (found != text.end()) {
        m_starts.push_back(static_cast<std::size_t>(found - text.begin()));
        if (m_starts.size() > limit) {
            // The start of the block after the limit ends the last one.
            m_complete = false;
            break;
        }
        found =
            std::search(found + static_cast<std::ptrdiff_t>(kSenderLineStart.size()), text.end(), searcher);
    }
    if (m_starts.empty())
        return;
    if (m_complete)
        m_starts.push_back(text.size());
    m_units.resize(count());
    for (std::size_t i = 0; i < count(); ++i)
        m_units[i] = widthUnitsOf(block(i));
}

std::optional<std::size_t> PageBlocks::anchorBlock(std::string_view name) const {
    const bool valid = name.size() >= 2 && name.size() <= 20 && name[0] == 'm' &&
                       std::all_of(name.begin() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!valid || m_starts.empty())
        return std::nullopt;
    const std::string needle = "<a id=\"" + std::string(name) + "\"></a>";
    // Texts are escaped, so this markup can only be the anchor itself.
    const std::string_view text = *m_page;
    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end());
    const auto from = text.begin() + static_cast<std::ptrdiff_t>(m_starts.front());
    const auto end = text.begin() + static_cast<std::ptrdiff_t>(m_starts.back());
    const auto found = std::search(from, end, searcher);
    if (found == end)
        return std::nullopt;
    const auto offset = static_cast<std::size_t>(found - text.begin());
    const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
    return static_cast<std::size_t>(next - m_starts.begin()) - 1;
}

std::string encodedWidthUnits(const PageBlocks& blocks) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    constexpr std::int32_t kHighest = 64 * 64 - 1;
    std::string out;
    out.reserve(blocks.count() * 2);
    for (std::size_t i = 0; i < blocks.count(); ++i) {
        const std::int32_t units = blocks.widthUnits(i);
        const std::int32_t value = units == PageBlocks::kPicture ? kHighest : std::min(units, kHighest - 1);
        out += kDigits[value >> 6];
        out += kDigits[value & 63];
    }
    return out;
}

namespace {

void appendDecodedAttribute(std::string& out, std::string_view value) {
    static constexpr std::pair<std::string_view, char> kReferences[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&#39;", '\''}, {"&apos;", '\''}};
    for (std::size_t i = 0; i < value.size();) {
        bool replaced = false;
        if (value[i] == '&') {
            for (const auto& [reference, character] : kReferences) {
                if (value.substr(i).starts_with(reference)) {
                    out += character;
                    i += reference.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out += value[i++];
    }
}

void appendFileAddress(std::string& out, std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "file://";
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '/' || c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
}

}  // namespace

void appendForView(std::string& out, std::string_view html) {
    std::size_t done = 0;
    for (std::size_t at = html.find(kPictureSource); at != std::string_view::npos;
         at = html.find(kPictureSource, at + 1)) {
        const std::size_t value = at + kPictureSource.size();
        const std::size_t close = html.find('"', value);
        if (close == std::string_view::npos || value >= html.size() || html[value] != '/')
            continue;
        out.append(html.substr(done, value - done));
        std::string path;
        appendDecodedAttribute(path, html.substr(value, close - value));
        appendFileAddress(out, path);
        done = close;
    }
    out.append(html.substr(done));
}

}  // namespace talvio
