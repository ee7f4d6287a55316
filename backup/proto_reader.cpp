// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/proto_reader.h"

namespace talvio::backup {

std::optional<std::uint64_t> ProtoReader::varint() {
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (m_rest.empty())
            return std::nullopt;
        const std::uint8_t byte = m_rest.front();
        m_rest = m_rest.subspan(1);
        value |= std::uint64_t{byte & 0x7Fu} << shift;
        if ((byte & 0x80) == 0)
            return value;
    }
    return std::nullopt;  // more than ten bytes: not a varint
}

std::optional<ProtoField> ProtoReader::fail() {
    m_failed = true;
    m_rest = {};
    return std::nullopt;
}

std::optional<ProtoField> ProtoReader::next() {
    if (m_failed || m_rest.empty())
        return std::nullopt;
    const auto key = varint();
    if (!key || (*key >> 3) == 0 || (*key >> 3) > 0x1FFFFFFF)
        return fail();
    ProtoField field;
    field.number = static_cast<std::uint32_t>(*key >> 3);
    switch (*key & 7) {
        case 0: {
            const auto value = varint();
            if (!value)
                return fail();
            field.type = WireType::Varint;
            field.value = *value;
            return field;
        }
        case 1:
        case 5: {
            const std::size_t size = (*key & 7) == 1 ? 8 : 4;
            if (m_rest.size() < size)
                return fail();
            for (std::size_t i = 0; i < size; ++i)
                field.value |= std::uint64_t{m_rest[i]} << (8 * i);
            m_rest = m_rest.subspan(size);
            field.type = size == 8 ? WireType::Fixed64 : WireType::Fixed32;
            return field;
        }
        case 2: {
            const auto length = varint();
            if (!length || *length > m_rest.size())
                return fail();
            field.type = WireType::LengthDelimited;
            field.bytes = m_rest.first(static_cast<std::size_t>(*length));
            m_rest = m_rest.subspan(static_cast<std::size_t>(*length));
            return field;
        }
        default:
            return fail();
    }
}

}  // namespace talvio::backup
