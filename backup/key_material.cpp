// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/key_material.h"

#include <openssl/crypto.h>

#include <algorithm>

namespace talvio::backup {

KeyMaterial::KeyMaterial(KeyKind kind, std::span<const std::uint8_t, kKeySize> bytes) : m_kind(kind) {
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin());
}

KeyMaterial::KeyMaterial(const KeyMaterial& other) : m_kind(other.m_kind), m_bytes(other.m_bytes) {}

KeyMaterial& KeyMaterial::operator=(const KeyMaterial& other) {
    m_kind = other.m_kind;
    m_bytes = other.m_bytes;
    return *this;
}

KeyMaterial::~KeyMaterial() {
    wipe(m_bytes.data(), m_bytes.size());
}

void wipe(void* data, std::size_t size) {
    if (data != nullptr && size > 0)
        OPENSSL_cleanse(data, size);
}

}  // namespace talvio::backup
