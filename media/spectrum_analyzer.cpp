// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/spectrum_analyzer.h"

#include <cmath>
#include <memory>
#include <utility>

namespace talvio::media {
namespace {

int reverseBits(int value, int bits) {
    int result = 0;
    for (int i = 0; i < bits; ++i) {
        result = (result << 1) | (value & 1);
        value >>= 1;
    }
    return result;
}

std::unique_ptr<SpectrumAnalyzer>& processAnalyzer() {
    static std::unique_ptr<SpectrumAnalyzer> analyzer;
    return analyzer;
}

}  // namespace

SpectrumAnalyzer::SpectrumAnalyzer() {
    m_cos.reserve(kPoints - 1);
    m_sin.reserve(kPoints - 1);
    // Natural-order input, bit-reversed output: at stage s every butterfly k of a block uses
    // the twiddle whose exponent is the bit reversal of k >> (11 - s), which is the same for
    // the whole block. One pair per block, in the order the transform takes them, keeps the
    // tables at 16 KB, inside the first-level cache.
    for (int stage = 1; stage <= kStages; ++stage) {
        const int half = kHalf >> (stage - 1);
        const int shift = kStages - stage;
        for (int block = 0; block < kPoints; block += 2 * half) {
            const int exponent = reverseBits(block >> shift, kStages);
            const float theta = 6.283185f * static_cast<float>(exponent) / static_cast<float>(kPoints);
            m_cos.push_back(std::cos(theta));
            m_sin.push_back(std::sin(theta));
        }
    }
    for (int n = 0; n < kPoints; ++n) {
        m_reversed[n] = reverseBits(n, kStages);
    }
}

std::span<const float, SpectrumAnalyzer::kHalf> SpectrumAnalyzer::analyse(
    std::span<const float, kPoints> input) {
    for (int n = 0; n < kPoints; ++n) {
        m_real[n] = input[n];
        m_imag[n] = 0.0f;
    }

    std::size_t twiddle = 0;
    for (int half = kHalf; half >= 1; half /= 2) {
        for (int block = 0; block < kPoints; block += 2 * half, ++twiddle) {
            const float c = m_cos[twiddle];
            const float s = m_sin[twiddle];
            // The two halves of a block never overlap; saying so lets the compiler keep
            // values in registers instead of reloading them after every store.
            float* __restrict lowRe = m_real.data() + block;
            float* __restrict lowIm = m_imag.data() + block;
            float* __restrict highRe = lowRe + half;
            float* __restrict highIm = lowIm + half;
            for (int k = 0; k < half; ++k) {
                // t = high * (cos - i sin)
                const float tr = highRe[k] * c + highIm[k] * s;
                const float ti = highIm[k] * c - highRe[k] * s;
                highRe[k] = lowRe[k] - tr;
                highIm[k] = lowIm[k] - ti;
                lowRe[k] += tr;
                lowIm[k] += ti;
            }
        }
    }

    for (int n = 0; n < kPoints; ++n) {
        const int r = m_reversed[n];
        if (r > n) {
            std::swap(m_real[n], m_real[r]);
            std::swap(m_imag[n], m_imag[r]);
        }
    }

    m_magnitudes[0] = std::sqrt(m_real[0] * m_real[0] + m_imag[0] * m_imag[0]) / kPoints;
    for (int k = 1; k < kHalf; ++k) {
        m_magnitudes[k] = 2.0f * std::sqrt(m_real[k] * m_real[k] + m_imag[k] * m_imag[k]) / kPoints;
    }
    return m_magnitudes;
}

void buildSpectrumTables() {
    processAnalyzer() = std::make_unique<SpectrumAnalyzer>();
}

void releaseSpectrumTables() {
    processAnalyzer().reset();
}

SpectrumAnalyzer& spectrumAnalyzer() {
    auto& analyzer = processAnalyzer();
    if (!analyzer) {
        buildSpectrumTables();
    }
    return *analyzer;
}

}  // namespace talvio::media
