// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chat_text_view.h"

#include <QTextCursor>

namespace talvio {

ChatTextView::ChatTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void ChatTextView::showChatPage(std::shared_ptr<const std::string> utf8Page) {
    m_goneTo = -1;
    setPlainText(QString::fromUtf8(utf8Page->data(), static_cast<qsizetype>(utf8Page->size())));
}

void ChatTextView::goToMessage(std::int64_t ordinal, std::string_view) {
    m_goneTo = ordinal;
    // Every message of a page starts with its sender line.
    const QString line = QStringLiteral("<SPAN class=\"SenderNameMe\">");
    const QString text = toPlainText();
    qsizetype at = -1;
    for (std::int64_t i = 0; i <= ordinal; ++i) {
        at = text.indexOf(line, at + 1);
        if (at < 0)
            return;
    }
    QTextCursor cursor(document());
    cursor.setPosition(static_cast<int>(at));
    setTextCursor(cursor);
    centerCursor();
}

}  // namespace talvio
