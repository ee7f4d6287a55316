// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>

#include "media/spectrum_bars.h"

namespace {

using talvio::media::kBlockBytes;

// Every block handed to the device is also drawn; at 16 kHz mono a block lasts 256 ms, but the
// drawing shares the user-interface thread, so it must stay a small slice of a frame.
constexpr double kLimitMicroseconds = 50.0;

std::array<std::uint8_t, kBlockBytes> speechLikeBlock() {
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 600.0);
    std::array<std::uint8_t, kBlockBytes> block{};
    for (std::size_t i = 0; i < kBlockBytes / 2; ++i) {
        const double t = static_cast<double>(i) / 16000.0;
        const double v = 6000.0 * std::sin(2 * std::numbers::pi * 220 * t) +
                         2500.0 * std::sin(2 * std::numbers::pi * 1330 * t) + noise(random);
        const auto s = static_cast<std::int16_t>(std::lround(v));
        block[2 * i] = static_cast<std::uint8_t>(s & 0xFF);
        block[2 * i + 1] = static_cast<std::uint8_t>((s >> 8) & 0xFF);
    }
    return block;
}

void BM_SpectrumOfOneBlock(benchmark::State& state) {
    talvio::media::buildSpectrumTables();
    auto& analyzer = talvio::media::spectrumAnalyzer();
    const auto block = speechLikeBlock();
    for (auto _ : state) {
        // The spectrum area of the player window at 96 dpi.
        auto bars = talvio::media::spectrumBarsForBlock(analyzer, block, 320, 78);
        benchmark::DoNotOptimize(bars);
        benchmark::ClobberMemory();
    }
    state.counters["limit_us"] = kLimitMicroseconds;
}
BENCHMARK(BM_SpectrumOfOneBlock)->Unit(benchmark::kMicrosecond);

// Keeps the console output and remembers the figure, to print it beside the limit.
class LimitReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                m_microseconds =
                    run.GetAdjustedRealTime() * 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            }
        }
    }
    double microseconds() const { return m_microseconds; }

private:
    double m_microseconds = -1.0;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    LimitReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.microseconds() >= 0) {
        const bool within = reporter.microseconds() <= kLimitMicroseconds;
        std::printf("spectrum of one block (transform and 30 bars): %.2f us, limit %.0f us: %s\n",
                    reporter.microseconds(), kLimitMicroseconds, within ? "within" : "OVER");
    }
    return 0;
}
