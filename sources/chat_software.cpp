// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chat_software.h"

#include <sqlite3.h>

namespace talvio {

int OpenChatDatabase(const std::string& path, Database& database) {
    return database.open(path, Database::Access::ReadOnlySnapshot);
}

int openMessageDatabase(const PhoneFolder& folder, Database& database) {
    if (folder.heldMessageDb)
        return database.openImage(folder.heldMessageDb->bytes());
    return OpenChatDatabase(folder.messageDbPath, database);
}

int openContactDatabase(const PhoneFolder& folder, Database& database) {
    if (folder.heldContactDb)
        return database.openImage(folder.heldContactDb->bytes());
    return OpenChatDatabase(folder.contactDbPath, database);
}

RenderOutcome unreadable(const std::string& reason) {
    return {false, reason};
}

RenderOutcome unreadableFile(int sqliteCode) {
    return unreadable(sqlite3_errstr(sqliteCode));
}

void CChatSoftware::startPage(const ChatRequest& request) {
    request.page->start(request.mode);
    request.page->reserveFor(request.messageCount);
}

void CChatSoftware::endPage(const ChatRequest& request, const RenderOutcome& outcome) {
    if (!outcome.readable)
        appendUnreadableNotice(request.page->writable(), outcome.reason);
    if (request.messageCount < 1 && request.mode == kViewer)
        request.page->writable() += kNoMessageBlock;
}

RenderOutcome renderContact(CChatSoftware& source, const ContactEntry& entry, int mode, ChatPageBuffer& page,
                            MediaCopyLog* media) {
    ChatRequest request;
    request.jid = entry.jid;
    request.shownName = contactShownName(entry);
    request.messageCount = entry.messageCount;
    request.mode = mode;
    request.page = &page;
    request.media = media;
    return source.RenderChat(request);
}

}  // namespace talvio
