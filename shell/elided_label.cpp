// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "elided_label.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace talvio {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    // The label may be narrower than its text: the text is cut with "…", not the layout widened.
    setMinimumWidth(1);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QString ElidedLabel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), shownText(),
                          foregroundRole());
}

bool ElidedLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (isElided()) {
            QToolTip::showText(help->globalPos(), plainToolTip(text()), this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QLabel::event(event);
}

QString plainToolTip(const QString& text) {
    // Qt wraps a rich tool tip at a narrow width: a name of a line's length stays on one line.
    constexpr int kOneLine = 80;
    const QString paragraph =
        text.size() <= kOneLine ? QStringLiteral("<p style='white-space:pre'>") : QStringLiteral("<p>");
    return paragraph + text.toHtmlEscaped() + QStringLiteral("</p>");
}

}  // namespace talvio
