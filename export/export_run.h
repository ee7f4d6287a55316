// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "export/export_index.h"
#include "sources/chat_software.h"
#include "sources/contact_table.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace talvio {

class MediaCopyLog;
class MessageTimeFormatter;
class VoiceDecodeQueue;

struct ExportReport {
    std::string folder;
    std::string indexPath;
    int chosen = 0;      // chats asked for
    int chats = 0;       // chats rendered
    int pages = 0;       // page files written, index.html included
    int mediaFiles = 0;  // media files written: copies, and the WAVs of voice notes
    int keptChats = 0;   // chats of an earlier export into the folder that the index still lists
    std::vector<std::string> failedPages;
    // One line per chat whose messages could not be read ("Anna: database disk image is
    // malformed"); its page of an earlier export stays as it was.
    std::vector<std::string> failedChats;
    // One line per media file that a page refers to but that could not be written, naming the
    // file and why ("voice/x.wav: opusdec could not decode it (exit status 1)").
    std::vector<std::string> failedMedia;
    bool cancelled = false;
    std::string error;  // set when nothing could be written at all

    bool complete() const {
        return error.empty() && !cancelled && failedPages.empty() && failedChats.empty() &&
               failedMedia.empty();
    }
};

// Which rows of the contact table to export.
std::vector<int> allRows(const ContactTable& table);
std::vector<int> rowsWithMessages(const ContactTable& table);
// Rows whose jid is one of these; unknown jids are returned in missing.
std::vector<int> rowsWithJids(const ContactTable& table, const std::vector<std::string>& jids,
                              std::vector<std::string>* missing);

// A file written through a temporary file beside it and renamed into place by commit(), so that a
// reader never sees a half-written file. Until commit() succeeds any earlier file stays as it was;
// without it the temporary file is removed. The temporary file is created exclusively under a name
// nobody can guess, so a link planted in the folder is never written through.
class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(std::string_view piece);
    // False when any write failed or the file could not be put in place.
    bool commit();

private:
    std::string m_path;
    std::string m_temporary;
    int m_fd = -1;
    bool m_failed = false;
    bool m_committed = false;
};

// Writes the pieces to path as one AtomicFile. Returns false (and leaves any earlier file in
// place) on failure.
bool writeFileAtomically(const std::string& path, std::initializer_list<std::string_view> pieces);

// Why an export may not go into folder, empty when it may: the phone's folders (data and
// resources) are never written to, not even below them.
std::string exportFolderProblem(const std::string& folder, const PhoneFolder& phone);

// Renders every chosen row as a stand-alone page into a folder, with an index.html that lists
// them as the contact list does. While it runs, the iPhone renderer copies each page's media into
// images/, voice/ and video/; the run then turns every copied voice note into the voice/<id>.wav
// its page plays. An earlier export in the folder is updated: its files are replaced or left
// alone, never removed, and its index rows stay as long as their pages are there. A chat that
// cannot be read leaves its earlier page as it was and is named as failed.
class ExportRun {
public:
    // progress(done, total) is called before each chat and once at the end; returning false
    // cancels the run before the next chat (the index is still written).
    using Progress = std::function<bool(int done, int total)>;

    ExportRun(CChatSoftware& source, std::string folder);
    // The Ogg Opus decoder to run (by default defaultVoiceDecoder()).
    void setVoiceDecoder(std::string program) { m_voiceDecoder = std::move(program); }
    // Called while voice notes are converted, which can take a while in a chat with many notes.
    void setPulse(std::function<void()> pulse) { m_pulse = std::move(pulse); }

    // Whether an iPhone export renders from an indexed copy of the store (see IndexedChatCopy):
    // by default when it exports enough chats for the copy to pay for itself.
    enum class IndexedCopy { Auto, Always, Never };
    void setIndexedCopy(IndexedCopy use) { m_indexedCopy = use; }
    // Chats from which Auto makes the copy: copying and indexing cost about ten reads of the table.
    static constexpr std::size_t kIndexedCopyFrom = 10;
    // Chats longer than this are written in parts (see ChatPartWriter).
    void setMessagesPerPart(std::size_t messages) { m_messagesPerPart = messages; }
    ExportReport run(const std::vector<int>& rows, const Progress& progress = {});

private:
    // The entry for the index; none when the chat could not be read.
    std::optional<IndexEntry> exportChat(const ContactEntry& entry, const std::string& page,
                                         ExportReport& report);
    void takeMedia(ExportReport& report);
    void writeIndex(const std::vector<IndexEntry>& entries, const std::vector<std::string>& attempted,
                    ExportReport& report) const;

    CChatSoftware& m_source;
    std::string m_folder;
    std::string m_voiceDecoder;
    std::function<void()> m_pulse;
    IndexedCopy m_indexedCopy = IndexedCopy::Auto;
    std::size_t m_messagesPerPart;
    std::set<std::string> m_takenPages;  // every page name of the table, without letter case
    // State of one run.
    std::size_t m_mediaSeen = 0;  // copies of the media log already counted
    const MessageTimeFormatter* m_times = nullptr;
    VoiceDecodeQueue* m_decodes = nullptr;
    MediaCopyLog* m_media = nullptr;
};

}  // namespace talvio
