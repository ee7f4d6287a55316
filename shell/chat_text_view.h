// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/chat_page.h"

#include <QPlainTextEdit>

namespace talvio {

// The chat area as plain page text, for builds and tests without the web view.
class ChatTextView : public QPlainTextEdit, public ChatPageView {
    Q_OBJECT
public:
    explicit ChatTextView(QWidget* parent);
    void showChatPage(std::shared_ptr<const std::string> utf8Page) override;
    // Puts the cursor on the message's sender line.
    void goToMessage(std::int64_t ordinal, std::string_view find) override;
    std::int64_t messageGoneTo() const { return m_goneTo; }

private:
    std::int64_t m_goneTo = -1;
};

}  // namespace talvio
