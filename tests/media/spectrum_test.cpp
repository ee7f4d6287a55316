// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "media/spectrum_analyzer.h"
#include "media/spectrum_bars.h"

namespace talvio::media {
namespace {

constexpr int N = SpectrumAnalyzer::kPoints;
using Input = std::array<float, N>;

Input cosine(double amplitude, int bin) {
    Input x{};
    for (int n = 0; n < N; ++n) {
        x[n] = static_cast<float>(amplitude * std::cos(2.0 * std::numbers::pi * bin * n / N));
    }
    return x;
}

float largestExcept(std::span<const float, SpectrumAnalyzer::kHalf> m, int skip) {
    float largest = 0.0f;
    for (int k = 0; k < SpectrumAnalyzer::kHalf; ++k) {
        if (k != skip) {
            largest = std::max(largest, m[k]);
        }
    }
    return largest;
}

TEST(SpectrumAnalyzer, ConstantInputHasOnlyTheZeroBin) {
    SpectrumAnalyzer analyzer;
    for (float a : {0.25f, -0.75f, 1.0f}) {
        Input x;
        x.fill(a);
        const auto m = analyzer.analyse(x);
        EXPECT_NEAR(m[0], std::abs(a), 1e-6f) << a;
        EXPECT_LT(largestExcept(m, 0), 1e-6f) << a;
    }
}

TEST(SpectrumAnalyzer, CosineOfOneBinReadsItsAmplitude) {
    SpectrumAnalyzer analyzer;
    for (int bin : {1, 2, 33, 34, 100, 511, 512, 777, 1023}) {
        const auto m = analyzer.analyse(cosine(0.6, bin));
        EXPECT_NEAR(m[bin], 0.6f, 2e-6f) << "bin " << bin;
        EXPECT_LT(largestExcept(m, bin), 2e-6f) << "bin " << bin;
    }
}

TEST(SpectrumAnalyzer, ZerosGiveZeros_EvenAfterAnotherSignal) {
    SpectrumAnalyzer analyzer;
    analyzer.analyse(cosine(1.0, 5));  // leaves work arrays dirty
    const auto m = analyzer.analyse(Input{});
    EXPECT_TRUE(std::all_of(m.begin(), m.end(), [](float v) { return v == 0.0f; }));
}

TEST(SpectrumAnalyzer, AgreesWithDirectTransform) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    Input x;
    for (float& v : x) {
        v = value(random);
    }

    SpectrumAnalyzer analyzer;
    const auto m = analyzer.analyse(x);

