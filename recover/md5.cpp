// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/md5.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace talvio::recover {

std::string md5Hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    // EVP_Digest fails only when the library cannot allocate or MD5 is unavailable; a table name
    // made from a wrong digest would silently write into another chat, so that must not pass.
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr) != 1 || length != 16) {
        throw std::runtime_error("MD5 digest unavailable");
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}

}  // namespace talvio::recover
