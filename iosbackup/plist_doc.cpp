// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "plist_doc.h"

#include <cstdlib>
#include <limits>
#include <utility>

namespace talvio::ios {

PlistDoc::~PlistDoc() {
    if (m_root != nullptr)
        plist_free(m_root);
}

PlistDoc::PlistDoc(PlistDoc&& other) noexcept : m_root(std::exchange(other.m_root, nullptr)) {}

PlistDoc& PlistDoc::operator=(PlistDoc&& other) noexcept {
    if (this != &other) {
        if (m_root != nullptr)
            plist_free(m_root);
        m_root = std::exchange(other.m_root, nullptr);
    }
    return *this;
}

PlistDoc PlistDoc::fromBytes(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max())
        return PlistDoc();
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    return PlistDoc(root);
}

std::string PlistDoc::toBinary() const {
    if (m_root == nullptr)
        return {};
    char* data = nullptr;
    std::uint32_t size = 0;
    plist_to_bin(m_root, &data, &size);
    std::string out = data != nullptr ? std::string(data, size) : std::string();
    plist_to_bin_free(data);
    return out;
}

std::string PlistDoc::toXml() const {
    if (m_root == nullptr)
        return {};
    char* data = nullptr;
    std::uint32_t size = 0;
    plist_to_xml(m_root, &data, &size);
    std::string out = data != nullptr ? std::string(data, size) : std::string();
    plist_to_xml_free(data);
    return out;
}

plist_t dictItem(plist_t dict, const char* key) {
    if (dict == nullptr || plist_get_node_type(dict) != PLIST_DICT)
        return nullptr;
    return plist_dict_get_item(dict, key);
}

std::optional<std::string> stringValue(plist_t node) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    char* value = nullptr;
    plist_get_string_val(node, &value);
    if (value == nullptr)
        return std::nullopt;
    std::string out(value);
    std::free(value);
    return out;
}

std::optional<std::string> dataValue(plist_t node) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_DATA)
        return std::nullopt;
    std::uint64_t size = 0;
    const char* data = plist_get_data_ptr(node, &size);
    if (data == nullptr)
        return std::string();
    return std::string(data, static_cast<std::size_t>(size));
}

std::optional<std::uint64_t> uintValue(plist_t node) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_UINT)
        return std::nullopt;
    std::uint64_t value = 0;
    plist_get_uint_val(node, &value);
    return value;
}

std::optional<bool> boolValue(plist_t node) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_BOOLEAN)
        return std::nullopt;
    std::uint8_t value = 0;
    plist_get_bool_val(node, &value);
    return value != 0;
}

std::optional<std::uint64_t> uidValue(plist_t node) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_UID)
        return std::nullopt;
    std::uint64_t value = 0;
    plist_get_uid_val(node, &value);
    return value;
}

}  // namespace talvio::ios
