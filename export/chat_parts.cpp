// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chat_parts.h"

#include "export/export_index.h"
#include "export/export_run.h"
#include "platform/file_ops.h"
#include "sources/chat_page.h"
#include "sources/html_escape.h"
#include "sources/page_presentation.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace talvio {
namespace {

namespace fs = std::filesystem;

// What every message block starts with, and where its time stands.
constexpr std::string_view kBlockStart = "<div class=\"content\"><SPAN class=\"SenderNameMe\">";
constexpr std::string_view kTimeStart = "<span class=\"MsgTime\">";
constexpr std::string_view kTimeEnd = "</span><br/></div>";
constexpr std::string_view kBodyTag = "<body>";

// The bars carry the page they belong to, so that a later export removes only its own parts.
constexpr std::string_view kBarStart = "<div class=\"ChatParts\" data-part-of=\"";

// A quoted message's anchor and a quote's link to it, as a modern Android page writes them.
constexpr std::string_view kAnchorStart = "<a id=\"m";
constexpr std::string_view kQuoteLinkStart = "<a href=\"#m";

// The row number that follows a name's start at `from` up to its closing quote; empty when the
// name is anything else.
std::string_view rowAt(std::string_view text, std::size_t from) {
    const std::size_t close = text.find('"', from);
    if (close == std::string_view::npos || close == from || close - from > 19)
        return {};
    const std::string_view row = text.substr(from, close - from);
    return std::all_of(row.begin(), row.end(), [](char c) { return c >= '0' && c <= '9'; })
               ? row
               : std::string_view();
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string stemOf(const std::string& page) {
    return page.size() > 5 && page.ends_with(".html") ? page.substr(0, page.size() - 5) : page;
}

// The line at the top and bottom of part k (from 0) of total.
std::string partBar(const std::string& page, const std::set<std::string>& taken, const ChatPart& part,
                    std::size_t k, std::size_t total) {
    std::string bar(kBarStart);
    bar += fileHref(page);
    bar +=
        "\" style=\"font-family:Verdana,sans-serif;font-size:13px;margin:8px 0;padding:6px 8px;"
        "background:#eef3ee;border:1px solid #cdd9cd\">";
    if (k > 0) {
        bar += "<a href=\"" + fileHref(chatPartName(page, static_cast<int>(k), taken)) +
               "\" rel=\"prev\">&laquo; Older</a> &middot; ";
    }
    bar += "Part " + std::to_string(k + 1) + " of " + std::to_string(total);
    if (!part.firstTime.empty()) {
        bar += ": ";
        bar += part.firstTime;  // html already: taken from the page
        if (part.lastTime != part.firstTime) {
            bar += " &ndash; ";
            bar += part.lastTime;
        }
    }
    if (k + 1 < total) {
        bar += " &middot; <a href=\"" + fileHref(chatPartName(page, static_cast<int>(k) + 2, taken)) +
               "\" rel=\"next\">Newer &raquo;</a>";
    }
    bar += "</div>";
    return bar;
}

}  // namespace

std::string chatPartName(const std::string& page, int part, const std::set<std::string>& taken) {
    if (part <= 1)
        return page;
    const std::string base = stemOf(page) + "-part" + std::to_string(part);
    std::string name = base + ".html";
    for (char suffix = 'b'; taken.count(lowerAscii(name)) != 0 && suffix <= 'z'; ++suffix)
        name = base + "-" + suffix + ".html";
    return name;
}

std::set<std::string> takenPageNames(const std::vector<std::string>& pageNames) {
    std::set<std::string> taken{"index.html"};
    for (const std::string& name : pageNames)
        taken.insert(lowerAscii(name));
    return taken;
}

ChatPartWriter::ChatPartWriter(std::string folder, std::string page, std::set<std::string> taken,
                               std::size_t messages, std::size_t perPart)
    : m_folder(std::move(folder)),
      m_page(std::move(page)),
      m_taken(std::move(taken)),
      m_perPart(std::max<std::size_t>(perPart, 1)),
      m_planned(std::max<std::size_t>((messages + m_perPart - 1) / m_perPart, 1)) {}

void ChatPartWriter::write(std::string_view piece) {
    m_pending += piece;
    if (!m_headDone) {
        const std::size_t body = m_pending.find(kBodyTag);
        if (body == std::string::npos)
            return;
        m_head = m_pending.substr(0, body + kBodyTag.size());
        insertPresentationStyle(m_head);
        m_pending.erase(0, body + kBodyTag.size());
        m_headDone = true;
        m_parts.emplace_back();
    }
    scan(false);
}

// Counts the blocks whose sender line is whole, writing the current part out before a block that
// would be one too many for it, and moves everything before the first unread block start into the
// current part.
void ChatPartWriter::scan(bool atEnd) {
    std::size_t done = 0;  // m_pending[0, done) is in a part
    std::size_t safe = std::string::npos;
    for (;;) {
        const std::size_t at = m_pending.find(kBlockStart, m_scanFrom);
        if (at == std::string::npos)
            break;
        const std::size_t timeAt = m_pending.find(kTimeStart, at + kBlockStart.size());
        const std::size_t timeEnd = timeAt == std::string::npos
                                        ? std::string::npos
                                        : m_pending.find(kTimeEnd, timeAt + kTimeStart.size());
        if (timeEnd == std::string::npos && !atEnd) {
            safe = at;
            break;
        }
        // The last planned part takes every message that is left.
        if (m_inPart == m_perPart && m_parts.size() < m_planned) {
            m_body.append(m_pending, done, at - done);
            done = at;
            writePart(m_parts.size() - 1, false);
            m_parts.emplace_back();
            m_inPart = 0;
        }
        ++m_inPart;
        if (timeEnd != std::string::npos) {
            const std::size_t begin = timeAt + kTimeStart.size();
            std::string time = m_pending.substr(begin, timeEnd - begin);
            if (m_parts.back().firstTime.empty())
                m_parts.back().firstTime = time;
            m_parts.back().lastTime = std::move(time);
        }
        m_scanFrom = at + kBlockStart.size();
    }
    if (atEnd) {
        safe = m_pending.size();
    } else if (safe == std::string::npos) {
        // A block start may be cut between this piece and the next.
        const std::size_t tail = m_pending.size() - std::min(m_pending.size(), kBlockStart.size() - 1);
        safe = std::max(m_scanFrom, tail);
    }
    safe = std::max(safe, done);
    m_body.append(m_pending, done, safe - done);
    m_pending.erase(0, safe);
    m_scanFrom = std::max(m_scanFrom, safe) - safe;
}

// A quote points back in time, so its message is in this part or an earlier one, whose anchors are
// known by now. Message texts are escaped: the starts searched for can only be markup.
void ChatPartWriter::linkEarlierAnchors(std::size_t k) {
    for (std::size_t at = m_body.find(kAnchorStart); at != std::string::npos;
         at = m_body.find(kAnchorStart, at + 1)) {
        const std::string_view row = rowAt(m_body, at + kAnchorStart.size());
        if (!row.empty())
            m_anchors.try_emplace(std::string(row), k);
    }
    if (k == 0)
        return;
    std::string linked;
    std::size_t done = 0;
    for (std::size_t at = m_body.find(kQuoteLinkStart); at != std::string::npos;
         at = m_body.find(kQuoteLinkStart, at + 1)) {
        const std::size_t name = at + kQuoteLinkStart.size() - 2;  // at the '#'
        const auto found = m_anchors.find(std::string(rowAt(m_body, name + 2)));
        if (found == m_anchors.end() || found->second >= k)
            continue;
        linked.append(m_body, done, name - done);
        linked += fileHref(m_parts[found->second].page);
        done = name;
    }
    if (done == 0)
        return;
    linked.append(m_body, done);
    m_body = std::move(linked);
}

void ChatPartWriter::writePart(std::size_t k, bool single) {
    ChatPart& part = m_parts[k];
    part.page = chatPartName(m_page, static_cast<int>(k) + 1, m_taken);
    linkEarlierAnchors(k);
    AtomicFile file(m_folder + "/" + part.page);
    m_bars.push_back(single ? std::string() : partBar(m_page, m_taken, part, k, m_planned));
    file.write(m_head);
    file.write(m_bars.back());
    file.write(m_body);
    file.write(m_bars.back());
    file.write(kPageEnd);
    if (!file.commit())
        m_failed.push_back(part.page);
    m_body.clear();
}

bool ChatPartWriter::finish(std::vector<std::string>& failed) {
    if (!m_headDone) {
        // Not a page with a body: nothing to cut, and nothing a browser could open.
        failed.push_back(m_page);
        return false;
    }
    scan(true);
    const bool single = m_parts.size() == 1;  // fewer messages than the list counted
    const std::size_t planned = m_planned;
    m_planned = m_parts.size();
    writePart(m_parts.size() - 1, single);
    // Fewer parts than planned: the parts written so far say "of" too many.
    for (std::size_t k = 0; k + 1 < m_parts.size() && m_parts.size() != planned; ++k) {
        const std::string path = m_folder + "/" + m_parts[k].page;
        std::optional<std::string> text = platform::readRegularFile(path, std::size_t{1} << 31);
        const std::string bar = partBar(m_page, m_taken, m_parts[k], k, m_parts.size());
        const std::size_t first = text ? text->find(m_bars[k]) : std::string::npos;
        const std::size_t last = text ? text->rfind(m_bars[k]) : std::string::npos;
        if (first == std::string::npos || last == first) {
            m_failed.push_back(m_parts[k].page);
            continue;
        }
        text->replace(last, m_bars[k].size(), bar);
        text->replace(first, m_bars[k].size(), bar);
        if (!writeFileAtomically(path, {*text}))
            m_failed.push_back(m_parts[k].page);
    }
    removeStaleParts(m_folder, m_page, static_cast<int>(m_parts.size()) + 1, m_taken);
    failed.insert(failed.end(), m_failed.begin(), m_failed.end());
    return m_failed.empty();
}

void removeStaleParts(const std::string& folder, const std::string& page, int from,
                      const std::set<std::string>& taken) {
    const std::string mark = std::string(kBarStart) + fileHref(page) + "\"";
    for (int k = std::max(from, 2);; ++k) {
        const std::string path = folder + "/" + chatPartName(page, k, taken);
        std::error_code ec;
        if (!fs::is_regular_file(fs::symlink_status(path, ec)))
            return;
        // A part of ours holds the mark right after the head; the file is read no further.
        const std::optional<std::string> start = platform::readRegularFile(path, 256 * 1024);
        if (!start || start->find(mark) == std::string::npos)
            return;
        fs::remove(path, ec);
    }
}

}  // namespace talvio
