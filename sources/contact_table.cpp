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

ContactEntry& ContactTable::appendRow() {
    return m_rows.emplace_back();
}

ContactTable& contactTable() {
    static ContactTable table;
    return table;
}

std::string JidToNumber(std::string_view jid) {
    const auto at = jid.find('@');
    return std::string(at == std::string_view::npos ? jid : jid.substr(0, at));
}

namespace {

// The leftmost largest key of a range, kept in a tree over the positions: finding it and changing
// one key both take log n steps.
class LeftmostMaximum {
public:
    explicit LeftmostMaximum(const std::vector<std::int32_t>& keys) : m_keys(keys) {
        m_size = 1;
        while (m_size < keys.size())
            m_size *= 2;
        m_tree.assign(2 * m_size, kNone);
        for (std::size_t i = 0; i < keys.size(); ++i)
            m_tree[m_size + i] = i;
        for (std::size_t node = m_size - 1; node >= 1; --node)
            pull(node);
    }

    // The position of the first largest key at or after from.
    std::size_t findFrom(std::size_t from) const {
        std::size_t best = kNone;
        for (std::size_t lo = from + m_size, hi = m_keys.size() + m_size; lo < hi; lo /= 2, hi /= 2) {
            if (lo & 1)
                best = better(best, m_tree[lo++]);
            if (hi & 1)
                best = better(best, m_tree[--hi]);
        }
        return best;
    }

    // Call after the key at position changed.
    void update(std::size_t position) {
        for (std::size_t node = (position + m_size) / 2; node >= 1; node /= 2)
            pull(node);
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Of two positions the one with the larger key; of equal keys the earlier one.
    std::size_t better(std::size_t a, std::size_t b) const {
        if (a == kNone)
            return b;
        if (b == kNone)
            return a;
        if (m_keys[a] != m_keys[b])
            return m_keys[a] > m_keys[b] ? a : b;
        return a < b ? a : b;
    }
    void pull(std::size_t node) { m_tree[node] = better(m_tree[2 * node], m_tree[2 * node + 1]); }

    const std::vector<std::int32_t>& m_keys;
    std::size_t m_size;
    std::vector<std::size_t> m_tree;
};

}  // namespace

// The order is exactly that of a selection sort that swaps each position's first largest key into
// place (ties move with the swaps, as they always have), found in n log n steps instead of n².
void SortContactsByLastTime(ContactTable& table, const std::function<void(int)>& progressHook) {
    std::vector<ContactEntry>& rows = table.rows();
    const std::size_t count = rows.size();
    std::vector<std::int32_t> keys(count);
    for (std::size_t i = 0; i < count; ++i)
        keys[i] = TimeValueOf(rows[i].lastMessageTime);
    LeftmostMaximum largest(keys);
    for (std::size_t p = 0; p < count; ++p) {
        const std::size_t best = largest.findFrom(p);
        if (best != p) {
            std::swap(rows[p], rows[best]);
            std::swap(keys[p], keys[best]);
            largest.update(p);
            largest.update(best);
        }
        if (progressHook)
            progressHook(static_cast<int>(p));
    }
}

bool EnsureDirectory(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    if (path.size() < 3)
        return false;
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(path.substr(0, path.size() - 1)), ec))
        return true;
    // Creation starts after the root "/"; parents that already exist fail and are passed over.
    std::size_t index = 1;
    while (true) {
        const std::size_t slash = path.find('/', index);
        if (slash == std::string::npos)
            return true;
        const bool created = std::filesystem::create_directory(path.substr(0, slash + 1), ec);
        const bool last = path.find('/', slash + 1) == std::string::npos;
        if (!created && last)
            return false;
        index = slash + 1;
    }
}

std::string contactShownName(const ContactEntry& entry) {
    if (!entry.displayName.empty())
        return entry.displayName;
    std::string number = JidToNumber(entry.jid);
    return number.empty() ? entry.jid : number;
}

}  // namespace talvio
