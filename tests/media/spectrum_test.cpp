// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

#include "media/spectrum_bars.h"

namespace talvio::media {
namespace {

constexpr int N = SpectrumAnalyzer::kPoints;
using Input = std::array<float, N>;
using Magnitudes = std::array<float, SpectrumAnalyzer::kHalf>;

Input cosine(double amplitude, int bin) {
    Input x{};
    for (int n = 0; n < N; ++n) {
        x[n] = static_cast<float>(amplitude * std::cos(2 * std::numbers::pi * bin * n / N));
    }
    return x;
}

// The largest magnitude other than that of `bin`.
float leakage(std::span<const float, SpectrumAnalyzer::kHalf> m, int bin) {
    float largest = 0.0f;
    for (int k = 0; k < SpectrumAnalyzer::kHalf; ++k) {
        largest = k == bin ? largest : std::max(largest, m[k]);
    }
    return largest;
}

TEST(SpectrumAnalyzer, ConstantsCosinesAndZeros) {
    SpectrumAnalyzer analyzer;
    for (float a : {0.25f, -0.75f}) {
        Input x;
        x.fill(a);
        const auto m = analyzer.analyse(x);
        EXPECT_NEAR(m[0], std::abs(a), 1e-6f);
        EXPECT_LT(leakage(m, 0), 1e-6f);
    }
    for (int bin : {1, 33, 34, 511, 512, 1023}) {
        const auto m = analyzer.analyse(cosine(0.6, bin));
        EXPECT_NEAR(m[bin], 0.6f, 2e-6f) << bin;
        EXPECT_LT(leakage(m, bin), 2e-6f) << bin;
    }
    // Right after another signal: nothing may linger in the work arrays.
    const auto m = analyzer.analyse(Input{});
    EXPECT_TRUE(std::all_of(m.begin(), m.end(), [](float v) { return v == 0.0f; }));
}

TEST(SpectrumAnalyzer, AgreesWithDirectTransform) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    Input x;
    std::generate(x.begin(), x.end(), [&] { return value(random); });
    const auto m = spectrumAnalyzer().analyse(x);

    double worst = 0.0;
    for (int k = 0; k < SpectrumAnalyzer::kHalf; ++k) {
        std::complex<double> sum = 0.0;
        for (int n = 0; n < N; ++n) {
            sum += static_cast<double>(x[n]) * std::polar(1.0, -2 * std::numbers::pi * ((n * k) % N) / N);
        }
        worst = std::max(worst, std::abs((k == 0 ? 1.0 : 2.0) * std::abs(sum) / N - m[k]));
    }
    // The magnitudes of this input are around 0.03.
    EXPECT_LT(worst, 1e-6);

    // Released tables are rebuilt on the next use, not used half-gone.
    const float fifth = m[5];
    releaseSpectrumTables();
    EXPECT_EQ(spectrumAnalyzer().analyse(x)[5], fifth);
}

TEST(SpectrumInput, AveragesLittleEndianSamplePairs) {
    std::array<std::uint8_t, kBlockBytes> block{};
    const std::uint8_t start[] = {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x80, 0, 0, 0x00, 0x01, 0, 0};
    std::copy(std::begin(start), std::end(start), block.begin());
    const auto input = spectrumInput(block);
    EXPECT_FLOAT_EQ(input[0], 1.0f);
    EXPECT_FLOAT_EQ(input[1], static_cast<float>(-32768 / 32767.0 * 0.5));
    EXPECT_FLOAT_EQ(input[2], static_cast<float>(256 / 32767.0 * 0.5));
    EXPECT_EQ(input[3], 0.0f);
}

TEST(SpectrumBars, Geometry) {
    const Magnitudes quiet{};
    const auto even = spectrumBars(quiet, 300, 48);
    for (int i = 0; i < kSpectrumBarCount; ++i) {
        EXPECT_EQ(even[i], (SpectrumBar{10 * i, 48, 10 * i + 8, 48, 255, 0, 50})) << i;
    }
    const auto fractional = spectrumBars(quiet, 213, 48);
    EXPECT_EQ(fractional[29].left, 205);  // 29 x 7.1 = 205.9
    EXPECT_EQ(fractional[29].width(), 5);
    // No room for the 2-pixel gaps: empty bars, not inverted ones.
    for (const SpectrumBar& bar : spectrumBars(quiet, 60, 48)) {
        EXPECT_EQ(bar.width(), 0);
    }
}

TEST(SpectrumBars, QuietRangesAreBoostedAndLoudOnesCapped) {
    struct Case {
        float v;  // sum of the bar's bins times ln(bar + 2)
        int top;  // in an area 1000 pixels high
        int green;
    };
    const Case cases[] = {
        {0.0033f, 996, 0},    // below every range
        {0.007f, 802, 50},    // x 9 pi = 0.19792
        {0.0095f, 990, 2},    // between the first two ranges
        {0.05f, 528, 120},    // x 3 pi = 0.47124
        {0.3f, 57, 240},      // x pi = 0.94248
        {0.7234f, 276, 184},  // above every range
        {5.0f, 100, 229},     // capped at 0.9
    };
    for (int bar = 0; bar < static_cast<int>(std::size(cases)); ++bar) {
        Magnitudes m{};
        m[kBinsPerBar * bar + 33] = cases[bar].v / std::log(static_cast<float>(bar + 2));
        const auto bars = spectrumBars(m, 300, 1000);
        EXPECT_EQ(bars[bar].top, cases[bar].top) << cases[bar].v;
        EXPECT_EQ(bars[bar].green, cases[bar].green) << cases[bar].v;
        EXPECT_EQ(bars[bar + 1].height(), 0) << "a bar's bins are its own";
    }
    Magnitudes beyond{};
    std::fill(beyond.begin() + 1020, beyond.end(), 100.0f);
    for (const SpectrumBar& bar : spectrumBars(beyond, 300, 100)) {
        EXPECT_EQ(bar.height(), 0) << "bins 1020 to 1023 are not drawn";
    }
}

}  // namespace
}  // namespace talvio::media
