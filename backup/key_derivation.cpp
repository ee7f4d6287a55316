// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/key_derivation.h"

#include <openssl/core_names.h>
#include <openssl/kdf.h>
#include <openssl/params.h>

#include <array>
#include <memory>

namespace talvio::backup {
namespace {

constexpr char kInfo[] = "backup encryption";

struct KdfFree {
    void operator()(EVP_KDF* kdf) const { EVP_KDF_free(kdf); }
    void operator()(EVP_KDF_CTX* context) const { EVP_KDF_CTX_free(context); }
};

}  // namespace

std::optional<KeyMaterial> deriveCrypt15Key(const KeyMaterial& root) {
    std::unique_ptr<EVP_KDF, KdfFree> kdf(EVP_KDF_fetch(nullptr, "HKDF", nullptr));
    if (!kdf)
        return std::nullopt;
    std::unique_ptr<EVP_KDF_CTX, KdfFree> context(EVP_KDF_CTX_new(kdf.get()));
    if (!context)
        return std::nullopt;

    // No salt parameter: HKDF then extracts with a zero-length salt, which HMAC pads to a block of zeros.
    std::array<std::uint8_t, kKeySize> secret{};
    std::copy(root.bytes().begin(), root.bytes().end(), secret.begin());
    char digest[] = "SHA256";
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_KDF_PARAM_DIGEST, digest, 0),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_KEY, secret.data(), secret.size()),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_INFO, const_cast<char*>(kInfo), sizeof kInfo - 1),
        OSSL_PARAM_construct_end()};
    std::array<std::uint8_t, kKeySize> derived{};
    const bool ok = EVP_KDF_derive(context.get(), derived.data(), derived.size(), params) == 1;
    wipe(secret.data(), secret.size());
    std::optional<KeyMaterial> result;
    if (ok)
        result.emplace(root.kind(), derived);
    wipe(derived.data(), derived.size());
    return result;
}

}  // namespace talvio::backup
