// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "export_run.h"

#include "export/chat_parts.h"
#include "export/indexed_copy.h"
#include "media/voice_decode_queue.h"
#include "platform/file_ops.h"
#include "sources/chat_page.h"
#include "sources/media_copy.h"
#include "sources/message_time.h"
#include "sources/page_presentation.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <system_error>
#include <utility>

namespace talvio {
namespace {

namespace fs = std::filesystem;

// Whether path is folder itself or lies below it, once links and ".." are resolved.
bool isWithin(const std::string& path, const std::string& folder) {
    std::error_code ec;
    const fs::path inner = fs::weakly_canonical(fs::absolute(path, ec), ec);
    if (ec)
        return false;
    const fs::path outer = fs::weakly_canonical(fs::absolute(folder, ec), ec);
    if (ec)
        return false;
    auto o = outer.begin();
    auto i = inner.begin();
    for (; o != outer.end(); ++o, ++i) {
        // A trailing '/' leaves an empty last element.
        if (o->empty())
            continue;
        if (i == inner.end() || *i != *o)
            return false;
    }
    return true;
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

AtomicFile::AtomicFile(std::string path) : m_path(std::move(path)) {
    platform::NewFile temporary = platform::createFileBeside(m_path);
    m_temporary = std::move(temporary.path);
    m_fd = temporary.fd;
    m_failed = m_fd < 0;
}

AtomicFile::~AtomicFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed && !m_temporary.empty())
        ::unlink(m_temporary.c_str());
}

void AtomicFile::write(std::string_view piece) {
    while (!m_failed && !piece.empty()) {
        const ssize_t written = ::write(m_fd, piece.data(), piece.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_failed = true;
            break;
        }
        piece.remove_prefix(static_cast<std::size_t>(written));
    }
}

bool AtomicFile::commit() {
    if (m_committed)
        return true;
    if (m_fd >= 0 && ::close(m_fd) != 0)
        m_failed = true;
    m_fd = -1;
    if (m_failed)
        return false;
    // rename() replaces a link at the page's name; it never writes through it.
    m_committed = ::rename(m_temporary.c_str(), m_path.c_str()) == 0;
    return m_committed;
}

bool writeFileAtomically(const std::string& path, std::initializer_list<std::string_view> pieces) {
    AtomicFile file(path);
    for (std::string_view piece : pieces)
        file.write(piece);
    return file.commit();
}

std::string exportFolderProblem(const std::string& folder, const PhoneFolder& phone) {
    for (const std::string* own : {&phone.dataFolder, &phone.resourceFolder}) {
        if (!own->empty() && isWithin(folder, *own)) {
            return "The chats cannot be exported into the phone's folder " + *own +
                   ": nothing in it is ever changed. Choose a folder outside it.";
        }
    }
    return {};
}

ExportRun::ExportRun(CChatSoftware& source, std::string folder)
    : m_source(source),
      m_folder(std::move(folder)),
      m_voiceDecoder(defaultVoiceDecoder()),
      m_messagesPerPart(kMessagesPerPart) {
    while (m_folder.size() > 1 && m_folder.back() == '/')
        m_folder.pop_back();
}

// Counts what the last render copied and starts converting its voice notes: a note copied as
// anything but a WAV is decoded beside its copy, so that the page's voice/<id>.wav exists.
void ExportRun::takeMedia(ExportReport& report) {
    const std::vector<MediaCopy>& copies = m_media->copies();
    for (; m_mediaSeen < copies.size(); ++m_mediaSeen) {
        const MediaCopy& copy = copies[m_mediaSeen];
        if (!copy.copied) {
            report.failedMedia.push_back((copy.target.empty() ? copy.source : copy.target) + ": " +
                                         copy.error);
            continue;
        }
        ++report.mediaFiles;
        const std::string wav = std::string(mediaFolderName(MediaFolder::Voice)) + "/" + copy.id + ".wav";
        if (copy.folder != MediaFolder::Voice || copy.target == wav)
            continue;
        // A note that an earlier export copied and converted keeps its WAV.
        std::error_code ec;
        if (copy.alreadyThere && fs::is_regular_file(m_folder + "/" + wav, ec)) {
            ++report.mediaFiles;
            continue;
        }
        m_decodes->add(m_folder + "/" + copy.target, m_folder + "/" + wav, m_mediaSeen);
    }
}

void ExportRun::writeIndex(const std::vector<IndexEntry>& entries, const std::vector<std::string>& attempted,
                           ExportReport& report) const {
    const std::vector<KeptIndexRow> kept = keptIndexRows(m_folder, attempted);
    report.keptChats = static_cast<int>(kept.size());
    report.indexPath = m_folder + "/index.html";
    if (writeFileAtomically(report.indexPath, {indexPage(entries, kept)})) {
        ++report.pages;
    } else {
        report.failedPages.push_back("index.html");
    }
}

namespace {

// The iPhone source reads its indexed copy while the run lasts, and its own store again after.
class MessageDatabaseDuringExport {
public:
    MessageDatabaseDuringExport(CChatSoftware& source, const std::string& path)
        : m_source(source), m_before(source.folder()) {
        PhoneFolder folder = m_before;
        folder.messageDbPath = path;
        m_source.setFolder(std::move(folder));
    }
    MessageDatabaseDuringExport(CChatSoftware& source, std::shared_ptr<const backup::PlainImage> image)
        : m_source(source), m_before(source.folder()) {
        PhoneFolder folder = m_before;
        folder.heldMessageDb = std::move(image);
        m_source.setFolder(std::move(folder));
    }
    ~MessageDatabaseDuringExport() { m_source.setFolder(m_before); }
    MessageDatabaseDuringExport(const MessageDatabaseDuringExport&) = delete;
    MessageDatabaseDuringExport& operator=(const MessageDatabaseDuringExport&) = delete;

private:
    CChatSoftware& m_source;
    PhoneFolder m_before;
};

}  // namespace

std::optional<IndexEntry> ExportRun::exportChat(const ContactEntry& entry, const std::string& page,
                                                ExportReport& report) {
    // A long chat goes into parts, each of which a browser opens at once; a short one stays one page.
    std::optional<ChatPartWriter> parts;
    if (static_cast<std::size_t>(std::max(entry.messageCount, 0)) > m_messagesPerPart)
        parts.emplace(m_folder, page, m_takenPages, static_cast<std::size_t>(entry.messageCount),
                      m_messagesPerPart);
    // The page goes to its file while it is built: a chat of any length costs the same memory.
    AtomicFile file(m_folder + "/" + page);
    ChatPageBuffer buffer;
    // The saved page gets the viewer's presentation through a style of its own in its head; the
    // page text around it is the renderer's.
    bool styled = false;
    buffer.setSink([&file, &styled, &parts](std::string_view piece) {
        if (parts) {
            parts->write(piece);
            return;
        }
        if (styled) {
            file.write(piece);
            return;
        }
        styled = true;
        std::string start(piece);
        insertPresentationStyle(start);
        file.write(start);
    });
    const RenderOutcome outcome = renderContact(m_source, entry, kStandAlone, buffer, m_media);
    buffer.handOver();
    if (!parts)
        file.write(kPageEnd);
    takeMedia(report);
    const std::string shown = entry.displayName.empty() ? entry.jid : entry.displayName;
    if (!outcome.readable) {
        // A page of an earlier export stays as it was, rather than be replaced by a page without
        // the messages; the closing message names the chat.
        report.failedChats.push_back(shown + ": " + outcome.reason);
        return std::nullopt;
    }
    ++report.chats;
    IndexEntry index{shown, m_times->format(entry.lastMessageTime), entry.messageCount,
                     page,  TimeValueOf(entry.lastMessageTime),     {}};
    if (parts) {
        const std::size_t failedBefore = report.failedPages.size();
        parts->finish(report.failedPages);
        const std::size_t written = parts->parts().size() - (report.failedPages.size() - failedBefore);
        report.pages += static_cast<int>(written);
        if (parts->parts().size() > 1) {
            for (const ChatPart& part : parts->parts()) {
                std::string times = part.firstTime;
                if (part.lastTime != part.firstTime)
                    times += " &ndash; " + part.lastTime;
                index.parts.push_back({part.page, std::move(times)});
            }
        }
        if (report.failedPages.size() > failedBefore && report.failedPages[failedBefore] == page)
            index.page.clear();
        return index;
    }
    if (file.commit()) {
        ++report.pages;
        // A chat that an earlier export wrote in parts is one page now: its other parts go.
        removeStaleParts(m_folder, page, 2, m_takenPages);
    } else {
        report.failedPages.push_back(page);
        index.page.clear();
    }
    return index;
}

ExportReport ExportRun::run(const std::vector<int>& rows, const Progress& progress) {
    ExportReport report;
    report.folder = m_folder;
    report.chosen = static_cast<int>(rows.size());
    report.error = exportFolderProblem(m_folder, m_source.folder());
    if (!report.error.empty())
        return report;
    if (!EnsureDirectory(m_folder)) {
        report.error = "The folder " + m_folder + " could not be created.";
        return report;
    }
    if (holdsForeignIndex(m_folder)) {
        report.error = "The folder " + m_folder +
                       " holds an index.html that is not an export of chats. Choose an empty folder or "
                       "one that holds an earlier export.";
        return report;
    }
    removeLeftoverWorkingFolders(m_folder);
    const PhoneFolder& phone = m_source.folder();
    IndexedChatCopy indexed;
    const bool wantCopy = m_indexedCopy == IndexedCopy::Always ||
                          (m_indexedCopy == IndexedCopy::Auto && rows.size() >= kIndexedCopyFrom);
    // Without the copy every chat costs a read of the whole table, but the pages are the same.
    std::optional<MessageDatabaseDuringExport> useCopy;
    // A store held in memory (a backup's) gets its indexed copy in memory: nothing decrypted is
    // written to disk for it.
    if (phone.kind == kSourceIPhone && wantCopy && phone.heldMessageDb) {
        if (auto image = indexedStoreImage(*phone.heldMessageDb))
            useCopy.emplace(m_source, std::move(image));
    } else if (phone.kind == kSourceIPhone && wantCopy && indexed.make(phone.messageDbPath, m_folder)) {
        useCopy.emplace(m_source, indexed.path());
    }
    // Names are handed out per run: the same phone folder exported twice gives the same names.
    MediaCopyLog media(m_folder, phone.resourceFolder);
    m_media = &media;
    m_mediaSeen = 0;
    const MessageTimeFormatter times(phone.kind, phone.timeZoneBias);
    m_times = &times;

    const ContactTable& table = contactTable();
    std::vector<std::string> jids;
    jids.reserve(static_cast<std::size_t>(table.count()));
    for (const ContactEntry& entry : table.rows())
        jids.push_back(entry.jid);
    const std::vector<std::string> pageNames = pageFileNames(jids);
    // The parts of a long chat never take the name of another chat's page.
    m_takenPages = takenPageNames(pageNames);
    std::vector<IndexEntry> entries;
    // Every page this run writes, or tried to: rows of an earlier index for them give way.
    std::vector<std::string> attempted;
    // Decodes end in any order; their failures are reported in the order of the copies.
    std::map<std::size_t, std::string> decodeFailures;
    VoiceDecodeQueue decodes(m_voiceDecoder, [&](std::size_t copy, const std::string& error) {
        if (error.empty()) {
            ++report.mediaFiles;
        } else {
            decodeFailures[copy] = std::string(mediaFolderName(MediaFolder::Voice)) + "/" +
                                   media.copies()[copy].id + ".wav: " + error;
        }
        if (m_pulse)
            m_pulse();
    });
    decodes.setPulse(m_pulse);
    m_decodes = &decodes;
    const int total = static_cast<int>(rows.size());
    for (int k = 0; k < total; ++k) {
        if (progress && !progress(k, total)) {
            report.cancelled = true;
            break;
        }
        const int row = rows[static_cast<std::size_t>(k)];
        if (!table.isRow(row))
            continue;
        const std::string& page = pageNames[static_cast<std::size_t>(row)];
        if (std::optional<IndexEntry> entry = exportChat(table.row(row), page, report)) {
            attempted.push_back(page);
            entries.push_back(std::move(*entry));
        }
    }
    decodes.finish();
    m_decodes = nullptr;
    for (auto& failure : decodeFailures)
        report.failedMedia.push_back(std::move(failure.second));
    if (progress && !report.cancelled)
        progress(total, total);
    writeIndex(entries, attempted, report);
    m_times = nullptr;
    m_media = nullptr;
    return report;
}

}  // namespace talvio
