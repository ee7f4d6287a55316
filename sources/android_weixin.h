// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/chat_software.h"

#include <string>

namespace talvio {

// An Android "com.whatsapp" folder: databases/wa.db for names, databases/msgstore.db for messages.
class CAndroidWeiXin : public CChatSoftware {
public:
    CAndroidWeiXin() : CChatSoftware(false) {}

    bool LoadContacts() override;
    int RenderChat(int messageCount, int mode) override;

private:
    void readStatistics(const Database* messages);
    void appendLegacyChat(const std::string& jid, const std::string& contactName, std::string& page);
};

}  // namespace talvio
