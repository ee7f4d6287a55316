// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace talvio::backup {

enum class WireType { Varint = 0, Fixed64 = 1, LengthDelimited = 2, Fixed32 = 5 };

struct ProtoField {
    std::uint32_t number = 0;
    WireType type = WireType::Varint;
    std::uint64_t value = 0;              // varints and fixed-size fields
    std::span<const std::uint8_t> bytes;  // length-delimited fields
};

// Reads the fields of one protobuf message in order, every read checked against the end of the
// buffer. Groups (wire types 3 and 4) are not used by the messages read here and count as damage.
class ProtoReader {
public:
    explicit ProtoReader(std::span<const std::uint8_t> message) : m_rest(message) {}

    // The next field; nothing at the end of the message or on damage (then failed() says so).
    std::optional<ProtoField> next();
    bool failed() const { return m_failed; }

private:
    std::optional<std::uint64_t> varint();
    std::optional<ProtoField> fail();

    std::span<const std::uint8_t> m_rest;
    bool m_failed = false;
};

}  // namespace talvio::backup
