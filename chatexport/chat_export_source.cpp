// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/chat_export_source.h"

#include "chatexport/export_opener.h"
#include "chatexport/export_page.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/program_state.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>
#include <utility>

namespace talvio::chatexport {
namespace fs = std::filesystem;

namespace {

bool hasExportExtension(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".txt" || ext == ".zip";
}

bool holdsExportFile(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code itemError;
        if (it->is_regular_file(itemError) && hasExportExtension(it->path()))
            return true;
    }
    return false;
}

}  // namespace

std::string chatExportJid(const ChatExport& chat) {
    std::string id = chat.name().empty() ? std::string("chat") : chat.name();
    // The list shows what comes before the first '@' as the ID.
    std::replace(id.begin(), id.end(), '@', '_');
    std::error_code ec;
    const fs::path origin = fs::absolute(chat.origin(), ec);
    return id + "@" + (ec ? chat.origin() : origin.lexically_normal().string());
}

bool looksLikeChatExport(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec)
        return false;
    if (fs::is_regular_file(status))
        return hasExportExtension(path);
    if (!fs::is_directory(status))
        return false;
    if (holdsExportFile(path))
        return true;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code itemError;
        if (it->is_directory(itemError) && holdsExportFile(it->path()))
            return true;
    }
    return false;
}

ChatExportSource::ChatExportSource(PhoneFolder folder) : CChatSoftware(false, std::move(folder)) {}

ChatExportSource::~ChatExportSource() = default;

const ChatExport* ChatExportSource::chatWithJid(std::string_view jid) const {
    for (const ChatExport& chat : m_chats) {
        if (chatExportJid(chat) == jid)
            return &chat;
    }
    return nullptr;
}

ChatExport* ChatExportSource::chatWithJid(std::string_view jid) {
    return const_cast<ChatExport*>(std::as_const(*this).chatWithJid(jid));
}

bool ChatExportSource::setOwner(std::string_view jid, std::string_view name) {
    ChatExport* chat = chatWithJid(jid);
    if (chat == nullptr)
        return false;
    if (name.empty()) {
        chat->clearOwner();
        return true;
    }
    return chat->setOwner(name);
}

bool ChatExportSource::ownerQuestionDue(std::string_view jid) const {
    const ChatExport* chat = chatWithJid(jid);
    return chat != nullptr && chat->owner() < 0 && !m_asked.contains(jid);
}

bool ChatExportSource::takeOwnerQuestion(std::string_view jid) {
    if (!ownerQuestionDue(jid))
        return false;
    m_asked.emplace(jid);
    return true;
}

void ChatExportSource::LoadContacts(ContactTable& table) {
    table.destroy();
    m_asked.clear();
    m_files.clear();
    m_chats.clear();
    m_problems.clear();
    // A run that crashed left its unpacked attachments behind; they go before new ones come.
    removeLeftoverAttachmentFolders();
    OpenOutcome outcome = openChatExports(m_folder.dataFolder);
    m_chats = std::move(outcome.chats);
    m_problems = std::move(outcome.problems);
    reportPercent(50);
    if (m_chats.empty())
        return;
    table.create(static_cast<int>(m_chats.size()) + 1);
    for (const ChatExport& chat : m_chats) {
        ContactEntry& entry = table.appendRow();
        entry.jid = chatExportJid(chat);
        entry.displayName = chat.name();
        const std::size_t count = chat.messages().size();
        entry.messageCount = static_cast<std::int32_t>(
            std::min<std::size_t>(count, static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())));
        std::int64_t last = 0;
        for (const Message& message : chat.messages())
            last = std::max(last, message.localTime);
        entry.lastMessageTime = std::to_string(last);
    }
    SortContactsByLastTime(table, [](int) {});
}

RenderOutcome ChatExportSource::RenderChat(const ChatRequest& request) {
    startPage(request);
    RenderOutcome outcome;
    const ChatExport* chat = chatWithJid(request.jid);
    // The placeholder row stands for no export: it has no messages.
    if (chat == nullptr && request.jid != kPlaceholderJid) {
        outcome = unreadable("no export of that name is open");
    } else if (chat != nullptr) {
        ExportPageWriter writer(*chat, request.jid, m_files, request.media);
        std::string& page = request.page->writable();
        writer.appendUnknownLinesNotice(page);
        for (const Message& message : chat->messages()) {
            writer.append(page, message);
            request.page->handOverIfLarge();
        }
    }
    endPage(request, outcome);
    return outcome;
}

bool ChatExportSource::ReadMessageTexts(std::string_view chat, const MessageTextSink& sink,
                                        std::string& reason) {
    for (const ChatExport& exported : m_chats) {
        const std::string jid = chatExportJid(exported);
        if (!chat.empty() && jid != chat)
            continue;
        std::int64_t ordinal = 0;
        for (const Message& message : exported.messages()) {
            if (message.kind == MessageKind::Event)
                continue;
            if (!message.text.empty() && !sink(MessageText{jid, ordinal, message.localTime,
                                                           exported.isFromOwner(message), message.text})) {
                reason = "The reading was stopped.";
                return false;
            }
            ++ordinal;
        }
    }
    return true;
}

}  // namespace talvio::chatexport
