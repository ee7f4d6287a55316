// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "secret.h"

#include <openssl/types.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace talvio::ios {

// The libcrypto calls an iPhone backup needs. Every function reports failure by its result and
// leaves no key material behind in the library's contexts.

// PBKDF2 with HMAC-SHA256 or HMAC-SHA1, 32 bytes out. False on a libcrypto failure.
bool pbkdf2Sha256(std::string_view password, std::string_view salt, std::uint32_t rounds, Secret& key);
bool pbkdf2Sha1(std::string_view password, std::string_view salt, std::uint32_t rounds, Secret& key);

// RFC 3394 AES key unwrap with a 256-bit key. False when the integrity check fails: for a class
// key that means the password was wrong.
bool aesUnwrap(const Secret& kek, std::string_view wrapped, Secret& key);
// The other direction, for backups we write ourselves. Empty on failure.
std::string aesWrap(const Secret& kek, const Secret& key);

// AES-256-CBC with a zero IV and PKCS#7 padding, in memory, for backups we write ourselves.
std::string aesCbcEncrypt(const Secret& key, std::string_view plain);

// Lower-case hex SHA-1, the way Manifest.db names stored files.
std::string sha1Hex(std::string_view data);

// Fresh random bytes from libcrypto's generator.
Secret randomBytes(std::size_t size);

// Streams AES-256-CBC decryption with a zero IV and no padding removal; the caller decides what
// of the last block is padding.
class CbcDecryptor {
public:
    explicit CbcDecryptor(const Secret& key);
    ~CbcDecryptor();
    CbcDecryptor(const CbcDecryptor&) = delete;
    CbcDecryptor& operator=(const CbcDecryptor&) = delete;

    bool ok() const { return m_ctx != nullptr; }
    // in must be a whole number of 16-byte blocks; out receives as many bytes.
    bool update(const unsigned char* in, std::size_t size, unsigned char* out);

private:
    EVP_CIPHER_CTX* m_ctx = nullptr;
};

}  // namespace talvio::ios
