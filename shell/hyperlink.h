// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QColor>
#include <QLabel>

namespace talvio {

// A label that behaves like a link in a web page: blue and underlined, a hand cursor, the address
// as its tool tip, teal while active (pressed or focused), purple once visited. A click or the
// space bar opens the address with the desktop's default program; a failure is explained in a
// message box after a beep.
class CHyperLink : public QLabel {
    Q_OBJECT

public:
    // Style bits.
    static constexpr unsigned kUnderline = 1;
    static constexpr unsigned kHoverColour = 2;
    static constexpr unsigned kFitToText = 4;
    static constexpr unsigned kNoOpenOnRelease = 8;
    static constexpr unsigned kFocusOnPress = 16;
    static constexpr unsigned kNoHandCursor = 32;
    static constexpr unsigned kNoActiveColour = 64;
    static constexpr unsigned kDefaultStyle = kUnderline | kFitToText | kFocusOnPress;

    static constexpr QColor kOverColour{255, 0, 0};
    static constexpr QColor kActiveColour{0, 128, 128};
    static constexpr QColor kVisitedColour{128, 0, 128};
    static constexpr QColor kLinkColour{0, 0, 255};

    // An empty address becomes the text, and an empty text the address.
    explicit CHyperLink(QWidget* parent = nullptr);
    CHyperLink(const QString& text, const QString& address, QWidget* parent = nullptr);

    // Sets the address and its tool tip, and fits the label to its text (an empty text takes the
    // address).
    void SetURL(const QString& address);
    QString url() const { return m_address; }

    void setStyleFlags(unsigned flags);

    bool isActive() const { return m_active; }
    bool isOver() const { return m_over; }
    bool isVisited() const { return m_visited; }
    // The colour the text is drawn in now.
    QColor textColour() const;

    // Opens the address; on failure beeps and explains the failure, on success marks the link visited.
    void OpenLink();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void applyStyle();
    void fitToText();
    void refreshColour();

    bool m_active = false;
    bool m_over = false;
    bool m_visited = false;
    unsigned m_style = kDefaultStyle;
    QString m_address;
};

}  // namespace talvio
