// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace talvio {

// A relative address for a file name: everything but unreserved characters percent-encoded.
std::string fileHref(std::string_view name);

// One page of a chat exported in parts, as the index lists it.
struct IndexPart {
    std::string page;
    std::string times;  // the shown times it covers, as html
};

// One row of an export's index.html: a chat and the page it was written to.
struct IndexEntry {
    std::string name;  // UTF-8, as the contact list shows it
    std::string time;  // the shown time of the newest message
    int count = 0;
    std::string page;              // the page's file name; empty when the page could not be written
    std::int32_t order = 0;        // the newest message's time in seconds: the index lists newest first
    std::vector<IndexPart> parts;  // a long chat's pages, the first being page; empty for one page
};

// A row of an earlier index.html that the new one keeps, exactly as it was written.
struct KeptIndexRow {
    std::string line;
    std::int32_t order = 0;
};

// The rows of the index.html in folder that a new export into it keeps: those whose page is still
// there and is not among the pages of this export, so that exporting a few chats again does not
// drop the others from the list. Only lines in the exact form this program writes are taken, so
// nothing of a file of other origin reaches the new page.
std::vector<KeptIndexRow> keptIndexRows(const std::string& folder, const std::vector<std::string>& pagesNow);

// Whether folder holds an index.html that is not an export's index (a web site, say), which an
// export must not replace.
bool holdsForeignIndex(const std::string& folder);

// The index page: this export's rows and the kept ones, newest first; of equal times this export's
// rows come first, in their own order. Every row is one line (see keptIndexRows).
std::string indexPage(const std::vector<IndexEntry>& fresh, const std::vector<KeptIndexRow>& kept);

// The page file name of every row of a table, from the rows' jids: the number part of the jid, made
// safe for a file name, with "-2", "-3", ... for names taken. Names are handed out in the order of
// the jids, not of the rows, so that exporting any subset of the same chats, now or later, gives
// each chat the same page and two chats never share one. "index" is reserved, and names differ in
// more than letter case, for exports onto case-blind file systems.
std::vector<std::string> pageFileNames(const std::vector<std::string>& jids);

}  // namespace talvio
