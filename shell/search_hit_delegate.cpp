// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/search_hit_delegate.h"

#include "shell/search_results_model.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

namespace talvio {
namespace {

constexpr int kPadding = 6;
constexpr int kLineGap = 2;

QFont boldOf(QFont font) {
    font.setWeight(QFont::DemiBold);
    return font;
}

QFont smallerOf(QFont font) {
    font.setPointSizeF(font.pointSizeF() * 0.9);
    return font;
}

}  // namespace

QSize SearchHitDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const QFontMetrics bold(boldOf(option.font));
    const QFontMetrics plain(option.font);
    return {200, 2 * kPadding + bold.height() + kLineGap + plain.height()};
}

void SearchHitDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group =
        (option.state & QStyle::State_Active) != 0 ? QPalette::Active : QPalette::Inactive;
    const QColor text = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    QColor faint = text;
    faint.setAlphaF(0.6f);

    const QRect area = option.rect.adjusted(kPadding + 2, kPadding, -kPadding - 2, -kPadding);
    painter->save();
    painter->setClipRect(option.rect);

    // First line: the time at the right, the contact in what is left, shortened with "…".
    const QFont bold = boldOf(option.font);
    const QFont small = smallerOf(option.font);
    const QFontMetrics boldMetrics(bold);
    const QString time = index.data(SearchResultsModel::TimeRole).toString();
    const int timeWidth = QFontMetrics(small).horizontalAdvance(time);
    const QRect firstLine(area.left(), area.top(), area.width(), boldMetrics.height());
    painter->setFont(small);
    painter->setPen(faint);
    painter->drawText(firstLine, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, time);
    painter->setFont(bold);
    painter->setPen(text);
    const QString contact =
        boldMetrics.elidedText(index.data(SearchResultsModel::ContactRole).toString(), Qt::ElideRight,
                               std::max(0, area.width() - timeWidth - 12));
    painter->drawText(firstLine.adjusted(0, 0, -timeWidth - 12, 0),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, contact);

    // Second line: the text with its matches on a marker colour, cut off at the right edge.
    const QString line = index.data(SearchResultsModel::LineRole).toString();
    QList<QTextLayout::FormatRange> formats;
    for (const QVariant& mark : index.data(SearchResultsModel::MarksRole).toList()) {
        const QPoint range = mark.toPoint();
        QTextLayout::FormatRange format;
        format.start = range.x();
        format.length = range.y();
        format.format.setBackground(selected ? QColor(255, 255, 255, 70) : QColor(255, 213, 79));
        format.format.setForeground(selected ? text : QColor(0x20, 0x20, 0x20));
        format.format.setFontWeight(QFont::DemiBold);
        formats.append(format);
    }
    QTextLayout layout(line, option.font);
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::NoWrap);
    textOption.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(textOption);
    layout.setFormats(formats);
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    layout.endLayout();
    QColor body = text;
    body.setAlphaF(0.85f);
    painter->setPen(body);
    const int y = firstLine.bottom() + 1 + kLineGap;
    painter->setClipRect(QRect(area.left(), y, area.width(), area.bottom() - y + 1));
    if (textLine.isValid())
        layout.draw(painter, QPointF(area.left(), y));
    painter->restore();
}

}  // namespace talvio
