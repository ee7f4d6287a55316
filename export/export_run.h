// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/chat_software.h"
#include "sources/contact_table.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace talvio {

struct ExportReport {
    std::string folder;
    std::string indexPath;
    int chats = 0;       // chats rendered
    int pages = 0;       // page files written, index.html included
    int mediaFiles = 0;  // media files copied or converted
    std::vector<std::string> failedPages;
    std::vector<std::string> failedMedia;
    bool cancelled = false;
    std::string error;  // set when nothing could be written at all

    bool complete() const { return error.empty() && !cancelled && failedPages.empty() && failedMedia.empty(); }
};

// Which rows of the contact table to export.
std::vector<int> allRows(const ContactTable& table);
std::vector<int> rowsWithMessages(const ContactTable& table);
// Rows whose jid is one of these; unknown jids are returned in missing.
std::vector<int> rowsWithJids(const ContactTable& table, const std::vector<std::string>& jids,
                              std::vector<std::string>* missing);

// A file name for a text from a database: never empty, no '/', no control characters, never "."
// or "..", at most 100 bytes, and well-formed UTF-8.
std::string safeFileName(std::string_view text);
// The page name of a contact (from the jid, which stays the same from one export to the next),
// unique among the names already used.
std::string pageFileName(const ContactEntry& entry, std::set<std::string>& used);

// Writes data to path through a temporary file beside it and a rename, so that a reader never
// sees a half-written file. Returns false (and leaves any earlier file in place) on failure.
bool writeFileAtomically(const std::string& path, std::string_view data);

// Renders every chosen row as a stand-alone page into a folder, with an index.html that lists
// them as the contact list does. Sets ExportMode for the run and restores it afterwards.
class ExportRun {
public:
    // progress(done, total) is called before each chat; returning false cancels the run.
    using Progress = std::function<bool(int done, int total)>;

    ExportRun(CChatSoftware& source, std::string folder);
    ExportReport run(const std::vector<int>& rows, const Progress& progress = {});

private:
    CChatSoftware& m_source;
    std::string m_folder;
};

}  // namespace talvio
