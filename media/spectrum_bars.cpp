// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/spectrum_bars.h"

#include <algorithm>
#include <cmath>

namespace talvio::media {
namespace {

// The ln(i + 2) weight that lifts the higher bars, computed once so that a block costs
// no transcendental calls.
const std::array<float, kSpectrumBarCount>& barWeights() {
    static const std::array<float, kSpectrumBarCount> weights = [] {
        std::array<float, kSpectrumBarCount> w{};
        for (int i = 0; i < kSpectrumBarCount; ++i) {
            w[i] = std::log(static_cast<float>(i + 2));
        }
        return w;
    }();
    return weights;
}

// Quiet bars are boosted so that soft speech still moves the display. Bounds are exclusive,
// and only the first matching range applies.
float boostQuiet(float v) {
    if (v > 0.005f && v < 0.009f) {
        return v * 28.274332f;  // 9 pi
    }
    if (v > 0.01f && v < 0.1f) {
        return v * 9.424778f;  // 3 pi
    }
    if (v > 0.1f && v < 0.5f) {
        return v * 3.1415925f;  // pi
    }
    return v;
}

}  // namespace

std::array<float, SpectrumAnalyzer::kPoints> spectrumInput(BlockView block) {
    std::array<float, SpectrumAnalyzer::kPoints> input{};
    for (int j = 0; j < SpectrumAnalyzer::kPoints; ++j) {
        const std::uint8_t* p = block.data() + 4 * j;
        const auto first = static_cast<std::int16_t>(p[0] | (p[1] << 8));
        const auto second = static_cast<std::int16_t>(p[2] | (p[3] << 8));
        input[j] = static_cast<float>((first + second) / 32767.0 * 0.5);
    }
    return input;
}

SpectrumBars spectrumBars(std::span<const float, SpectrumAnalyzer::kHalf> magnitudes, int areaWidth,
                          int areaHeight) {
    const float barWidth = static_cast<float>(areaWidth) / kSpectrumBarCount;
    // A narrow area leaves no room between the 2-pixel gaps: such bars are empty, not inverted.
    const int innerWidth = std::max(0, static_cast<int>(barWidth) - 2);
    const auto& weights = barWeights();

    SpectrumBars bars{};
    for (int i = 0; i < kSpectrumBarCount; ++i) {
        float v = 0.0f;
        for (int bin = kBinsPerBar * i; bin < kBinsPerBar * (i + 1); ++bin) {
            v += magnitudes[bin];
        }
        v = boostQuiet(weights[i] * v);
        if (v > 1.0f) {
            v = 0.9f;  // an overloud bar settles just below the top edge instead of filling the area
        }

        SpectrumBar& bar = bars[i];
        bar.left = static_cast<int>(static_cast<float>(i) * barWidth);
        bar.top = static_cast<int>((1.0f - v) * static_cast<float>(areaHeight));
        bar.right = bar.left + innerWidth;
        bar.bottom = areaHeight;
        bar.red = 255;
        bar.green = static_cast<std::uint8_t>(static_cast<int>(v * 255.0f) & 0xFF);
        bar.blue = 50;
    }
    return bars;
}

SpectrumBars spectrumBarsForBlock(SpectrumAnalyzer& analyzer, BlockView block, int areaWidth,
                                  int areaHeight) {
    const auto input = spectrumInput(block);
    return spectrumBars(analyzer.analyse(input), areaWidth, areaHeight);
}

}  // namespace talvio::media
