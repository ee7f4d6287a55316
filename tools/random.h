// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <span>

namespace talvio::fixture {

// Seeded generator for the fixtures. The standard distributions are not specified bit for bit,
// so the same seed would give different folders with different standard libraries; every
// draw here is plain integer arithmetic instead.
class Random {
public:
    explicit Random(std::uint64_t seed) {
        for (auto& word : m_state)
            word = mix(seed);
    }

    // splitmix64's finaliser: a bijection of 64-bit values, so distinct inputs give distinct
    // identifiers that still look random.
    static std::uint64_t scramble(std::uint64_t x) {
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
        return x ^ (x >> 31);
    }

    static std::uint64_t mix(std::uint64_t& x) { return scramble(x += 0x9E3779B97F4A7C15ull); }

    // xoshiro256**.
    std::uint64_t next() {
        const std::uint64_t result = rotl(m_state[1] * 5, 7) * 9;
        const std::uint64_t t = m_state[1] << 17;
        m_state[2] ^= m_state[0];
        m_state[3] ^= m_state[1];
        m_state[1] ^= m_state[2];
        m_state[0] ^= m_state[3];
        m_state[2] ^= t;
        m_state[3] = rotl(m_state[3], 45);
        return result;
    }

    // Uniform in [0, bound); 0 when bound is 0.
    std::uint64_t below(std::uint64_t bound) {
        __extension__ typedef unsigned __int128 Wide;
        return static_cast<std::uint64_t>((static_cast<Wide>(next()) * bound) >> 64);
    }

    // Uniform in [low, high].
    std::int64_t between(std::int64_t low, std::int64_t high) {
        return low + static_cast<std::int64_t>(below(static_cast<std::uint64_t>(high - low) + 1));
    }

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

    bool chance(double probability) { return unit() < probability; }

    template <typename T>
    const T& pick(std::span<const T> items) {
        return items[below(items.size())];
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    std::uint64_t m_state[4];
};

}  // namespace talvio::fixture
