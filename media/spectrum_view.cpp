// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/spectrum_view.h"

#include <QPainter>

namespace talvio::media {

SpectrumView::SpectrumView(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted each time, so Qt need not clear the area first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SpectrumView::showBlock(BlockView block) {
    m_bars = spectrumBarsForBlock(spectrumAnalyzer(), block, width(), height());
    m_hasBars = true;
    update();
}

void SpectrumView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_hasBars)
        return;
    for (const SpectrumBar& bar : m_bars) {
        if (bar.width() <= 0 || bar.height() <= 0)
            continue;
        painter.fillRect(QRect(bar.left, bar.top, bar.width(), bar.height()),
                         QColor(bar.red, bar.green, bar.blue));
    }
}

}  // namespace talvio::media
