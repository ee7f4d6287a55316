// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/proto_writer.h"

namespace talvio::backup {

void ProtoWriter::rawVarint(std::uint64_t value) {
    while (value >= 0x80) {
        m_data.push_back(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    m_data.push_back(static_cast<std::uint8_t>(value));
}

ProtoWriter& ProtoWriter::varint(std::uint32_t field, std::uint64_t value) {
    rawVarint(std::uint64_t{field} << 3);
    rawVarint(value);
    return *this;
}

ProtoWriter& ProtoWriter::bytes(std::uint32_t field, std::span<const std::uint8_t> value) {
    rawVarint(std::uint64_t{field} << 3 | 2);
    rawVarint(value.size());
    m_data.insert(m_data.end(), value.begin(), value.end());
    return *this;
}

ProtoWriter& ProtoWriter::text(std::uint32_t field, std::string_view value) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(value.data());
    return bytes(field, std::span<const std::uint8_t>(begin, value.size()));
}

}  // namespace talvio::backup
