// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "export_run.h"

#include "export/voice_decoder.h"
#include "sources/chat_page.h"
#include "sources/media_copy.h"
#include "sources/message_time.h"
#include "sources/program_state.h"
#include "sources/text_convert.h"

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace talvio {
namespace {

std::string escapeHtmlAttribute(std::string_view text) {
    std::string out;
    for (char c : Utf8ToAnsi(text)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A relative address for a file name: everything but unreserved characters percent-encoded.
std::string hrefForFileName(std::string_view name) {
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

struct IndexEntry {
    std::string name;
    std::string time;
    int count = 0;
    std::string page;  // empty when the page could not be written
};

std::string indexPage(const std::vector<IndexEntry>& entries) {
    std::string html =
        "<!DOCTYPE html><html><head><meta charset=\"UTF-8\" /><title>WhatsApp chats - Talvio</title>"
        "<style>body{font-family:Verdana,sans-serif;font-size:13px} table{border-collapse:collapse} "
        "th,td{border:1px solid #ccc;padding:3px 8px;text-align:left}</style></head><body>"
        "<table><tr><th>Contact</th><th>Recent time</th><th>Quantity</th></tr>\n";
    for (const IndexEntry& e : entries) {
        html += "<tr><td>";
        if (!e.page.empty()) {
            html += "<a href=\"" + hrefForFileName(e.page) + "\">" + escapeHtmlAttribute(e.name) + "</a>";
        } else {
            html += escapeHtmlAttribute(e.name);
        }
        html += "</td><td>" + escapeHtmlAttribute(e.time) + "</td><td>" + std::to_string(e.count) +
                "</td></tr>\n";
    }
    html += "</table></body></html>\n";
    return html;
}

}  // namespace

std::vector<int> allRows(const ContactTable& table) {
    std::vector<int> rows;
    for (int i = 0; i < table.count(); ++i)
        rows.push_back(i);
    return rows;
}

std::vector<int> rowsWithMessages(const ContactTable& table) {
    std::vector<int> rows;
    for (int i = 0; i < table.count(); ++i) {
        if (table.row(i).messageCount > 0)
            rows.push_back(i);
    }
    return rows;
}

std::vector<int> rowsWithJids(const ContactTable& table, const std::vector<std::string>& jids,
                              std::vector<std::string>* missing) {
    std::vector<int> rows;
    for (const std::string& jid : jids) {
        bool found = false;
        for (int i = 0; i < table.count(); ++i) {
            if (table.row(i).jid == jid) {
                if (std::find(rows.begin(), rows.end(), i) == rows.end())
                    rows.push_back(i);
                found = true;
            }
        }
        if (!found && missing != nullptr)
            missing->push_back(jid);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string pageFileName(const ContactEntry& entry, std::set<std::string>& used) {
    const std::string base = safeFileName(JidToNumber(entry.jid));
    std::string name = base + ".html";
    for (int n = 2; used.count(name) != 0 || name == "index.html"; ++n)
        name = base + "-" + std::to_string(n) + ".html";
    used.insert(name);
    return name;
}

bool writeFileAtomically(const std::string& path, std::string_view data) {
    const std::string temporary = path + ".part-" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

ExportRun::ExportRun(CChatSoftware& source, std::string folder)
    : m_source(source), m_folder(std::move(folder)), m_voiceDecoder(defaultVoiceDecoder()) {
    while (m_folder.size() > 1 && m_folder.back() == '/')
        m_folder.pop_back();
}

// Counts and converts what the last render copied. A voice note copied as anything but a WAV is
// decoded beside its copy, so that the page's voice/<id>.wav exists.
void ExportRun::takeMedia(std::size_t& seen, ExportReport& report) const {
    const std::vector<MediaCopy>& copies = mediaCopyLog().copies();
    for (; seen < copies.size(); ++seen) {
        const MediaCopy& copy = copies[seen];
        if (!copy.copied) {
            report.failedMedia.push_back((copy.target.empty() ? copy.source : copy.target) + ": " +
                                         copy.error);
            continue;
        }
        ++report.mediaFiles;
        const std::string wav = std::string(mediaFolderName(MediaFolder::Voice)) + "/" + copy.id + ".wav";
        if (copy.folder != MediaFolder::Voice || copy.target == wav)
            continue;
        const std::string error =
            decodeVoiceNote(m_voiceDecoder, m_folder + "/" + copy.target, m_folder + "/" + wav);
        if (error.empty()) {
            ++report.mediaFiles;
        } else {
            report.failedMedia.push_back(wav + ": " + error);
        }
    }
}

ExportReport ExportRun::run(const std::vector<int>& rows, const Progress& progress) {
    ExportReport report;
    report.folder = m_folder;
    if (!EnsureDirectory(m_folder)) {
        report.error = "The folder " + m_folder + " could not be created.";
        return report;
    }
    ProgramState& state = programState();
    const bool wasExportMode = state.exportMode;
    const int previousIndex = state.currentContactIndex;
    const std::string previousName = state.currentContactName;
    state.exportMode = true;
    state.exportFolder = m_folder;
    // Names are handed out per run: the same phone folder exported twice gives the same names.
    mediaCopyLog().clear();
    std::size_t mediaSeen = 0;

    const ContactTable& table = contactTable();
    const MessageTimeFormatter times(state.sourceKind, standardTimeZoneBias());
    std::set<std::string> used;
    std::vector<IndexEntry> entries;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (progress && !progress(static_cast<int>(k), static_cast<int>(rows.size()))) {
            report.cancelled = true;
            break;
        }
        const int row = rows[k];
        if (!table.isRow(row))
            continue;
        const ContactEntry& entry = table.row(row);
        state.currentContactIndex = row;
        // The renderer names a one-to-one chat's partner by this; without it every page would carry
        // the name of whichever contact was selected last.
        state.currentContactName = contactShownName(entry);
        m_source.RenderChat(entry.messageCount, kStandAlone);
        ++report.chats;
        takeMedia(mediaSeen, report);

        IndexEntry index{entry.displayName.empty() ? entry.jid : entry.displayName,
                         times.format(entry.lastMessageTime), entry.messageCount, pageFileName(entry, used)};
        std::string& page = chatPageBuffer().text();
        page += kPageEnd;
        if (writeFileAtomically(m_folder + "/" + index.page, page)) {
            ++report.pages;
        } else {
            report.failedPages.push_back(index.page);
            index.page.clear();
        }
        page.resize(page.size() - kPageEnd.size());
        entries.push_back(std::move(index));
    }
    if (progress && !report.cancelled)
        progress(static_cast<int>(rows.size()), static_cast<int>(rows.size()));

    report.indexPath = m_folder + "/index.html";
    if (writeFileAtomically(report.indexPath, indexPage(entries))) {
        ++report.pages;
    } else {
        report.failedPages.push_back("index.html");
    }
    state.exportMode = wasExportMode;
    state.currentContactIndex = previousIndex;
    state.currentContactName = previousName;
    return report;
}

}  // namespace talvio
