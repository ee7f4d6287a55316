// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvio {

// A chat page cut into its head and its message blocks, so that the view can hold a huge chat a
// few screens at a time. Each block starts at a sender line; what lies between the head and the
// first sender line, if anything, is a block of its own. The page text is shared, never changed.
class PageBlocks {
public:
    // A block's width estimate that stands for "a picture, size unknown".
    static constexpr std::int32_t kPicture = -1;

    // Cuts the page. A page without "<body>" has a head only and no blocks. With a limit, only
    // the first `limit` blocks are cut, which is quick however long the page.
    explicit PageBlocks(std::shared_ptr<const std::string> page, std::size_t limit = SIZE_MAX);

    const std::string& page() const { return *m_page; }
    const std::shared_ptr<const std::string>& shared() const { return m_page; }
    // Everything up to and including "<body>".
    std::string_view head() const { return std::string_view(*m_page).substr(0, m_headEnd); }
    std::size_t count() const { return m_starts.empty() ? 0 : m_starts.size() - 1; }
    // Whether every block of the page was cut (false when a limit stopped the cut short).
    bool complete() const { return m_complete; }
    std::string_view block(std::size_t i) const {
        return std::string_view(*m_page).substr(m_starts[i], m_starts[i + 1] - m_starts[i]);
    }
    // How wide the block's message text runs, in units of an average Latin letter (a Chinese
    // character or an emoji counts two), for guessing its height before it is laid out; kPicture
    // for a block that shows a picture.
    std::int32_t widthUnits(std::size_t i) const { return m_units[i]; }
    // The block that holds a message's anchor (<a id="NAME"></a>, NAME an "m" and digits), which
    // a reply's quote links to; nothing for any other name or an anchor the page does not have.
    std::optional<std::size_t> anchorBlock(std::string_view name) const;

private:
    std::shared_ptr<const std::string> m_page;
    std::size_t m_headEnd = 0;
    std::vector<std::size_t> m_starts;  // the start of every block, then the end of the page
    std::vector<std::int32_t> m_units;
    bool m_complete = true;
};

// Every block's width estimate, two characters of the base64 alphabet each (kPicture as the
// highest value), for the page script to decode cheaply.
std::string encodedWidthUnits(const PageBlocks& blocks);

// The text of a message's sender line, where every block begins.
inline constexpr std::string_view kSenderLineStart = "<div class=\"content\"><SPAN class=\"SenderNameMe\">";

std::int32_t widthUnitsOf(std::string_view block);

// Appends html for the view: a picture given by a full path (src="/…") becomes a file: address,
// since the page itself is served from memory under its own scheme and a bare path would be
// looked up there. Everything else is copied as it is.
void appendForView(std::string& out, std::string_view html);

}  // namespace talvio
