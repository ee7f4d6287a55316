// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "secret.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace talvio::ios {

// The backup keybag of Manifest.plist: records of a 4-character tag, a 4-byte big-endian length
// and the value. The first UUID belongs to the bag itself; every later UUID starts a class key.
class Keybag {
public:
    struct ClassKey {
        std::uint32_t protectionClass = 0;
        std::uint32_t wrap = 0;
        std::string wrappedKey;  // WPKY
    };

    // Nothing when the bytes are not a keybag a passcode can open.
    static std::optional<Keybag> parse(std::string_view bytes);

    // Called with the share of the work done (0..1) between steps; false abandons the unlock.
    using Progress = std::function<bool(double done)>;
    enum class UnlockResult { Unlocked, WrongPassword, Cancelled, Failed };

    // Derives the passcode key and unwraps every class key it opens into classKeys. The first
    // derivation (DPIC rounds, seconds of work) is one libcrypto call that cannot stop midway:
    // a cancel is seen when it returns.
    UnlockResult unlock(const Secret& password, const Progress& progress,
                        std::map<std::uint32_t, Secret>& classKeys) const;

    std::uint32_t iterations() const { return m_iterations; }
    std::uint32_t dataProtectionIterations() const { return m_dpIterations; }
    const std::map<std::uint32_t, ClassKey>& classKeys() const { return m_classKeys; }

private:
    std::string m_salt;
    std::uint32_t m_iterations = 0;
    std::string m_dpSalt;
    std::uint32_t m_dpIterations = 0;
    std::map<std::uint32_t, ClassKey> m_classKeys;
};

// Writes one keybag record, for backups we write ourselves.
std::string keybagRecord(std::string_view tag, std::string_view value);
std::string keybagNumber(std::uint32_t value);

}  // namespace talvio::ios
