// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/aes_gcm.h"

#include <openssl/evp.h>

#include <climits>

namespace talvio::backup {

void AesGcm::Free::operator()(evp_cipher_ctx_st* context) const {
    EVP_CIPHER_CTX_free(context);
}

AesGcm::AesGcm(Direction direction, const KeyMaterial& key,
               std::span<const std::uint8_t, kGcmNonceSize> nonce)
    : m_context(EVP_CIPHER_CTX_new()) {
    if (!m_context)
        return;
    const int encrypt = direction == Direction::Encrypt ? 1 : 0;
    EVP_CIPHER_CTX* context = m_context.get();
    m_ready =
        EVP_CipherInit_ex(context, EVP_aes_256_gcm(), nullptr, nullptr, nullptr, encrypt) == 1 &&
        EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(kGcmNonceSize), nullptr) == 1 &&
        EVP_CipherInit_ex(context, nullptr, nullptr, key.bytes().data(), nonce.data(), encrypt) == 1;
}

AesGcm::~AesGcm() = default;

bool AesGcm::update(std::span<const std::uint8_t> in, std::uint8_t* out) {
    if (!m_ready)
        return false;
    while (!in.empty()) {
        // EVP lengths are ints: feed very large spans in pieces.
        const std::size_t piece = std::min<std::size_t>(in.size(), INT_MAX / 2);
        int written = 0;
        if (EVP_CipherUpdate(m_context.get(), out, &written, in.data(), static_cast<int>(piece)) != 1)
            return false;
        out += written;
        in = in.subspan(piece);
    }
    return true;
}

bool AesGcm::verify(std::span<const std::uint8_t, kGcmTagSize> tag) {
    if (!m_ready)
        return false;
    if (EVP_CIPHER_CTX_ctrl(m_context.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(kGcmTagSize),
                            const_cast<std::uint8_t*>(tag.data())) != 1)
        return false;
    std::uint8_t rest[EVP_MAX_BLOCK_LENGTH];
    int written = 0;
    return EVP_DecryptFinal_ex(m_context.get(), rest, &written) == 1;
}

bool AesGcm::finish(std::span<std::uint8_t, kGcmTagSize> tag) {
    if (!m_ready)
        return false;
    std::uint8_t rest[EVP_MAX_BLOCK_LENGTH];
    int written = 0;
    return EVP_EncryptFinal_ex(m_context.get(), rest, &written) == 1 &&
           EVP_CIPHER_CTX_ctrl(m_context.get(), EVP_CTRL_GCM_GET_TAG, static_cast<int>(kGcmTagSize),
                               tag.data()) == 1;
}

}  // namespace talvio::backup
