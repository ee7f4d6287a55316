// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "artwork.h"

#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

// Resources compiled into a static library are dropped by the linker unless something names them.
static void initArtworkResources() {
    Q_INIT_RESOURCE(talvio);
}

namespace talvio {
namespace {

const QColor kBubble(0x2b, 0x7a, 0x9b);
const QColor kClockInk(0x1d, 0x56, 0x70);

// The shapes of resources/talvio.svg, on its 128 × 128 grid.
void paintIcon(QPainter& painter) {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(12, 14, 104, 82), 22, 22);
    QPainterPath tail;
    tail.moveTo(54, 95);
    tail.lineTo(28, 118);
    tail.lineTo(34, 95);
    tail.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBubble);
    painter.drawPath(bubble.united(tail));

    painter.setBrush(Qt::white);
    painter.setPen(QPen(kClockInk, 3));
    painter.drawEllipse(QPointF(64, 55), 30, 30);
    painter.setPen(QPen(kClockInk, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF({QPointF(64, 36), QPointF(64, 55), QPointF(79, 64)}));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kClockInk);
    painter.drawEllipse(QPointF(64, 55), 4.5, 4.5);
}

QPixmap drawnIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 128.0, size / 128.0);
    paintIcon(painter);
    return pixmap;
}

}  // namespace

QIcon applicationIcon() {
    static const bool registered = (initArtworkResources(), true);
    (void)registered;
    if (QImageReader::supportedImageFormats().contains("svg"))
        return QIcon(QStringLiteral(":/talvio/talvio.svg"));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(drawnIcon(size));
    return icon;
}

QPixmap defaultPicture() {
    constexpr int kSize = 96;
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(QColor(0xe4, 0xe8, 0xeb));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xa7, 0xb1, 0xba));
    // Head, and shoulders that run out of the bottom edge.
    painter.drawEllipse(QPointF(48, 36), 17, 17);
    QPainterPath shoulders;
    shoulders.moveTo(14, kSize);
    shoulders.cubicTo(14, 66, 30, 58, 48, 58);
    shoulders.cubicTo(66, 58, 82, 66, 82, kSize);
    shoulders.closeSubpath();
    painter.drawPath(shoulders);
    return pixmap;
}

}  // namespace talvio
