// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <plist/plist.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvio::ios {

// One parsed property list (XML or binary), freed on destruction. Lookups on a node of the wrong
// type give nothing rather than a wrong value: the plists come from the user's folder.
class PlistDoc {
public:
    PlistDoc() = default;
    explicit PlistDoc(plist_t root) : m_root(root) {}
    ~PlistDoc();
    PlistDoc(PlistDoc&& other) noexcept;
    PlistDoc& operator=(PlistDoc&& other) noexcept;
    PlistDoc(const PlistDoc&) = delete;
    PlistDoc& operator=(const PlistDoc&) = delete;

    static PlistDoc fromBytes(std::string_view bytes);

    plist_t root() const { return m_root; }
    bool valid() const { return m_root != nullptr; }
    // The serialised binary form (empty on failure).
    std::string toBinary() const;
    std::string toXml() const;

private:
    plist_t m_root = nullptr;
};

plist_t dictItem(plist_t dict, const char* key);
std::optional<std::string> stringValue(plist_t node);
std::optional<std::string> dataValue(plist_t node);
std::optional<std::uint64_t> uintValue(plist_t node);
std::optional<bool> boolValue(plist_t node);
std::optional<std::uint64_t> uidValue(plist_t node);

}  // namespace talvio::ios