    double worst = 0.0;
    for (int k = 0; k < SpectrumAnalyzer::kHalf; ++k) {
        std::complex<double> sum = 0.0;
        for (int n = 0; n < N; ++n) {
            // Index reduced mod N keeps the angle small and the reference exact to double precision.
            const double angle =
                -2.0 * std::numbers::pi * static_cast<double>((static_cast<long>(n) * k) % N) / N;
            sum += static_cast<double>(x[n]) * std::polar(1.0, angle);
        }
        const double expected = (k == 0 ? 1.0 : 2.0) * std::abs(sum) / N;
        worst = std::max(worst, std::abs(expected - static_cast<double>(m[k])));
    }
    // Random input of this size gives magnitudes around 0.03; single precision over 11 stages
    // stays orders of magnitude below that.
    EXPECT_LT(worst, 1e-6);
}

TEST(SpectrumAnalyzer, ProcessWideTablesCanBeReleasedAndRebuilt) {
    buildSpectrumTables();
    const float first = spectrumAnalyzer().analyse(cosine(0.5, 9))[9];
    releaseSpectrumTables();
    // Reached after release, the analyser is rebuilt rather than used half-gone.
    EXPECT_FLOAT_EQ(spectrumAnalyzer().analyse(cosine(0.5, 9))[9], first);
    releaseSpectrumTables();
}

std::array<std::uint8_t, kBlockBytes> blockOf(const std::vector<std::int16_t>& samples) {
    std::array<std::uint8_t, kBlockBytes> block{};
    for (std::size_t i = 0; i < samples.size() && 2 * i + 1 < block.size(); ++i) {
        block[2 * i] = static_cast<std::uint8_t>(samples[i] & 0xFF);
        block[2 * i + 1] = static_cast<std::uint8_t>((samples[i] >> 8) & 0xFF);
    }
    return block;
}

TEST(SpectrumInput, AveragesLittleEndianSamplePairs) {
    const auto block = blockOf({32767, 32767, -32768, 0, 1000, -1000, 256, 0});
    const auto input = spectrumInput(block);
    EXPECT_FLOAT_EQ(input[0], 1.0f);
    EXPECT_FLOAT_EQ(input[1], static_cast<float>(-32768 / 32767.0 * 0.5));
    EXPECT_FLOAT_EQ(input[2], 0.0f);
    EXPECT_FLOAT_EQ(input[3], static_cast<float>(256 / 32767.0 * 0.5));
    EXPECT_FLOAT_EQ(input[2047], 0.0f);
}

// Magnitudes that make bar `bar` sum to `v` before its weight and boost are applied.
std::array<float, SpectrumAnalyzer::kHalf> weightedTo(int bar, float v) {
    std::array<float, SpectrumAnalyzer::kHalf> m{};
    m[kBinsPerBar * bar] = v / std::log(static_cast<float>(bar + 2));
    return m;
}

TEST(SpectrumBars, GeometryOfAnEvenArea) {
    const auto bars = spectrumBars(std::array<float, SpectrumAnalyzer::kHalf>{}, 300, 48);
    for (int i = 0; i < kSpectrumBarCount; ++i) {
        EXPECT_EQ(bars[i], (SpectrumBar{10 * i, 48, 10 * i + 8, 48, 255, 0, 50})) << i;
    }
}

TEST(SpectrumBars, FractionalBarWidthTruncates) {
    const auto bars = spectrumBars(std::array<float, SpectrumAnalyzer::kHalf>{}, 213, 48);
    EXPECT_EQ(bars[1].left, 7);
    EXPECT_EQ(bars[29].left, 205);  // 29 x 7.1 = 205.9
    EXPECT_EQ(bars[29].width(), 5);
}

TEST(SpectrumBars, NarrowAreaGivesEmptyBarsNotInvertedOnes) {
    const auto bars = spectrumBars(weightedTo(3, 0.7f), 60, 48);
    for (const SpectrumBar& bar : bars) {
        EXPECT_EQ(bar.width(), 0);
    }
}

TEST(SpectrumBars, QuietRangesAreBoostedAndLoudOnesCapped) {
    struct Case {
        float v;
        int top;  // in an area 1000 pixels high
        int green;
    };
    const Case cases[] = {
        {0.0033f, 996, 0},    // below every range
        {0.007f, 802, 50},    // x 9 pi = 0.19792
        {0.0095f, 990, 2},    // in the gap between the first two ranges
        {0.05f, 528, 120},    // x 3 pi = 0.47124
        {0.3f, 57, 240},      // x pi = 0.94248
        {0.7234f, 276, 184},  // above every range
        {5.0f, 100, 229},     // capped at 0.9
    };
    for (int bar = 0; bar < static_cast<int>(std::size(cases)); ++bar) {
        const Case& c = cases[bar];
        const auto bars = spectrumBars(weightedTo(bar, c.v), 300, 1000);
        EXPECT_EQ(bars[bar].top, c.top) << c.v;
        EXPECT_EQ(bars[bar].bottom, 1000) << c.v;
        EXPECT_EQ(bars[bar].green, c.green) << c.v;
    }
}

TEST(SpectrumBars, EachBarSumsItsOwnThirtyFourBins) {
    std::array<float, SpectrumAnalyzer::kHalf> m{};
    m[33] = 0.2f;  // last bin of bar 0
    m[34] = 0.2f;  // first bin of bar 1
    for (int bin = 1020; bin < 1024; ++bin) {
        m[bin] = 100.0f;  // beyond the last bar: never drawn
    }
    const auto bars = spectrumBars(m, 300, 100);
    EXPECT_LT(bars[0].top, 100);
    EXPECT_LT(bars[1].top, 100);
    for (int i = 2; i < kSpectrumBarCount; ++i) {
        EXPECT_EQ(bars[i].height(), 0) << i;
    }
}

TEST(SpectrumBars, ToneInABlockRaisesItsBar) {
    // Equal pairs, so the analyser sees the tone itself: bin 100 lies in bar 2.
    std::vector<std::int16_t> samples(4096);
    for (int j = 0; j < 2048; ++j) {
        const auto s = static_cast<std::int16_t>(
            std::lround(8000.0 * std::cos(2.0 * std::numbers::pi * 100 * j / 2048)));
        samples[2 * j] = samples[2 * j + 1] = s;
    }
    SpectrumAnalyzer analyzer;
    const auto bars = spectrumBarsForBlock(analyzer, blockOf(samples), 213, 80);
    for (int i = 0; i < kSpectrumBarCount; ++i) {
        if (i == 2) {
            EXPECT_EQ(bars[i].top, 8);  // 0.244 x ln 4 x pi exceeds 1: capped at 0.9
        } else {
            EXPECT_GE(bars[i].top, 79) << i;
        }
    }
}

}  // namespace
}  // namespace talvio::media
