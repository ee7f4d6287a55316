// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/view_document.h"

#include "sources/chat_page.h"
#include "sources/html_escape.h"

#include <algorithm>
#include <charconv>

namespace talvio {

Presentation presentationOf(const PageBlocks& blocks) {
    if (!blocks.complete() || blocks.count() > kWholePageBlocks)
        return Presentation::Window;
    const std::size_t text = blocks.page().size() - blocks.head().size();
    return blocks.count() <= kWholeBlocks && text <= kWholeBytes ? Presentation::Whole : Presentation::Filled;
}

std::string wholeDocument(std::string_view page, const DocumentScripts& scripts) {
    std::string out;
    out.reserve(page.size() + scripts.before.size() + scripts.after.size());
    // A script ahead of "<html>" lands first in the head; the page's own head tags join it.
    out += scripts.before;
    appendForView(out, page);
    out += scripts.after;
    return out;
}

std::string blocksForView(const PageBlocks& blocks, std::size_t from, std::size_t to) {
    std::string out;
    to = std::min(to, blocks.count());
    for (std::size_t i = from; i < to; ++i) {
        out += "<div class=\"tvb\">";
        appendForView(out, blocks.block(i));
        out += "</div>";
    }
    return out;
}

std::size_t firstScreenCount(const PageBlocks& blocks) {
    std::size_t n = 0;
    std::size_t bytes = 0;
    while (n < blocks.count() && n < kFirstScreenBlocks && bytes < kFirstScreenBytes)
        bytes += blocks.block(n++).size();
    return n;
}

namespace {

// A one-line message, measured by the script to learn the height of a block and of a line.
std::string probeBlock() {
    std::string probe;
    appendSenderLine(probe, "x", "x");
    appendTextBody(probe, "x");
    return probe;
}

void appendNumber(std::string& out, long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

// The head, the window with the first screen, and the start of the window script's set-up.
void appendOpening(std::string& out, const PageBlocks& blocks, int serial, std::size_t first,
                   const DocumentScripts& scripts) {
    out += scripts.before;
    out += blocks.head();
    // Scroll anchoring is the script's job: the browser's own would move the page a second time.
    out +=
        "<style>html,body,#tv-root{overflow-anchor:none}</style>"
        "<div id=\"tv-root\" style=\"position:relative\"><div id=\"tv-top\"></div><div id=\"tv-win\">";
    out += blocksForView(blocks, 0, first);
    out += "</div><div id=\"tv-bottom\"></div></div>";
    out += "<script>window.__talvioBoot={serial:";
    appendNumber(out, serial);
    out += ",first:";
    appendNumber(out, static_cast<long long>(first));
    // A page may open with a block before its first sender line: message ordinals start after it.
    const bool lead = blocks.count() > 0 && !blocks.block(0).starts_with(kSenderLineStart);
    out += ",lead:";
    appendNumber(out, lead ? 1 : 0);
    out += ",probe:";
    appendScriptString(out, probeBlock());
}

void appendClosing(std::string& out, const DocumentScripts& scripts) {
    out += "};</script>";
    out += scripts.window;
    out += scripts.after;
}

}  // namespace

std::string filledDocument(const PageBlocks& blocks, int serial, const DocumentScripts& scripts) {
    const std::size_t first = firstScreenCount(blocks);
    std::string out;
    out.reserve(blocks.page().size() + blocks.count() * 32 + scripts.before.size() + scripts.window.size() +
                scripts.after.size());
    appendOpening(out, blocks, serial, first, scripts);
    // Template content is parsed but neither laid out nor loaded (no pictures) until it is moved.
    out += "};</script><template id=\"tv-rest\">";
    out += blocksForView(blocks, first, blocks.count());
    out += "</template>";
    out += scripts.window;
    out += scripts.after;
    return out;
}

std::string windowedDocument(const PageBlocks& blocks, int serial, const DocumentScripts& scripts) {
    const std::size_t first = firstScreenCount(blocks);
    std::string out;
    out.reserve(blocks.head().size() + scripts.before.size() + scripts.window.size() + scripts.after.size() +
                kFirstScreenBytes * 2);
    appendOpening(out, blocks, serial, first, scripts);
    // Until the page is cut, its length in blocks is guessed from its first screen, so that the
    // scroll bar (and End) already span about the whole chat.
    std::size_t firstBytes = 0;
    for (std::size_t i = 0; i < first; ++i)
        firstBytes += blocks.block(i).size();
    const std::size_t rest = blocks.page().size() - blocks.head().size();
    const std::size_t expected =
        blocks.complete() || firstBytes == 0 ? blocks.count() : first * rest / firstBytes;
    out += ",expected:";
    appendNumber(out, static_cast<long long>(expected));
    appendClosing(out, scripts);
    return out;
}

}  // namespace talvio
