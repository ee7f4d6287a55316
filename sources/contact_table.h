// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace talvio {

inline constexpr std::string_view kPlaceholderJid = "UnGroupedFriend";
inline constexpr std::string_view kPlaceholderName = "UnGrouped Friend";

struct ContactEntry {
    std::string jid;          // exactly as stored in the database
    std::string displayName;  // may be empty: the list then shows the jid
    std::string picturePath;  // relative to DataFolder, '/'-separated; empty when there is none
    std::int32_t messageCount = 0;
    std::string lastMessageTime;           // raw time text of the newest message; empty when there is none
    std::int32_t unsupportedMessages = 0;  // messages of kinds the pages cannot show yet
};

// The loaded contacts in list order: list item i shows row i. Row 0 is the placeholder row,
// present whenever the table is not empty.
class ContactTable {
public:
    bool exists() const { return !m_rows.empty(); }
    int count() const { return static_cast<int>(m_rows.size()); }
    int capacity() const { return m_capacity; }

    // Creates the table with the placeholder row; capacity is the number of contacts + 1.
    void create(int capacity);
    void destroy();
    // Appends an empty row and returns it.
    ContactEntry& appendRow();

    ContactEntry& row(int i) { return m_rows[static_cast<std::size_t>(i)]; }
    const ContactEntry& row(int i) const { return m_rows[static_cast<std::size_t>(i)]; }
    bool isRow(int i) const { return i >= 0 && i < count(); }
    std::vector<ContactEntry>& rows() { return m_rows; }
    const std::vector<ContactEntry>& rows() const { return m_rows; }

private:
    std::vector<ContactEntry> m_rows;
    int m_capacity = 0;
};

ContactTable& contactTable();

// The part of a jid before its first '@'; the whole text when there is no '@'.
std::string JidToNumber(std::string_view jid);

// Newest first by TimeValueOf(lastMessageTime), ties in the order users have always seen: that of
// a selection sort that swaps the first largest key of the rest into each position.
// progressHook gets each position.
void SortContactsByLastTime(ContactTable& table, const std::function<void(int)>& progressHook);

// Creates a folder and its missing parents; true when it exists afterwards. A path shorter than
// "/x" is refused.
bool EnsureDirectory(std::string path);

// The name the shell shows for a row: displayName, else the number of its jid, else the jid.
std::string contactShownName(const ContactEntry& entry);

}  // namespace talvio
