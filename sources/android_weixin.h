// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/android_media.h"
#include "sources/chat_software.h"

#include <memory>
#include <string>

namespace talvio {

// An Android "com.whatsapp" folder: databases/wa.db for names, databases/msgstore.db for messages.
class CAndroidWeiXin : public CChatSoftware {
public:
    explicit CAndroidWeiXin(PhoneFolder folder = {}) : CChatSoftware(false, std::move(folder)) {}

    void LoadContacts(ContactTable& table) override;
    RenderOutcome RenderChat(const ChatRequest& request) override;
    bool ReadMessageTexts(std::string_view chat, const MessageTextSink& sink, std::string& reason) override;

private:
    void addLegacyChats(ContactTable& table, const Database& messages);
    void readStatistics(ContactTable& table, const Database* messages);
    AndroidMediaLocator& mediaLocator();

    // Finds the media files of every chat of the folder; made on the first render with media.
    std::unique_ptr<AndroidMediaLocator> m_mediaLocator;
    std::string m_locatorFolder;
};

}  // namespace talvio
