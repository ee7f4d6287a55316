// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/find_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace talvio {
namespace {

QToolButton* barButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

FindBar::FindBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("findBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    // A strip as high as its line: the chat below gets the rest.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 2, 4, 2);
    row->setSpacing(6);
    auto* caption = new QLabel(QStringLiteral("Find in chat:"), this);
    m_query = new QLabel(this);
    m_query->setTextFormat(Qt::PlainText);
    QFont bold = m_query->font();
    bold.setWeight(QFont::DemiBold);
    m_query->setFont(bold);
    m_count = new QLabel(this);
    m_count->setTextFormat(Qt::PlainText);
    m_count->setObjectName(QStringLiteral("findCount"));
    m_count->setMinimumWidth(m_count->fontMetrics().horizontalAdvance(QStringLiteral("888 of 8888")));
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_previous = barButton(this, QStyle::SP_ArrowUp, QStringLiteral("Previous hit (Shift+F3)"));
    m_next = barButton(this, QStyle::SP_ArrowDown, QStringLiteral("Next hit (F3)"));
    auto* close = barButton(this, QStyle::SP_TitleBarCloseButton,
                            QStringLiteral("Close the search (Escape in the field)"));
    row->addWidget(caption);
    row->addWidget(m_query, 1);
    row->addWidget(m_count);
    row->addWidget(m_previous);
    row->addWidget(m_next);
    row->addWidget(close);
    connect(m_previous, &QToolButton::clicked, this, &FindBar::previousWanted);
    connect(m_next, &QToolButton::clicked, this, &FindBar::nextWanted);
    connect(close, &QToolButton::clicked, this, &FindBar::closeWanted);
}

void FindBar::showCount(const QString& query, int position, int count, bool complete) {
    m_query->setText(query);
    QString text;
    if (count == 0)
        text = complete ? QStringLiteral("No hits") : QStringLiteral("Searching\u2026");
    else if (position > 0)
        text = QStringLiteral("%1 of %2").arg(position).arg(count);
    else
        text = count == 1 ? QStringLiteral("1 hit") : QStringLiteral("%1 hits").arg(count);
    if (count > 0 && !complete)
        text += QStringLiteral("+");
    m_count->setText(text);
    m_previous->setEnabled(count > 0);
    m_next->setEnabled(count > 0);
}

QString FindBar::countText() const {
    return m_count->text();
}

}  // namespace talvio
