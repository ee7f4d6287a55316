// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "export_summary.h"

#include <vector>

namespace talvio {
namespace {

std::string counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void nameFailures(std::string& text, const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size() && i < kNamedFailures; ++i)
        text += "\n    " + lines[i];
    if (lines.size() > kNamedFailures)
        text += "\n    ... and " + std::to_string(lines.size() - kNamedFailures) + " more.";
}

}  // namespace

ExportSummary exportSummary(const ExportReport& report) {
    ExportSummary summary;
    if (!report.error.empty()) {
        summary.text = "Nothing was exported. " + report.error;
        summary.problem = true;
        return summary;
    }
    std::string& text = summary.text;
    if (report.cancelled) {
        const int left = report.chosen - report.chats;
        text = "The export was cancelled after " + std::to_string(report.chats) + " of " +
               counted(static_cast<std::size_t>(report.chosen), "chat", "chats") + "; " +
               counted(static_cast<std::size_t>(left), "chat was", "chats were") + " not exported.\n";
    } else {
        text = "Exported " + counted(static_cast<std::size_t>(report.chats), "chat", "chats") + ".\n";
    }
    text += "Written into " + report.folder + ": " +
            counted(static_cast<std::size_t>(report.pages), "page", "pages") + " (index.html included) and " +
            counted(static_cast<std::size_t>(report.mediaFiles), "media file", "media files") + ".";
    if (report.keptChats > 0) {
        text += "\nindex.html also lists " +
                counted(static_cast<std::size_t>(report.keptChats), "chat", "chats") +
                " of an earlier export into this folder.";
    }
    if (!report.failedChats.empty()) {
        text += "\n\n" + counted(report.failedChats.size(), "chat", "chats") +
                " could not be read from the phone's folder; a page of an earlier export stays as it was:";
        nameFailures(text, report.failedChats);
    }
    if (!report.failedPages.empty()) {
        text += "\n\n" + counted(report.failedPages.size(), "page", "pages") + " could not be written:";
        nameFailures(text, report.failedPages);
    }
    if (!report.failedMedia.empty()) {
        text += "\n\n" + counted(report.failedMedia.size(), "media file", "media files") +
                " could not be copied or converted; the pages cannot show or play " +
                (report.failedMedia.size() == 1 ? "it:" : "them:");
        nameFailures(text, report.failedMedia);
    }
    summary.problem = !report.complete();
    summary.offerOpen = report.pages > 0;
    if (summary.offerOpen)
        text += "\n\nOpen the folder now?";
    return summary;
}

}  // namespace talvio
