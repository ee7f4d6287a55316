// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/chat_software.h"

#include <string>

namespace talvio {

// An Android "com.whatsapp" folder: databases/wa.db for names, databases/msgstore.db for messages.
class CAndroidWeiXin : public CChatSoftware {
public:
    explicit CAndroidWeiXin(PhoneFolder folder = {}) : CChatSoftware(false, std::move(folder)) {}

    void LoadContacts(ContactTable& table) override;
    RenderOutcome RenderChat(const ChatRequest& request) override;

private:
    void addLegacyChats(ContactTable& table, const Database& messages);
    void readStatistics(ContactTable& table, const Database* messages);
};

}  // namespace talvio
