// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "keybag.h"

#include "backup_crypto.h"

namespace talvio::ios {
namespace {

constexpr std::uint32_t kMostDataProtectionRounds = 200'000'000;
constexpr std::uint32_t kMostRounds = 10'000'000;

std::uint32_t bigEndian(std::string_view bytes) {
    std::uint32_t value = 0;
    for (unsigned char c : bytes.substr(0, 4))
        value = (value << 8) | c;
    return value;
}

// Numbers are 4-byte big-endian values; anything else makes the bag unusable.
bool number(std::string_view value, std::uint32_t& out) {
    if (value.size() != 4)
        return false;
    out = bigEndian(value);
    return true;
}

}  // namespace

std::optional<Keybag> Keybag::parse(std::string_view bytes) {
    Keybag bag;
    bool seenBagUuid = false;
    ClassKey current;
    bool inClass = false;
    auto finishClass = [&]() {
        if (inClass && !current.wrappedKey.empty())
            bag.m_classKeys[current.protectionClass] = current;
        current = ClassKey();
    };
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 8)
            return std::nullopt;
        const std::string_view tag = bytes.substr(at, 4);
        const std::uint32_t length = bigEndian(bytes.substr(at + 4, 4));
        at += 8;
        if (length > bytes.size() - at)
            return std::nullopt;
        const std::string_view value = bytes.substr(at, length);
        at += length;
        if (tag == "UUID") {
            if (seenBagUuid) {
                finishClass();
                inClass = true;
            }
            seenBagUuid = true;
        } else if (inClass) {
            if (tag == "CLAS" && !number(value, current.protectionClass))
                return std::nullopt;
            if (tag == "WRAP" && !number(value, current.wrap))
                return std::nullopt;
            if (tag == "WPKY")
                current.wrappedKey = std::string(value);
        } else if (tag == "SALT") {
            bag.m_salt = std::string(value);
        } else if (tag == "ITER") {
            if (!number(value, bag.m_iterations))
                return std::nullopt;
        } else if (tag == "DPSL") {
            bag.m_dpSalt = std::string(value);
        } else if (tag == "DPIC") {
            if (!number(value, bag.m_dpIterations))
                return std::nullopt;
        }
    }
    finishClass();
    if (bag.m_salt.empty() || bag.m_iterations == 0 || bag.m_classKeys.empty())
        return std::nullopt;
    // iPhones use 10,000,000 and 10,000 rounds. Far more would tie a worker up for hours on a
    // damaged or hostile bag, so such a bag is refused.
    if (bag.m_dpIterations > kMostDataProtectionRounds || bag.m_iterations > kMostRounds)
        return std::nullopt;
    return bag;
}

Keybag::UnlockResult Keybag::unlock(const Secret& password, const Progress& progress,
                                    std::map<std::uint32_t, Secret>& classKeys) const {
    classKeys.clear();
    auto goOn = [&](double done) { return !progress || progress(done); };
    if (!goOn(0.0))
        return UnlockResult::Cancelled;
    // Rounds of both derivations cost about the same, so they share the work by their counts.
    const double total = static_cast<double>(m_dpIterations) + m_iterations;
    Secret first;
    // Backups of iOS 10.2 and later derive twice; older ones have no DPSL and use the password.
    if (!m_dpSalt.empty() && m_dpIterations > 0) {
        if (!pbkdf2Sha256(password.view(), m_dpSalt, m_dpIterations, first))
            return UnlockResult::Failed;
    } else {
        first = Secret(password.view());
    }
    if (!goOn(m_dpIterations / total))
        return UnlockResult::Cancelled;
    Secret passcodeKey;
    if (!pbkdf2Sha1(first.view(), m_salt, m_iterations, passcodeKey))
        return UnlockResult::Failed;
    first.wipe();
    if (!goOn(1.0))
        return UnlockResult::Cancelled;
    // A key the passcode did not wrap fails its integrity check like a wrong password would; with
    // the right password at least the passcode-wrapped ones open, with a wrong one none does.
    for (const auto& [protectionClass, classKey] : m_classKeys) {
        Secret key;
        if (aesUnwrap(passcodeKey, classKey.wrappedKey, key))
            classKeys.emplace(protectionClass, std::move(key));
    }
    if (classKeys.empty())
        return UnlockResult::WrongPassword;
    return UnlockResult::Unlocked;
}

std::string keybagNumber(std::uint32_t value) {
    std::string out(4, '\0');
    for (int i = 3; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xff);
        value >>= 8;
    }
    return out;
}

std::string keybagRecord(std::string_view tag, std::string_view value) {
    return std::string(tag.substr(0, 4)) + keybagNumber(static_cast<std::uint32_t>(value.size())) +
           std::string(value);
}

}  // namespace talvio::ios
