// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/database.h"
#include "sources/message_texts.h"
#include "sources/phone_folder.h"

#include <string>

namespace talvio {

class MediaCopyLog;

// One chat to render, with everything the page depends on.
struct ChatRequest {
    std::string jid;
    std::string shownName;  // the other side's name on its messages, as the contact list shows it
    int messageCount = 0;   // as the list counts them: sizes the page; a viewer page of none says so
    int mode = kViewer;
    // Where the page is built; a sink set on it takes the page piece by piece.
    ChatPageBuffer* page = nullptr;
    // Set by an export: media files are copied into its folder and the page refers to the copies.
    MediaCopyLog* media = nullptr;
};

// What became of a render. An unreadable chat still has a page, ending in a notice that says why.
struct RenderOutcome {
    bool readable = true;
    std::string reason;  // why the messages could not be read
};

// A phone's chat data: lists its chats and renders one chat's page from a request. A source reads
// only the folder it is given; it keeps no state of the program's.
class CChatSoftware {
public:
    virtual ~CChatSoftware() = default;

    void setFolder(PhoneFolder folder) { m_folder = std::move(folder); }
    const PhoneFolder& folder() const { return m_folder; }

    // Fills the table from the folder (empty when nothing can be read), reporting progress to the
    // program's progress dialog while it reads.
    virtual void LoadContacts(ContactTable& table) = 0;
    virtual RenderOutcome RenderChat(const ChatRequest& request) = 0;
    // Hands every message that has text to sink, for search; chat narrows to one chat's jid when
    // not empty. Runs on a worker thread: it must only read the folder. Returns false when the
    // messages could not be read (reason says why) or the sink stopped the reading.
    virtual bool ReadMessageTexts(std::string_view chat, const MessageTextSink& sink, std::string& reason) {
        (void)chat;
        (void)sink;
        reason = "This kind of chat history cannot be searched yet.";
        return false;
    }

    // Tells the contact-list fill which progress band to report in (the upper half for iPhone).
    bool listFillUpperHalf() const { return m_listFillUpperHalf; }

protected:
    CChatSoftware(bool listFillUpperHalf, PhoneFolder folder)
        : m_folder(std::move(folder)), m_listFillUpperHalf(listFillUpperHalf) {}

    // Starts the page, and ends it as a viewer expects: a notice when the chat could not be read,
    // "No message" for a chat without any.
    static void startPage(const ChatRequest& request);
    static void endPage(const ChatRequest& request, const RenderOutcome& outcome);

    PhoneFolder m_folder;

private:
    bool m_listFillUpperHalf;
};

// Opens one of the user's databases: read-only, never created, nothing written beside it.
// Returns the SQLite result code (0 = opened).
int OpenChatDatabase(const std::string& path, Database& database);
// The folder's message or contact database, from the file or from memory when a backup was
// decrypted into it.
int openMessageDatabase(const PhoneFolder& folder, Database& database);
int openContactDatabase(const PhoneFolder& folder, Database& database);

// The outcome of a database that could not be opened or read, with SQLite's words for why.
RenderOutcome unreadable(const std::string& reason);
RenderOutcome unreadableFile(int sqliteCode);

// The one way from a row of the contact list to its page, for the viewer, the export and
// talvio-export alike.
RenderOutcome renderContact(CChatSoftware& source, const ContactEntry& entry, int mode, ChatPageBuffer& page,
                            MediaCopyLog* media = nullptr);

}  // namespace talvio
