// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "hyperlink.h"

#include "platform/desktop.h"
#include "shell/link_error.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace talvio {

CHyperLink::CHyperLink(QWidget* parent) : CHyperLink(QString(), QString(), parent) {}

CHyperLink::CHyperLink(const QString& text, const QString& address, QWidget* parent)
    : QLabel(text, parent), m_address(address) {
    if (m_address.isEmpty())
        m_address = text;
    if (this->text().isEmpty())
        setText(m_address);
    // Plain text: an address with '<' or '&' is shown as it is. Top-left, like a static control, so
    // fitting keeps the place the label was put at.
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Like a static control, the link is no tab stop: otherwise, first in a dialog's tab order, it
    // would take the dialog's initial focus and open teal. A press focuses it (kFocusOnPress).
    setFocusPolicy(Qt::NoFocus);
    applyStyle();
    setToolTip(m_address);
}

void CHyperLink::SetURL(const QString& address) {
    m_address = address;
    if (text().isEmpty())
        setText(address);
    setToolTip(address);
    fitToText();
}

void CHyperLink::setStyleFlags(unsigned flags) {
    m_style = flags;
    applyStyle();
}

QColor CHyperLink::textColour() const {
    if (m_over && (m_style & kHoverColour))
        return kOverColour;
    if (m_active && !(m_style & kNoActiveColour))
        return kActiveColour;
    if (m_visited)
        return kVisitedColour;
    return kLinkColour;
}

void CHyperLink::OpenLink() {
    platform::Desktop& desktop = platform::desktop();
    const int result = desktop.openAddress(m_address);
    if (result <= 32) {
        desktop.beep();
        desktop.message(window(), QString::fromStdString(cantOpenLinkMessage(result)), QString(),
                        platform::Buttons::Ok, platform::Icon::Exclamation);
        return;
    }
    m_visited = true;
    refreshColour();
}

void CHyperLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QLabel::mousePressEvent(event);
    if (m_style & kFocusOnPress)
        setFocus(Qt::MouseFocusReason);
    m_active = true;
    refreshColour();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QLabel::mouseReleaseEvent(event);
    // Qt delivers the release to the pressed widget wherever the pointer is; only a release over
    // the link opens it, as in a browser. A release that did not follow a press here does nothing.
    if (m_active && !(m_style & kNoOpenOnRelease) && rect().contains(event->position().toPoint()))
        OpenLink();
}

void CHyperLink::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space)
        return QLabel::keyPressEvent(event);
    // Holding the bar down must not open one browser window per repeat.
    if (!event->isAutoRepeat())
        OpenLink();
    event->accept();
}

void CHyperLink::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    m_active = true;
    refreshColour();
}

void CHyperLink::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    m_over = false;
    m_active = false;
    refreshColour();
}

void CHyperLink::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    m_over = true;
    refreshColour();
}

void CHyperLink::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    m_over = false;
    refreshColour();
}

void CHyperLink::applyStyle() {
    // Only the underline is set here; family and size keep following the parent's font.
    QFont underlined;
    underlined.setUnderline((m_style & kUnderline) != 0);
    setFont(underlined);
    if (m_style & kNoHandCursor) {
        unsetCursor();
    } else {
        setCursor(Qt::PointingHandCursor);
    }
    fitToText();
    refreshColour();
}

void CHyperLink::fitToText() {
    if (!(m_style & kFitToText))
        return;
    // The label shrinks (or grows) to its text, keeping the edge or centre its alignment names.
    const QSize size = sizeHint();
    QRect place = geometry();
    const Qt::Alignment align = alignment();
    if (align & Qt::AlignVCenter) {
        place.setTop(place.center().y() - size.height() / 2);
    } else if (align & Qt::AlignBottom) {
        place.setTop(place.bottom() - size.height() + 1);
    }
    place.setHeight(size.height());
    if (align & Qt::AlignHCenter) {
        place.setLeft(place.center().x() - size.width() / 2);
    } else if (align & Qt::AlignRight) {
        place.setLeft(place.right() - size.width() + 1);
    }
    place.setWidth(size.width());
    setGeometry(place);
    // In a layout the geometry above is the layout's to decide: there the policy keeps the fit.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CHyperLink::refreshColour() {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, textColour());
    setPalette(colours);
}

}  // namespace talvio
