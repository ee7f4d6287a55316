// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace talvio::ios {

// Bytes that must not outlive their use: a password or a key. Move-only, sized once, and wiped
// when destroyed so that no copy of a secret is left in freed memory.
class Secret {
public:
    Secret() = default;
    explicit Secret(std::size_t size);
    explicit Secret(std::string_view bytes);
    ~Secret();
    Secret(Secret&& other) noexcept;
    Secret& operator=(Secret&& other) noexcept;
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;

    unsigned char* data() { return m_bytes.data(); }
    const unsigned char* data() const { return m_bytes.data(); }
    std::size_t size() const { return m_bytes.size(); }
    bool empty() const { return m_bytes.empty(); }
    std::string_view view() const { return {reinterpret_cast<const char*>(m_bytes.data()), m_bytes.size()}; }

    void wipe();

private:
    std::vector<unsigned char> m_bytes;
};

}  // namespace talvio::ios
