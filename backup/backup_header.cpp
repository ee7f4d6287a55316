// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/backup_header.h"

#include <algorithm>
#include <string_view>

#include "backup/proto_reader.h"

namespace talvio::backup {
namespace {

// Field numbers of the BackupPrefix message and the messages inside it.
constexpr std::uint32_t kKeyTypeField = 1;
constexpr std::uint32_t kC14CipherField = 2;
constexpr std::uint32_t kC15IvField = 3;
constexpr std::uint32_t kInfoField = 4;
constexpr std::uint32_t kC14KeyVersionField = 2;
constexpr std::uint32_t kC14ServerSaltField = 3;
constexpr std::uint32_t kC14GoogleIdField = 4;
constexpr std::uint32_t kC14NonceField = 5;
constexpr std::uint32_t kC15NonceField = 1;
constexpr std::uint32_t kInfoAppVersionField = 1;

HeaderResult refuse(BackupStatus status, std::string message) {
    return {std::nullopt, {status, std::move(message)}};
}

HeaderResult mismatch(BackupFormat expected, std::string_view found) {
    return refuse(BackupStatus::UnknownFormat,
                  "The file is named ." + std::string(formatName(expected)) + " but holds " +
                      std::string(found) + ". Open the file as the phone wrote it, under its own name.");
}

HeaderResult parseCrypt12(std::span<const std::uint8_t> start) {
    if (start.size() < kCrypt12HeaderSize)
        return {std::nullopt, damaged("the header is incomplete")};
    if (start[0] != 0x00 || start[1] != 0x01) {
        if (start[1] == 0x01 || start[1] == 0x08)
            return mismatch(BackupFormat::Crypt12, "a crypt14 or crypt15 backup");
        return {std::nullopt, damaged("its header is not a crypt12 header")};
    }
    BackupHeader header;
    header.format = BackupFormat::Crypt12;
    header.size = kCrypt12HeaderSize;
    header.keyVersion = start[2];
    header.serverSalt.assign(start.begin() + 3, start.begin() + 35);
    header.googleIdSalt.assign(start.begin() + 35, start.begin() + 51);
    std::copy_n(start.begin() + 51, kNonceSize, header.nonce.begin());
    return {header, {}};
}

std::optional<std::span<const std::uint8_t>> nonceIn(std::span<const std::uint8_t> message,
                                                     std::uint32_t field) {
    ProtoReader reader(message);
    std::optional<std::span<const std::uint8_t>> nonce;
    while (const auto f = reader.next()) {
        if (f->number == field && f->type == WireType::LengthDelimited)
            nonce = f->bytes;
    }
    if (reader.failed())
        return std::nullopt;
    return nonce;
}

// The C14_cipher message's key version and salts go into the header; the result is its nonce.
std::optional<std::span<const std::uint8_t>> readC14Cipher(std::span<const std::uint8_t> message,
                                                           BackupHeader& header) {
    ProtoReader reader(message);
    std::optional<std::span<const std::uint8_t>> nonce;
    while (const auto field = reader.next()) {
        const bool bytes = field->type == WireType::LengthDelimited;
        if (field->number == kC14KeyVersionField && field->type == WireType::Varint)
            header.keyVersion = static_cast<std::uint8_t>(field->value);
        if (field->number == kC14ServerSaltField && bytes)
            header.serverSalt.assign(field->bytes.begin(), field->bytes.end());
        if (field->number == kC14GoogleIdField && bytes)
            header.googleIdSalt.assign(field->bytes.begin(), field->bytes.end());
        if (field->number == kC14NonceField && bytes)
            nonce = field->bytes;
    }
    if (reader.failed())
        return std::nullopt;
    return nonce;
}

struct Prefix {
    std::optional<std::uint64_t> keyType;
    std::optional<std::span<const std::uint8_t>> c14;
    std::optional<std::span<const std::uint8_t>> c15;
    std::string appVersion;
};

std::optional<Prefix> readPrefix(std::span<const std::uint8_t> message) {
    Prefix prefix;
    ProtoReader reader(message);
    while (const auto field = reader.next()) {
        const bool bytes = field->type == WireType::LengthDelimited;
        if (field->number == kKeyTypeField && field->type == WireType::Varint)
            prefix.keyType = field->value;
        if (field->number == kC14CipherField && bytes)
            prefix.c14 = field->bytes;
        if (field->number == kC15IvField && bytes)
            prefix.c15 = field->bytes;
        if (field->number == kInfoField && bytes) {
            ProtoReader info(field->bytes);
            while (const auto item = info.next()) {
                if (item->number == kInfoAppVersionField && item->type == WireType::LengthDelimited)
                    prefix.appVersion.assign(item->bytes.begin(), item->bytes.end());
            }
            if (info.failed())
                return std::nullopt;
        }
    }
    if (reader.failed())
        return std::nullopt;
    return prefix;
}

HeaderResult parsePrefixed(std::span<const std::uint8_t> start, BackupFormat expected) {
    if (start.size() < 2)
        return {std::nullopt, damaged("the header is incomplete")};
    // A prefix is never empty, so a zero length byte before 0x01 is crypt12's cipher version.
    if (start[0] == 0x00 && start[1] == 0x01)
        return mismatch(expected, "a crypt12 backup");
    BackupHeader header;
    header.format = expected;
    const std::size_t length = start[0];
    // A protobuf field never starts with 0x01 (field number 0), so the byte is the feature table's.
    header.featureTable = start[1] == 0x01;
    const std::size_t offset = header.featureTable ? 2 : 1;
    if (length == 0)
        return {std::nullopt, damaged("the header is empty")};
    if (start.size() < offset + length)
        return {std::nullopt, damaged("the header is incomplete")};
    header.size = offset + length;

    const auto prefix = readPrefix(start.subspan(offset, length));
    if (!prefix)
        return {std::nullopt, damaged("its header cannot be read")};
    header.keyType = prefix->keyType;
    header.appVersion = prefix->appVersion;

    std::optional<std::span<const std::uint8_t>> nonce;
    if (expected == BackupFormat::Crypt14) {
        if (!prefix->c14 && prefix->c15)
            return mismatch(expected, "a crypt15 backup");
        if (!prefix->c14)
            return refuse(BackupStatus::NotReadYet, "This backup's header is of a kind not read yet.");
        nonce = readC14Cipher(*prefix->c14, header);
    } else {
        if (!prefix->c15 && prefix->c14)
            return mismatch(expected, "a crypt14 backup");
        if (!prefix->c15 || (prefix->keyType && *prefix->keyType > 1))
            return refuse(BackupStatus::NotReadYet,
                          "This backup's header is of a kind not read yet (a newer WhatsApp wrote it).");
        nonce = nonceIn(*prefix->c15, kC15NonceField);
    }
    if (!nonce || nonce->size() != kNonceSize)
        return {std::nullopt, damaged("its header holds no valid nonce")};
    std::copy(nonce->begin(), nonce->end(), header.nonce.begin());
    return {header, {}};
}

}  // namespace

HeaderResult parseBackupHeader(std::span<const std::uint8_t> start, BackupFormat expected) {
    // A database copied under a backup's name is not encrypted at all; say so rather than "damaged".
    constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};
    if (start.size() >= kSqliteMagic.size() &&
        std::equal(kSqliteMagic.begin(), kSqliteMagic.end(), start.begin()))
        return refuse(
            BackupStatus::UnknownFormat,
            "This file is a SQLite database that is not encrypted, whatever its name says. Open the "
            "folder that holds it as a phone folder instead.");
    if (start.size() > kMaxHeaderSize)
        start = start.first(kMaxHeaderSize);
    if (expected == BackupFormat::Crypt12)
        return parseCrypt12(start);
    return parsePrefixed(start, expected);
}

}  // namespace talvio::backup
