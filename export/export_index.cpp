// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "export_index.h"

#include "platform/file_ops.h"
#include "sources/contact_table.h"
#include "sources/file_names.h"
#include "sources/html_escape.h"
#include "sources/text_convert.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <numeric>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>

namespace talvio {
namespace {

// An index of 1,000,000 chats stays well below this; anything larger is not ours.
constexpr std::size_t kMaxIndexBytes = 256u << 20;

constexpr std::string_view kIndexHead =
    "<!DOCTYPE html><html><head><meta charset=\"UTF-8\" /><title>WhatsApp chats - Talvio</title>";

std::string escapeHtml(std::string_view text) {
    std::string out;
    appendAttributeText(out, text);
    return out;
}

}  // namespace

std::string fileHref(std::string_view name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : name) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
            c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

namespace {

std::string fileNameOfHref(std::string_view href) {
    std::string out;
    for (std::size_t i = 0; i < href.size(); ++i) {
        if (href[i] == '%' && i + 2 < href.size() && hexDigitValue(href[i + 1]) >= 0 &&
            hexDigitValue(href[i + 2]) >= 0) {
            out += static_cast<char>(hexDigitValue(href[i + 1]) * 16 + hexDigitValue(href[i + 2]));
            i += 2;
        } else {
            out += href[i];
        }
    }
    return out;
}

std::string rowLine(const IndexEntry& e) {
    std::string line;
    const std::string name = escapeHtml(e.name);
    if (e.page.empty()) {
        line = "<tr><td>" + name;
    } else {
        const std::string href = fileHref(e.page);
        line = "<tr data-page=\"" + href + "\" data-order=\"" + std::to_string(e.order) +
               "\"><td><a href=\"" + href + "\">" + name + "</a>";
        if (!e.parts.empty()) {
            line += "<br/><small class=\"Parts\">" + std::to_string(e.parts.size()) + " parts:";
            for (std::size_t k = 0; k < e.parts.size(); ++k) {
                line += (k == 0 ? " " : " &middot; ");
                line += "<a href=\"" + fileHref(e.parts[k].page) + "\">" + std::to_string(k + 1) + "</a> ";
                line += e.parts[k].times;
            }
            line += "</small>";
        }
    }
    line += "</td><td>" + escapeHtml(e.time) + "</td><td>" + std::to_string(e.count) + "</td></tr>";
    return line;
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Reads the row line that rowLine writes for a written page, and nothing else: every cell text
// free of tags. Sets the page's address and the order key.
bool parseRowLine(std::string_view line, std::string_view& href, std::int32_t& order) {
    const auto take = [&line](std::string_view text) {
        if (line.substr(0, text.size()) != text)
            return false;
        line.remove_prefix(text.size());
        return true;
    };
    const auto span = [&line](auto allowed, std::size_t most) {
        std::size_t n = 0;
        while (n < line.size() && n < most && allowed(line[n]))
            ++n;
        std::string_view out = line.substr(0, n);
        line.remove_prefix(n);
        return out;
    };
    const auto hrefChar = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '%' ||
               c == '.' || c == '_' || c == '~' || c == '-';
    };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto cellText = [](char c) { return c != '<' && c != '>'; };
    if (!take("<tr data-page=\""))
        return false;
    href = span(hrefChar, 1024);
    if (href.empty() || !take("\" data-order=\""))
        return false;
    const bool negative = take("-");
    const std::string_view digits = span(digit, 10);
    if (digits.empty() || !take("\"><td><a href=\"") || !take(href) || !take("\">"))
        return false;
    span(cellText, std::string_view::npos);
    if (!take("</a>"))
        return false;
    // A chat in parts lists them: links to its pages and the times they cover, nothing else.
    if (take("<br/><small class=\"Parts\">")) {
        for (;;) {
            span(cellText, std::string_view::npos);
            if (take("</small>"))
                break;
            if (!take("<a href=\"") || span(hrefChar, 1024).empty() || !take("\">") ||
                span(digit, 10).empty() || !take("</a>"))
                return false;
        }
    }
    if (!take("</td><td>"))
        return false;
    span(cellText, std::string_view::npos);
    if (!take("</td><td>") || span(digit, 10).empty() || !take("</td></tr>") || !line.empty())
        return false;
    const long long value = std::stoll(std::string(digits));
    if (value > std::numeric_limits<std::int32_t>::max())
        return false;
    order = static_cast<std::int32_t>(negative ? -value : value);
    return true;
}

}  // namespace

bool holdsForeignIndex(const std::string& folder) {
    const std::string path = folder + "/index.html";
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
        return false;
    // Anything but a regular file of ours there (a FIFO, a device, a folder) is not an index.
    const std::optional<std::string> head = platform::readRegularFile(path, kIndexHead.size());
    return !head || *head != kIndexHead;
}

std::vector<KeptIndexRow> keptIndexRows(const std::string& folder, const std::vector<std::string>& pagesNow) {
    namespace fs = std::filesystem;
    std::vector<KeptIndexRow> kept;
    const std::string path = folder + "/index.html";
    std::error_code ec;
    const std::optional<std::string> text = platform::readRegularFile(path, kMaxIndexBytes + 1);
    if (!text || text->size() > kMaxIndexBytes)
        return kept;
    std::istringstream in(*text);
    const std::set<std::string> now(pagesNow.begin(), pagesNow.end());
    std::set<std::string> seen;
    for (std::string line; std::getline(in, line);) {
        std::string_view href;
        std::int32_t order = 0;
        if (!parseRowLine(line, href, order))
            continue;
        const std::string page = fileNameOfHref(href);
        if (page.find('/') != std::string::npos || page == "." || page == ".." || now.count(page) != 0 ||
            !seen.insert(page).second || !fs::is_regular_file(folder + "/" + page, ec)) {
            continue;
        }
        kept.push_back({line, order});
    }
    return kept;
}

std::string indexPage(const std::vector<IndexEntry>& fresh, const std::vector<KeptIndexRow>& kept) {
    std::vector<KeptIndexRow> rows;
    rows.reserve(fresh.size() + kept.size());
    for (const IndexEntry& e : fresh)
        rows.push_back({rowLine(e), e.order});
    rows.insert(rows.end(), kept.begin(), kept.end());
    std::stable_sort(rows.begin(), rows.end(),
                     [](const KeptIndexRow& a, const KeptIndexRow& b) { return a.order > b.order; });

    std::string html =
        std::string(kIndexHead) +
        "<style>body{font-family:Verdana,sans-serif;font-size:13px} table{border-collapse:collapse} "
        "th,td{border:1px solid #ccc;padding:3px 8px;text-align:left}</style></head><body>"
        "<table><tr><th>Contact</th><th>Recent time</th><th>Quantity</th></tr>\n";
    for (const KeptIndexRow& r : rows)
        html += r.line + "\n";
    html += "</table></body></html>\n";
    return html;
}

std::vector<std::string> pageFileNames(const std::vector<std::string>& jids) {
    std::vector<std::size_t> order(jids.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&jids](std::size_t a, std::size_t b) { return jids[a] < jids[b]; });
    std::vector<std::string> names(jids.size());
    std::set<std::string> taken{"index.html"};
    for (std::size_t i : order) {
        const std::string base = safeFileName(JidToNumber(jids[i]));
        std::string name = base + ".html";
        for (int n = 2; taken.count(lowerAscii(name)) != 0; ++n)
            name = base + "-" + std::to_string(n) + ".html";
        taken.insert(lowerAscii(name));
        names[i] = std::move(name);
    }
    return names;
}

}  // namespace talvio
