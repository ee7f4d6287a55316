// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "media/pcm_block.h"
#include "media/spectrum_analyzer.h"

namespace talvio::media {

inline constexpr int kSpectrumBarCount = 30;
inline constexpr int kBinsPerBar = 34;

// One bar of the spectrum display, in pixels of the spectrum area. The rectangle is half-open,
// as the drawing code fills it: columns left..right-1 and rows top..bottom-1.
struct SpectrumBar {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const SpectrumBar&) const = default;
};

using SpectrumBars = std::array<SpectrumBar, kSpectrumBarCount>;

// The analyser input for one block, read as 4096 signed 16-bit little-endian samples
// whatever the sound's own format: each value is the mean of a pair, scaled to about ±1.
std::array<float, SpectrumAnalyzer::kPoints> spectrumInput(BlockView block);

// The 30 bars for a set of magnitudes, in an area of the given size. The area is cleared
// to black before the bars are drawn over it.
SpectrumBars spectrumBars(std::span<const float, SpectrumAnalyzer::kHalf> magnitudes, int areaWidth,
                          int areaHeight);

// All the display work of one block: input, transform and bars.
SpectrumBars spectrumBarsForBlock(SpectrumAnalyzer& analyzer, BlockView block, int areaWidth, int areaHeight);

}  // namespace talvio::media
