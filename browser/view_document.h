// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "browser/page_blocks.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace talvio {

// What the view is handed for a chat page. Laying a thousand messages out at once keeps the render
// process from input for about 0.13 s here, a quarter of a million for many minutes, and every
// frame costs in proportion to the document. So only a page of up to kWholeBlocks blocks (and
// kWholeBytes of text) goes whole, as one document (Whole), laid out in a few hundredths. A page
// of up to kWholePageBlocks blocks goes with its first screen in place and the rest inert in a
// template, which the window script moves into the document a few screens at a time until the
// chat is whole (Filled), so that no layout keeps input waiting long; a thousand messages are
// whole after about 0.22 s, waits stay under 0.07 s (measured). A longer page starts as a window
// (Window): the page's own head, the first screen of blocks, and a script that fetches other
// blocks from the view as they are needed and stands in for the rest with two spacers of their
// estimated heights. The estimates (and the number of blocks) follow once the whole page has been
// cut, off the UI thread.
inline constexpr std::size_t kWholeBlocks = 300;
inline constexpr std::size_t kWholeBytes = 100 * 1024;
inline constexpr std::size_t kWholePageBlocks = 2000;
// The first screen that goes out with a filled or windowed document.
inline constexpr std::size_t kFirstScreenBlocks = 120;
inline constexpr std::size_t kFirstScreenBytes = 64 * 1024;

enum class Presentation { Whole, Filled, Window };

// How a page goes to the view; blocks may have been cut with a limit above kWholePageBlocks.
Presentation presentationOf(const PageBlocks& blocks);

// The view's own scripts in a document: `before` runs ahead of the page's (window.external),
// `after` once the page is parsed, and `window` runs a windowed page. They are part of each
// document rather than injected by WebEngine, whose 6.4 release loses injected scripts for pages
// that start in a render process taking over from one that crashed. Each must be script
// elements complete with their tags.
struct DocumentScripts {
    std::string_view before;
    std::string_view after;
    std::string_view window;
};

// The page as the view gets it when shown whole: its text, pictures by full path turned into
// file addresses, between the view's scripts.
std::string wholeDocument(std::string_view page, const DocumentScripts& scripts);

// The document of a filled page: every block, the first screen of them in the window.
std::string filledDocument(const PageBlocks& blocks, int serial, const DocumentScripts& scripts);

// The first document of a windowed page, from its first blocks (the rest need not be cut yet).
// serial names the page for later requests.
std::string windowedDocument(const PageBlocks& blocks, int serial, const DocumentScripts& scripts);

// Blocks [from, to) as the window inserts them, each in a div of class "tvb" of its own so that
// it can be measured and removed; the range is clipped to the page.
std::string blocksForView(const PageBlocks& blocks, std::size_t from, std::size_t to);

// How many blocks go out with the first document.
std::size_t firstScreenCount(const PageBlocks& blocks);

}  // namespace talvio
