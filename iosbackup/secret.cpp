// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "secret.h"

#include <openssl/crypto.h>

#include <utility>

namespace talvio::ios {

Secret::Secret(std::size_t size) : m_bytes(size, 0) {}

Secret::Secret(std::string_view bytes) : m_bytes(bytes.begin(), bytes.end()) {}

Secret::~Secret() {
    wipe();
}

Secret::Secret(Secret&& other) noexcept : m_bytes(std::move(other.m_bytes)) {
    other.m_bytes.clear();
}

Secret& Secret::operator=(Secret&& other) noexcept {
    if (this != &other) {
        wipe();
        m_bytes = std::move(other.m_bytes);
        other.m_bytes.clear();
    }
    return *this;
}

void Secret::wipe() {
    // OPENSSL_cleanse is not optimised away the way a memset before free may be.
    if (!m_bytes.empty())
        OPENSSL_cleanse(m_bytes.data(), m_bytes.size());
    m_bytes.clear();
}

}  // namespace talvio::ios
