// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/chat_software.h"

#include <string>
#include <vector>

namespace talvio {

// A source whose messages are a list in memory: the engine is tested without any tables.
class FakeTextSource : public CChatSoftware {
public:
    struct Message {
        std::string jid;
        std::int64_t ordinal;
        std::int64_t time;
        bool fromMe;
        std::string text;
    };

    FakeTextSource() : CChatSoftware(false, PhoneFolder{}) {}

    void add(std::string jid, std::int64_t ordinal, std::int64_t time, bool fromMe, std::string text) {
        m_messages.push_back({std::move(jid), ordinal, time, fromMe, std::move(text)});
    }
    void failWith(std::string reason) { m_failure = std::move(reason); }

    void LoadContacts(ContactTable&) override {}
    RenderOutcome RenderChat(const ChatRequest&) override { return {}; }
    bool ReadMessageTexts(std::string_view chat, const MessageTextSink& sink, std::string& reason) override {
        if (!m_failure.empty()) {
            reason = m_failure;
            return false;
        }
        for (const Message& m : m_messages) {
            if (!chat.empty() && m.jid != chat) {
                continue;
            }
            if (!sink(MessageText{m.jid, m.ordinal, m.time, m.fromMe, m.text})) {
                return false;
            }
        }
        return true;
    }

private:
    std::vector<Message> m_messages;
    std::string m_failure;
};

}  // namespace talvio
