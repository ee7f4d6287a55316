// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/backup_writer.h"

#include <openssl/evp.h>
#include <openssl/rand.h>
#include <zlib.h>

#include <array>
#include <optional>

#include "backup/aes_gcm.h"
#include "backup/java_byte_array.h"
#include "backup/key_derivation.h"
#include "backup/proto_writer.h"

namespace talvio::backup {
namespace {

template <std::size_t N>
std::array<std::uint8_t, N> randomBytes() {
    std::array<std::uint8_t, N> bytes{};
    RAND_bytes(bytes.data(), static_cast<int>(N));
    return bytes;
}

void append(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::optional<std::vector<std::uint8_t>> deflated(std::span<const std::uint8_t> plain) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, plain.data(), static_cast<uLong>(plain.size()), Z_DEFAULT_COMPRESSION) !=
        Z_OK)
        return std::nullopt;
    out.resize(size);
    return out;
}

ProtoWriter info(const BackupWriteOptions& options) {
    ProtoWriter info;
    info.text(1, options.appVersion).text(2, options.jidSuffix).varint(3, 1);
    // The feature flags f5…f39 a recent phone sets, all on.
    for (std::uint32_t flag = 5; flag <= 39; ++flag)
        info.varint(flag, 1);
    return info;
}

std::vector<std::uint8_t> prefixedHeader(const BackupWriteOptions& options,
                                         std::span<const std::uint8_t, kGcmNonceSize> nonce) {
    ProtoWriter prefix;
    if (options.format == BackupFormat::Crypt14) {
        ProtoWriter cipher;
        cipher.varint(1, 0)
            .varint(2, 1)
            .bytes(3, randomBytes<32>())
            .bytes(4, randomBytes<16>())
            .bytes(5, nonce);
        prefix.varint(1, 0).message(2, cipher);
    } else {
        ProtoWriter iv;
        iv.bytes(1, nonce);
        prefix.varint(1, 1).message(3, iv);
    }
    prefix.message(4, info(options));
    if (prefix.data().size() > 255)
        return {};  // its length has one byte
    std::vector<std::uint8_t> header{static_cast<std::uint8_t>(prefix.data().size())};
    if (options.featureTable)
        header.push_back(0x01);
    append(header, prefix.data());
    return header;
}

std::vector<std::uint8_t> crypt12Header(std::span<const std::uint8_t, kGcmNonceSize> nonce) {
    std::vector<std::uint8_t> header{0x00, 0x01, 0x01};
    append(header, randomBytes<32>());  // server salt
    append(header, randomBytes<16>());  // Google-id salt
    append(header, nonce);
    return header;
}

void appendMd5(std::vector<std::uint8_t>& out) {
    std::array<std::uint8_t, EVP_MAX_MD_SIZE> md5{};
    unsigned int size = 0;
    EVP_Digest(out.data(), out.size(), md5.data(), &size, EVP_md5(), nullptr);
    out.insert(out.end(), md5.begin(), md5.begin() + size);
}

}  // namespace

std::vector<std::uint8_t> writeBackup(std::span<const std::uint8_t> plain, const KeyMaterial& key,
                                      const BackupWriteOptions& options) {
    std::optional<KeyMaterial> aesKey = key;
    if (options.format == BackupFormat::Crypt15)
        aesKey = deriveCrypt15Key(key);
    if (!aesKey)
        return {};
    std::optional<std::vector<std::uint8_t>> body(std::in_place, plain.begin(), plain.end());
    if (options.compress)
        body = deflated(plain);
    if (!body)
        return {};
    const auto nonce = randomBytes<kGcmNonceSize>();
    std::vector<std::uint8_t> out =
        options.format == BackupFormat::Crypt12 ? crypt12Header(nonce) : prefixedHeader(options, nonce);
    if (out.empty())
        return {};
    const std::size_t start = out.size();
    out.resize(start + body->size());
    AesGcm cipher(AesGcm::Direction::Encrypt, *aesKey, nonce);
    std::array<std::uint8_t, kGcmTagSize> tag{};
    if (!cipher.update(*body, out.data() + start) || !cipher.finish(tag))
        return {};
    wipe(body->data(), body->size());
    append(out, tag);
    if (options.format == BackupFormat::Crypt12) {
        appendMd5(out);
        std::string tail = options.jidSuffix;
        tail.resize(4, '0');
        out.insert(out.end(), tail.begin(), tail.end());
    } else if (options.md5Trailer) {
        appendMd5(out);
    }
    return out;
}

KeyMaterial randomKey(KeyKind kind) {
    auto bytes = randomBytes<kKeySize>();
    KeyMaterial key(kind, bytes);
    wipe(bytes.data(), bytes.size());
    return key;
}

std::vector<std::uint8_t> writeBackupKeyFile(const KeyMaterial& aesKey) {
    std::vector<std::uint8_t> payload{0x00, 0x01, 0x01};
    append(payload, randomBytes<32>());   // server salt
    append(payload, randomBytes<16>());   // Google-id salt
    append(payload, randomBytes<32>());   // hash
    payload.resize(payload.size() + 16);  // zero block
    append(payload, aesKey.bytes());
    std::vector<std::uint8_t> file = wrapJavaByteArray(payload);
    wipe(payload.data(), payload.size());
    return file;
}

std::vector<std::uint8_t> writeRootKeyFile(const KeyMaterial& rootKey) {
    return wrapJavaByteArray(rootKey.bytes());
}

}  // namespace talvio::backup
