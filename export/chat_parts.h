// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace talvio {

// A chat of more messages than this is exported as several pages: a browser opens a part of this
// size from disk in a fraction of a second, while one page of 100,000 messages takes it a minute and
// gigabytes of memory.
inline constexpr std::size_t kMessagesPerPart = 2000;

// One page of a chat exported in parts.
struct ChatPart {
    std::string page;       // file name in the export folder
    std::string firstTime;  // the shown time of its first and last message
    std::string lastTime;
};

// The file names of a chat's parts: the first is the chat's own page ("X.html"), the others
// "X-part2.html", "X-part3.html", ... and a name another chat's page has (taken, compared without
// letter case) gets "-b", "-c", ... until it is free. The same chat gets the same names every time.
std::string chatPartName(const std::string& page, int part, const std::set<std::string>& taken);
// The names a part must not take: every page name of the table, and the index.
std::set<std::string> takenPageNames(const std::vector<std::string>& pageNames);

// Cuts a stand-alone chat page, handed over piece by piece, into pages of at most perPart messages
// each (the last takes what the list did not count). Every part is a complete page with the chat's
// head, a line that says which part of how many it is and which times it covers, and links to the
// older and newer parts at its top and bottom. A part is written as soon as it is whole, so a chat
// of any length costs the memory of one part. A reply's quote links its message's anchor on the
// page ("#m<row>"); when that message went into an earlier part, the link names that part's file.
class ChatPartWriter {
public:
    // messages: how many the contact list counts, which decides the number of parts.
    ChatPartWriter(std::string folder, std::string page, std::set<std::string> taken, std::size_t messages,
                   std::size_t perPart = kMessagesPerPart);

    // The page as the renderer hands it over, without "</body></html>".
    void write(std::string_view piece);
    // Writes the last part and removes parts of an earlier export of the chat that the new ones no
    // longer reach. False when a part could not be written; failed names the pages that were not.
    bool finish(std::vector<std::string>& failed);

    const std::vector<ChatPart>& parts() const { return m_parts; }

private:
    void scan(bool atEnd);
    void writePart(std::size_t k, bool single);
    void linkEarlierAnchors(std::size_t k);

    std::string m_folder;
    std::string m_page;
    std::set<std::string> m_taken;
    std::size_t m_perPart;
    std::size_t m_planned;  // parts the count asks for
    std::string m_head;     // up to and including "<body>", with the presentation style
    bool m_headDone = false;
    std::string m_pending;       // received, not yet read for block starts
    std::size_t m_scanFrom = 0;  // in m_pending: where the next unread block start may begin
    std::string m_body;          // the current part's messages
    std::size_t m_inPart = 0;
    std::vector<ChatPart> m_parts;
    std::vector<std::string> m_bars;  // the bar each written part carries
    std::vector<std::string> m_failed;
    std::unordered_map<std::string, std::size_t> m_anchors;  // a message anchor's name, its part
};

// Removes "X-part<k>.html" pages from k = from on that an earlier export of page wrote, and
// nothing else: a file is removed only when it carries the mark of a part of that page.
void removeStaleParts(const std::string& folder, const std::string& page, int from,
                      const std::set<std::string>& taken);

}  // namespace talvio
