// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace talvio::backup {

// Java's serialization of one byte[] (ObjectOutputStream): stream magic and version, a new array
// of class "[B" with its fixed serialVersionUID, no fields, no superclass, then a 4-byte
// big-endian length and the bytes. WhatsApp stores its key files this way.
inline constexpr std::size_t kJavaByteArrayHeaderSize = 27;

// The bytes inside, or nothing when the header is not exactly that or the length disagrees with
// what follows it.
std::optional<std::span<const std::uint8_t>> unwrapJavaByteArray(std::span<const std::uint8_t> file);

std::vector<std::uint8_t> wrapJavaByteArray(std::span<const std::uint8_t> payload);

}  // namespace talvio::backup
