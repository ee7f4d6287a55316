// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/search_field.h"

#include <QAction>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace talvio {
namespace {

// A magnifying glass in the field's hint colour; desktop themes do not all have one.
QIcon magnifier(const QColor& color) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 3.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawEllipse(QRectF(6, 6, 15, 15));
    painter.drawLine(QPointF(19.5, 19.5), QPointF(26, 26));
    painter.end();
    pixmap.setDevicePixelRatio(2);
    return QIcon(pixmap);
}

}  // namespace

SearchField::SearchField(QWidget* parent) : QLineEdit(parent) {
    setPlaceholderText(QStringLiteral("Search messages and contacts"));
    setClearButtonEnabled(true);
    addAction(magnifier(palette().color(QPalette::PlaceholderText)), QLineEdit::LeadingPosition);
    setToolTip(
        QStringLiteral("Search every chat (Ctrl+F). Enter goes to the next hit, Shift+Enter to "
                       "the previous one, Escape clears the field."));
}

bool SearchField::event(QEvent* event) {
    // Escape belongs to the field while it holds text, ahead of any shortcut of the window.
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void SearchField::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            clear();
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if ((event->modifiers() & Qt::ShiftModifier) != 0)
                emit previousWanted();
            else
                emit nextWanted();
            event->accept();
            return;
        case Qt::Key_Down:
            emit resultsWanted();
            event->accept();
            return;
        default:
            QLineEdit::keyPressEvent(event);
    }
}

}  // namespace talvio
