// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/chat_software.h"
#include "sources/contact_table.h"
#include "sources/file_names.h"

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
    int mediaFiles = 0;  // media files written: copies, and the WAVs of voice notes
    std::vector<std::string> failedPages;
    // One line per media file that a page refers to but that could not be written, naming the
    // file and why ("voice/x.wav: opusdec could not decode it (exit status 1)").
    std::vector<std::string> failedMedia;
    bool cancelled = false;
    std::string error;  // set when nothing could be written at all

    bool complete() const {
        return error.empty() && !cancelled && failedPages.empty() && failedMedia.empty();
    }
};

// Which rows of the contact table to export.
std::vector<int> allRows(const ContactTable& table);
std::vector<int> rowsWithMessages(const ContactTable& table);
// Rows whose jid is one of these; unknown jids are returned in missing.
std::vector<int> rowsWithJids(const ContactTable& table, const std::vector<std::string>& jids,
                              std::vector<std::string>* missing);

// The page name of a contact (from the jid, which stays the same from one export to the next),
// unique among the names already used.
std::string pageFileName(const ContactEntry& entry, std::set<std::string>& used);

// Writes data to path through a temporary file beside it and a rename, so that a reader never
// sees a half-written file. Returns false (and leaves any earlier file in place) on failure.
bool writeFileAtomically(const std::string& path, std::string_view data);

// Renders every chosen row as a stand-alone page into a folder, with an index.html that lists
// them as the contact list does. Sets ExportMode for the run and restores it afterwards. While it
// runs, the iPhone renderer copies each page's media into images/, voice/ and video/; the run
// then turns every copied voice note into the voice/<id>.wav its page plays.
class ExportRun {
public:
    // progress(done, total) is called before each chat; returning false cancels the run.
    using Progress = std::function<bool(int done, int total)>;

    ExportRun(CChatSoftware& source, std::string folder);
    // The Ogg Opus decoder to run (by default defaultVoiceDecoder()).
    void setVoiceDecoder(std::string program) { m_voiceDecoder = std::move(program); }
    ExportReport run(const std::vector<int>& rows, const Progress& progress = {});

private:
    void takeMedia(std::size_t& seen, ExportReport& report) const;

    CChatSoftware& m_source;
    std::string m_folder;
    std::string m_voiceDecoder;
};

}  // namespace talvio
