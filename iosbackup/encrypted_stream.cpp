// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "encrypted_stream.h"

#include "backup_crypto.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <vector>

namespace talvio::ios {
namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kBlock = 16;

// Fills buffer unless the file ends first; returns the count or -1.
long readFully(const StoredFile& file, unsigned char* buffer, std::size_t size) {
    std::size_t have = 0;
    while (have < size) {
        const long got = file.read(buffer + have, size - have);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        have += static_cast<std::size_t>(got);
    }
    return static_cast<long>(have);
}

// The padding of the last block, or 0 when it is not a PKCS#7 padding.
std::size_t paddingOf(const unsigned char* block) {
    const unsigned char pad = block[kBlock - 1];
    if (pad == 0 || pad > kBlock)
        return 0;
    for (std::size_t i = kBlock - pad; i < kBlock; ++i)
        if (block[i] != pad)
            return 0;
    return pad;
}

}  // namespace

StreamResult decryptStream(const StoredFile& file, const Secret& key, std::optional<std::uint64_t> plainSize,
                           ByteSink& sink, const std::function<bool(double)>& progress) {
    const std::uint64_t total = file.size();
    if (total % kBlock != 0 || (plainSize && total < *plainSize))
        return StreamResult::Truncated;
    CbcDecryptor decryptor(key);
    if (!decryptor.ok())
        return StreamResult::CryptoFailed;
    std::uint64_t wanted = plainSize.value_or(total);
    sink.expect(wanted);
    std::vector<unsigned char> in(kChunk);
    Secret out(kChunk);
    std::uint64_t read = 0;
    // Without a size the last block waits until the end shows whether it is padding.
    unsigned char held[kBlock];
    bool holding = false;
    StreamResult result = StreamResult::Done;
    while (read < total && wanted > 0) {
        const long got = readFully(file, in.data(),
                                   static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, total - read)));
        if (got < 0)
            return StreamResult::ReadFailed;
        if (got == 0 || got % static_cast<long>(kBlock) != 0)
            return StreamResult::Truncated;
        read += static_cast<std::uint64_t>(got);
        if (!decryptor.update(in.data(), static_cast<std::size_t>(got), out.data()))
            return StreamResult::CryptoFailed;
        std::size_t count = static_cast<std::size_t>(got);
        if (!plainSize) {
            if (holding && !sink.write(held, kBlock))
                return StreamResult::WriteFailed;
            count -= kBlock;
            std::copy(out.data() + count, out.data() + count + kBlock, held);
            holding = true;
        }
        count = static_cast<std::size_t>(std::min<std::uint64_t>(count, wanted));
        if (!sink.write(out.data(), count))
            return StreamResult::WriteFailed;
        if (plainSize)
            wanted -= count;
        if (progress && !progress(static_cast<double>(read) / static_cast<double>(total))) {
            result = StreamResult::Cancelled;
            break;
        }
    }
    if (result == StreamResult::Done && holding && !sink.write(held, kBlock - paddingOf(held)))
        result = StreamResult::WriteFailed;
    OPENSSL_cleanse(held, sizeof held);
    return result;
}

StreamResult copyStream(const StoredFile& file, std::uint64_t minimumSize, ByteSink& sink) {
    if (file.size() < minimumSize)
        return StreamResult::Truncated;
    sink.expect(file.size());
    std::vector<unsigned char> buffer(kChunk);
    std::uint64_t copied = 0;
    for (;;) {
        const long got = file.read(buffer.data(), buffer.size());
        if (got < 0)
            return StreamResult::ReadFailed;
        if (got == 0)
            break;
        if (!sink.write(buffer.data(), static_cast<std::size_t>(got)))
            return StreamResult::WriteFailed;
        copied += static_cast<std::uint64_t>(got);
    }
    return copied < minimumSize ? StreamResult::Truncated : StreamResult::Done;
}

}  // namespace talvio::ios
