// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/key_parser.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "backup/java_byte_array.h"

namespace talvio::backup {
namespace {

// The `key` file's payload: cipher version (2), key version (1), server salt (32), Google-id salt
// (16), a hash (32), a zero block (16) and the AES key (32) last.
constexpr std::size_t kBackupKeyPayloadSize = 131;
constexpr std::size_t kMaxKeyFileSize = 4096;
constexpr std::string_view kKeyFileSizes =
    "A `key` file is 158 bytes, an `encrypted_backup.key` file 59 bytes; a text file may hold the "
    "64-digit key.";

// Wipes a vector of secret bytes when it goes, whichever way the function returns.
struct WipedBytes {
    std::vector<std::uint8_t> bytes;
    ~WipedBytes() { wipe(bytes.data(), bytes.size()); }
};

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '-';
}

KeyResult failure(std::string message) {
    return {std::nullopt, std::move(message)};
}

KeyResult keyFromDigits(std::string_view text, KeyKind kind) {
    std::array<std::uint8_t, kKeySize> bytes{};
    std::size_t digits = 0;
    std::size_t position = 0;
    bool badCharacter = false;
    std::size_t badPosition = 0;
    for (const char c : text) {
        ++position;
        if (isSeparator(c))
            continue;
        const int value = hexValue(c);
        if (value < 0) {
            if (!badCharacter)
                badPosition = position;
            badCharacter = true;
            continue;
        }
        if (digits < 2 * kKeySize)
            bytes[digits / 2] = static_cast<std::uint8_t>(bytes[digits / 2] << 4 | value);
        ++digits;
    }
    // The user sees where, never which character: it may be part of the key.
    if (badCharacter) {
        wipe(bytes.data(), bytes.size());
        return failure("Character " + std::to_string(badPosition) +
                       " of the key is not a hexadecimal digit. The key is 64 digits 0-9 and a-f; "
                       "spaces and dashes between them are fine.");
    }
    if (digits != 2 * kKeySize) {
        wipe(bytes.data(), bytes.size());
        return failure("The key has " + std::to_string(digits) +
                       " digits, but a backup key has 64. Copy or type it again in full.");
    }
    KeyResult result{KeyMaterial(kind, bytes), {}};
    wipe(bytes.data(), bytes.size());
    return result;
}

}  // namespace

KeyResult parseTypedKey(std::string_view text) {
    return keyFromDigits(text, KeyKind::Digits);
}

KeyResult parseKeyFile(std::span<const std::uint8_t> contents) {
    if (contents.size() >= 2 && contents[0] == 0xAC && contents[1] == 0xED) {
        const auto payload = unwrapJavaByteArray(contents);
        if (!payload)
            return failure(
                "This key file is damaged: its Java header or length is not what WhatsApp writes. " +
                std::string(kKeyFileSizes));
        if (payload->size() == kBackupKeyPayloadSize)
            return {KeyMaterial(KeyKind::BackupKeyFile, payload->last<kKeySize>()), {}};
        if (payload->size() == kKeySize)
            return {KeyMaterial(KeyKind::RootKeyFile, payload->first<kKeySize>()), {}};
        return failure("This key file holds " + std::to_string(payload->size()) +
                       " bytes of key, which is neither a `key` nor an `encrypted_backup.key` file. " +
                       std::string(kKeyFileSizes));
    }
    std::string_view text(reinterpret_cast<const char*>(contents.data()), contents.size());
    if (text.size() > kMaxKeyFileSize)
        return failure("This file is too large to be a key file. " + std::string(kKeyFileSizes));
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);  // editors on Windows add a byte-order mark
    for (const char c : text) {
        if (hexValue(c) < 0 && !isSeparator(c))
            return failure("This file is not a WhatsApp key file. " + std::string(kKeyFileSizes));
    }
    return keyFromDigits(text, KeyKind::Digits);
}

KeyResult loadKeyFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failure("The key file cannot be opened (" + std::string(std::strerror(errno)) + ").");
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return failure(
            "The key file is not a regular file. Choose the `key` or `encrypted_backup.key` file.");
    }
    WipedBytes contents;
    contents.bytes.resize(kMaxKeyFileSize + 1);
    std::size_t filled = 0;
    while (filled < contents.bytes.size()) {
        const ssize_t got = ::read(fd, contents.bytes.data() + filled, contents.bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return failure("The key file cannot be read (" + std::string(std::strerror(errno)) + ").");
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return parseKeyFile(std::span<const std::uint8_t>(contents.bytes.data(), filled));
}

}  // namespace talvio::backup
