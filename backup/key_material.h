// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace talvio::backup {

inline constexpr std::size_t kKeySize = 32;

// Where a key came from decides which backups it opens.
enum class KeyKind {
    BackupKeyFile,  // the `key` file: the AES key of crypt12 and crypt14 backups itself
    RootKeyFile,    // `encrypted_backup.key`: the root key of crypt15 backups
    Digits,         // the 64 digits shown when end-to-end backup was turned on: a crypt15 root key
};

// 32 bytes of key, wiped when the object goes. It has no text form on purpose, so that it cannot
// end up in a log or a message.
class KeyMaterial {
public:
    KeyMaterial(KeyKind kind, std::span<const std::uint8_t, kKeySize> bytes);
    KeyMaterial(const KeyMaterial& other);
    KeyMaterial& operator=(const KeyMaterial& other);
    ~KeyMaterial();

    KeyKind kind() const { return m_kind; }
    std::span<const std::uint8_t, kKeySize> bytes() const { return m_bytes; }

private:
    KeyKind m_kind;
    std::array<std::uint8_t, kKeySize> m_bytes;
};

// A buffer of secret bytes wiped when it goes: key files as read, derived keys on their way.
void wipe(void* data, std::size_t size);

}  // namespace talvio::backup
