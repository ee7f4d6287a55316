// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/java_byte_array.h"

#include <algorithm>
#include <array>

namespace talvio::backup {
namespace {

// Everything before the length: magic AC ED, version 5, TC_ARRAY, TC_CLASSDESC, the name "[B",
// serialVersionUID 0xACF317F8060854E0, SC_SERIALIZABLE, no fields, TC_ENDBLOCKDATA, TC_NULL.
constexpr std::array<std::uint8_t, kJavaByteArrayHeaderSize - 4> kPrefix = {
    0xAC, 0xED, 0x00, 0x05, 0x75, 0x72, 0x00, 0x02, '[',  'B',  0xAC, 0xF3,
    0x17, 0xF8, 0x06, 0x08, 0x54, 0xE0, 0x02, 0x00, 0x00, 0x78, 0x70};

}  // namespace

std::optional<std::span<const std::uint8_t>> unwrapJavaByteArray(std::span<const std::uint8_t> file) {
    if (file.size() < kJavaByteArrayHeaderSize)
        return std::nullopt;
    if (!std::equal(kPrefix.begin(), kPrefix.end(), file.begin()))
        return std::nullopt;
    const std::uint64_t length = (std::uint64_t{file[23]} << 24) | (std::uint64_t{file[24]} << 16) |
                                 (std::uint64_t{file[25]} << 8) | std::uint64_t{file[26]};
    if (length != file.size() - kJavaByteArrayHeaderSize)
        return std::nullopt;
    return file.subspan(kJavaByteArrayHeaderSize);
}

std::vector<std::uint8_t> wrapJavaByteArray(std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> file(kPrefix.begin(), kPrefix.end());
    const auto length = static_cast<std::uint32_t>(payload.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(static_cast<std::uint8_t>(length >> shift));
    file.insert(file.end(), payload.begin(), payload.end());
    return file;
}

}  // namespace talvio::backup
