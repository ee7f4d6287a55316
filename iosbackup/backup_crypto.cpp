// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup_crypto.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

namespace talvio::ios {
namespace {

constexpr std::size_t kKeySize = 32;
constexpr unsigned char kZeroIv[16] = {};

struct CtxFree {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CtxPtr = std::unique_ptr<EVP_CIPHER_CTX, CtxFree>;

bool pbkdf2(const EVP_MD* digest, std::string_view password, std::string_view salt, std::uint32_t rounds,
            Secret& key) {
    if (rounds == 0 || rounds > static_cast<std::uint32_t>(std::numeric_limits<int>::max()) ||
        password.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) ||
        salt.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return false;
    Secret out(kKeySize);
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                          reinterpret_cast<const unsigned char*>(salt.data()), static_cast<int>(salt.size()),
                          static_cast<int>(rounds), digest, static_cast<int>(out.size()), out.data()) != 1)
        return false;
    key = std::move(out);
    return true;
}

// Wrap and unwrap share everything but the direction.
bool keyWrap(bool encrypt, const Secret& kek, std::string_view in, Secret& out) {
    if (kek.size() != kKeySize || in.size() < 16 || in.size() % 8 != 0 || in.size() > 4096)
        return false;
    CtxPtr ctx(EVP_CIPHER_CTX_new());
    if (!ctx)
        return false;
    // OpenSSL refuses wrap modes through EVP unless asked explicitly.
    EVP_CIPHER_CTX_set_flags(ctx.get(), EVP_CIPHER_CTX_FLAG_WRAP_ALLOW);
    if (EVP_CipherInit_ex(ctx.get(), EVP_aes_256_wrap(), nullptr, kek.data(), nullptr, encrypt ? 1 : 0) != 1)
        return false;
    Secret buffer(in.size() + 16);
    int written = 0;
    if (EVP_CipherUpdate(ctx.get(), buffer.data(), &written,
                         reinterpret_cast<const unsigned char*>(in.data()),
                         static_cast<int>(in.size())) != 1 ||
        written <= 0)
        return false;
    int tail = 0;
    if (EVP_CipherFinal_ex(ctx.get(), buffer.data() + written, &tail) != 1)
        return false;
    Secret result(std::string_view(reinterpret_cast<const char*>(buffer.data()),
                                   static_cast<std::size_t>(written + tail)));
    out = std::move(result);
    return true;
}

}  // namespace

bool pbkdf2Sha256(std::string_view password, std::string_view salt, std::uint32_t rounds, Secret& key) {
    return pbkdf2(EVP_sha256(), password, salt, rounds, key);
}

bool pbkdf2Sha1(std::string_view password, std::string_view salt, std::uint32_t rounds, Secret& key) {
    return pbkdf2(EVP_sha1(), password, salt, rounds, key);
}

bool aesUnwrap(const Secret& kek, std::string_view wrapped, Secret& key) {
    return keyWrap(false, kek, wrapped, key);
}

std::string aesWrap(const Secret& kek, const Secret& key) {
    Secret out;
    if (!keyWrap(true, kek, key.view(), out))
        return {};
    return std::string(out.view());
}

std::string aesCbcEncrypt(const Secret& key, std::string_view plain) {
    if (key.size() != kKeySize)
        return {};
    CtxPtr ctx(EVP_CIPHER_CTX_new());
    if (!ctx || EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, key.data(), kZeroIv) != 1)
        return {};
    std::string out(plain.size() + 16, '\0');
    auto* dest = reinterpret_cast<unsigned char*>(out.data());
    const auto* src = reinterpret_cast<const unsigned char*>(plain.data());
    std::size_t total = 0;
    // EVP takes int lengths: feed large plaintexts in slices.
    constexpr std::size_t kSlice = 1 << 24;
    for (std::size_t at = 0; at < plain.size(); at += kSlice) {
        const int slice = static_cast<int>(std::min(kSlice, plain.size() - at));
        int written = 0;
        if (EVP_EncryptUpdate(ctx.get(), dest + total, &written, src + at, slice) != 1)
            return {};
        total += static_cast<std::size_t>(written);
    }
    int tail = 0;
    if (EVP_EncryptFinal_ex(ctx.get(), dest + total, &tail) != 1)
        return {};
    out.resize(total + static_cast<std::size_t>(tail));
    return out;
}

std::string sha1Hex(std::string_view data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(data.data(), data.size(), digest, &size, EVP_sha1(), nullptr) != 1)
        return {};
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}

Secret randomBytes(std::size_t size) {
    Secret bytes(size);
    if (RAND_bytes(bytes.data(), static_cast<int>(size)) != 1)
        return Secret();
    return bytes;
}

CbcDecryptor::CbcDecryptor(const Secret& key) {
    if (key.size() != kKeySize)
        return;
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    if (ctx == nullptr)
        return;
    if (EVP_DecryptInit_ex(ctx, EVP_aes_256_cbc(), nullptr, key.data(), kZeroIv) != 1 ||
        EVP_CIPHER_CTX_set_padding(ctx, 0) != 1) {
        EVP_CIPHER_CTX_free(ctx);
        return;
    }
    m_ctx = ctx;
}

CbcDecryptor::~CbcDecryptor() {
    EVP_CIPHER_CTX_free(m_ctx);
}

bool CbcDecryptor::update(const unsigned char* in, std::size_t size, unsigned char* out) {
    if (m_ctx == nullptr || size % 16 != 0 ||
        size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return false;
    int written = 0;
    if (EVP_DecryptUpdate(m_ctx, out, &written, in, static_cast<int>(size)) != 1)
        return false;
    return static_cast<std::size_t>(written) == size;
}

}  // namespace talvio::ios
