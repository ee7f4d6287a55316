// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/chat_software.h"
#include "sources/wal_snapshot.h"

#include <mutex>
#include <string_view>

namespace talvio {

// The chat of one jid, oldest first, with each message's media file. A message counts for the chat
// when the jid is its sender or its receiver; a message with two media rows comes twice.
inline constexpr std::string_view kIphoneChatQuery =
    "SELECT ZWAMESSAGE.ZISFROMME, ZWAMESSAGE.ZMESSAGETYPE, ZWAMESSAGE.ZMESSAGEDATE, ZWAMESSAGE.ZPUSHNAME, "
    "ZWAMESSAGE.ZTEXT, ZWAMEDIAITEM.ZMEDIALOCALPATH, \t\t\t'r' as f FROM ZWAMESSAGE LEFT JOIN ZWAMEDIAITEM "
    "ON "
    "ZWAMESSAGE.Z_PK=ZWAMEDIAITEM.ZMESSAGE WHERE ZWAMESSAGE.ZFROMJID=?1 OR ZWAMESSAGE.ZTOJID=?1 order by "
    "ZWAMESSAGE.ZMESSAGEDATE;";

// An iPhone "group.net.whatsapp.WhatsApp.shared" folder: ChatStorage.sqlite holds chats, messages
// and media paths; the media files lie below the resource folder's "Library/".
class CIphoneWeiXin : public CChatSoftware {
public:
    explicit CIphoneWeiXin(PhoneFolder folder = {}) : CChatSoftware(true, std::move(folder)) {}

    void LoadContacts(ContactTable& table) override;
    RenderOutcome RenderChat(const ChatRequest& request) override;
    bool ReadMessageTexts(std::string_view chat, const MessageTextSink& sink, std::string& reason) override;

private:
    int openStore(Database& database);
    void readStatistics(const Database& database, ContactTable& table);

    // Renders read the same copy that the load made, while the phone's files stay unchanged.
    // Search reads it from a worker thread while a render may open it: the lock keeps the copy whole.
    WalSnapshot m_snapshot;
    std::mutex m_snapshotLock;
};

}  // namespace talvio
