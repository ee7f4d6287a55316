// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QLabel>

namespace talvio {

// A one-line plain-text label that ends a text too long for it with "…" and shows the whole text
// as its tool tip. text() stays the whole text.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // The text as it is drawn now.
    QString shownText() const;
    bool isElided() const { return shownText() != text(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

// A name from the phone folder as a tool tip: Qt takes tool tips for rich text when they look like
// it, so the text is escaped inside a paragraph of its own.
QString plainToolTip(const QString& text);

}  // namespace talvio
