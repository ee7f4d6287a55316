// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QWidget>

#include "media/pcm_block.h"
#include "media/spectrum_bars.h"

namespace talvio::media {

// The voice player's black spectrum area: the 30 bars of the block last handed to the device.
class SpectrumView final : public QWidget {
public:
    explicit SpectrumView(QWidget* parent = nullptr);

    // Analyses the block at once (the analyser's arrays are shared) and repaints.
    void showBlock(BlockView block);
    const SpectrumBars& bars() const { return m_bars; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SpectrumBars m_bars{};
    bool m_hasBars = false;
};

}  // namespace talvio::media
