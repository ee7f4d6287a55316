// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "chatexport/attachment_files.h"
#include "chatexport/chat_export.h"
#include "sources/chat_software.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace talvio::chatexport {

// Chats that WhatsApp's "Export chat" wrote (a .txt, a .zip, or a folder of them), as a source of
// the viewer and talvio-export. PhoneFolder::dataFolder holds the path the user chose. Each export
// is one row of the contact list; its page shows the messages in the order the file has them.
class ChatExportSource : public CChatSoftware {
public:
    explicit ChatExportSource(PhoneFolder folder = {});
    ~ChatExportSource() override;

    void LoadContacts(ContactTable& table) override;
    RenderOutcome RenderChat(const ChatRequest& request) override;
    // The texts of the exports the last load read; events have no sender line and so no place.
    bool ReadMessageTexts(std::string_view chat, const MessageTextSink& sink, std::string& reason) override;

    // The exports the last load read, and one sentence for each it could not.
    const std::vector<ChatExport>& chats() const { return m_chats; }
    const std::vector<std::string>& problems() const { return m_problems; }
    // The export of a contact row, or null.
    ChatExport* chatWithJid(std::string_view jid);
    const ChatExport* chatWithJid(std::string_view jid) const;
    // Makes `name` the phone's owner, shown as "Me", in the export of jid; an empty name makes it
    // nobody. False when the export has no sender of that name.
    bool setOwner(std::string_view jid, std::string_view name);
    // True once per load for an export whose owner is not known yet: the viewer asks the question
    // then, and not again when the person gave no answer.
    bool takeOwnerQuestion(std::string_view jid);
    // Whether takeOwnerQuestion would say true, without taking the question.
    bool ownerQuestionDue(std::string_view jid) const;

    // The private folder that attachments of zips are unpacked into; empty until one was.
    const std::string& unpackFolder() const { return m_files.folder(); }
    // Removes the unpacked attachments (the source keeps its chats).
    void releaseFiles() { m_files.clear(); }

private:
    std::vector<ChatExport> m_chats;
    std::vector<std::string> m_problems;
    std::set<std::string, std::less<>> m_asked;
    AttachmentFiles m_files;
};

// The row id of an export: its chat's name (what the list's ID and a page's file name show), '@',
// and the absolute path it was read from, which no other export shares.
std::string chatExportJid(const ChatExport& chat);

// Whether a path looks like what "Export chat" writes: a .txt or .zip file, or a folder with such a
// file in it or in one of its sub-folders. Cheap: nothing is read.
bool looksLikeChatExport(const std::string& path);

}  // namespace talvio::chatexport
