// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chat_text_view.h"

namespace talvio {

ChatTextView::ChatTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void ChatTextView::showChatPage(std::shared_ptr<const std::string> utf8Page) {
    setPlainText(QString::fromUtf8(utf8Page->data(), static_cast<qsizetype>(utf8Page->size())));
}

}  // namespace talvio
