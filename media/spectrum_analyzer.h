// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <array>
#include <span>
#include <vector>

namespace talvio::media {

// A 2048-point complex FFT over real input, yielding 1024 single-sided magnitudes.
// All trigonometry is done once, when the tables are built; a transform is only
// multiply-adds and one bit-reversal pass, all in single precision.
class SpectrumAnalyzer {
public:
    static constexpr int kPoints = 2048;
    static constexpr int kHalf = kPoints / 2;
    static constexpr int kStages = 11;

    SpectrumAnalyzer();

    // Transforms 2048 values. The magnitudes stay valid until the next call; magnitude 0 is
    // |X0| / 2048 and magnitude k is 2 |Xk| / 2048, so a cosine of amplitude A reads A.
    std::span<const float, kHalf> analyse(std::span<const float, kPoints> input);
    std::span<const float, kHalf> magnitudes() const { return m_magnitudes; }

private:
    std::array<float, kPoints> m_real{};
    std::array<float, kPoints> m_imag{};
    std::array<float, kHalf> m_magnitudes{};
    // One (cos, sin) pair per block of butterflies, in the order the transform uses them.
    std::vector<float> m_cos;
    std::vector<float> m_sin;
    std::array<int, kPoints> m_reversed{};
};

// The process-wide analyser of the voice player. Start-up builds it before any window opens;
// tests release it to start from fresh tables.
void buildSpectrumTables();
void releaseSpectrumTables();
// The process-wide analyser; builds the tables if start-up has not.
SpectrumAnalyzer& spectrumAnalyzer();

}  // namespace talvio::media
