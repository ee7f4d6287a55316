// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace talvio::backup {

// Builds one protobuf message field by field, in the order given.
class ProtoWriter {
public:
    ProtoWriter& varint(std::uint32_t field, std::uint64_t value);
    ProtoWriter& bytes(std::uint32_t field, std::span<const std::uint8_t> value);
    ProtoWriter& text(std::uint32_t field, std::string_view value);
    ProtoWriter& message(std::uint32_t field, const ProtoWriter& inner) { return bytes(field, inner.data()); }

    const std::vector<std::uint8_t>& data() const { return m_data; }

private:
    void rawVarint(std::uint64_t value);
    std::vector<std::uint8_t> m_data;
};

}  // namespace talvio::backup
