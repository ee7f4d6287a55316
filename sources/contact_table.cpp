// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "contact_table.h"

#include "message_time.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace talvio {

void ContactTable::create(int capacity) {
    m_rows.clear();
    m_capacity = capacity > 0 ? capacity : 1;
    // Rows are added one at a time as the query delivers them; reserve only a sane amount so that
    // a hostile count column cannot make us allocate gigabytes.
    m_rows.reserve(static_cast<std::size_t>(std::min(m_capacity, 1 << 16)));
    ContactEntry& placeholder = m_rows.emplace_back();
    placeholder.jid = kPlaceholderJid;
    placeholder.displayName = kPlaceholderName;
    placeholder.lastMessageTime = "0";
}

void ContactTable::destroy() {
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_capacity = 0;
}

ContactEntry& ContactTable::appendRow() { return m_rows.emplace_back(); }

ContactTable& contactTable() {
    static ContactTable table;
    return table;
}

std::string JidToNumber(std::string_view jid) {
    const auto at = jid.find('@');
    return std::string(at == std::string_view::npos ? jid : jid.substr(0, at));
}

void SortContactsByLastTime(ContactTable& table, const std::function<void(int)>& progressHook) {
    std::vector<ContactEntry>& rows = table.rows();
    const int count = table.count();
    std::vector<std::int32_t> keys(rows.size());
    for (int i = 0; i < count; ++i) keys[static_cast<std::size_t>(i)] = TimeValueOf(rows[static_cast<std::size_t>(i)].lastMessageTime);
    for (int p = 0; p < count; ++p) {
        int best = p;
        for (int r = p + 1; r < count; ++r) {
            if (keys[static_cast<std::size_t>(r)] > keys[static_cast<std::size_t>(best)]) best = r;
        }
        if (best != p) {
            std::swap(rows[static_cast<std::size_t>(p)], rows[static_cast<std::size_t>(best)]);
            std::swap(keys[static_cast<std::size_t>(p)], keys[static_cast<std::size_t>(best)]);
        }
        if (progressHook) progressHook(p);
    }
}

bool EnsureDirectory(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    if (path.size() < 3) return false;
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(path.substr(0, path.size() - 1)), ec)) return true;
    // Creation starts after the root "/"; parents that already exist fail and are passed over.
    std::size_t index = 1;
    while (true) {
        const std::size_t slash = path.find('/', index);
        if (slash == std::string::npos) return true;
        const bool created = std::filesystem::create_directory(path.substr(0, slash + 1), ec);
        const bool last = path.find('/', slash + 1) == std::string::npos;
        if (!created && last) return false;
        index = slash + 1;
    }
}

std::string contactShownName(const ContactEntry& entry) {
    if (!entry.displayName.empty()) return entry.displayName;
    std::string number = JidToNumber(entry.jid);
    return number.empty() ? entry.jid : number;
}

}  // namespace talvio
