// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "backup/key_material.h"

struct evp_cipher_ctx_st;

namespace talvio::backup {

inline constexpr std::size_t kGcmNonceSize = 16;
inline constexpr std::size_t kGcmTagSize = 16;

// AES-256-GCM through libcrypto with the 16-byte nonces WhatsApp uses (GCM hashes a nonce of any
// length other than 12 into its counter block, so the length must be set before the nonce).
class AesGcm {
public:
    enum class Direction { Encrypt, Decrypt };

    AesGcm(Direction direction, const KeyMaterial& key, std::span<const std::uint8_t, kGcmNonceSize> nonce);
    ~AesGcm();
    AesGcm(const AesGcm&) = delete;
    AesGcm& operator=(const AesGcm&) = delete;

    // False when libcrypto could not set up the cipher.
    bool ready() const { return m_ready; }
    // Encrypts or decrypts `in` into `out`, which holds at least in.size() bytes.
    bool update(std::span<const std::uint8_t> in, std::uint8_t* out);
    // Decrypting: true only when the tag matches everything that went through update().
    bool verify(std::span<const std::uint8_t, kGcmTagSize> tag);
    // Encrypting: the tag of everything that went through update().
    bool finish(std::span<std::uint8_t, kGcmTagSize> tag);

private:
    struct Free {
        void operator()(evp_cipher_ctx_st* context) const;
    };
    std::unique_ptr<evp_cipher_ctx_st, Free> m_context;
    bool m_ready = false;
};

}  // namespace talvio::backup
