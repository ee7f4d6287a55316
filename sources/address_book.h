// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "contact_table.h"
#include "vcard.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace talvio {

// The names of an address book by the international digits of their numbers, so that chats known
// only by their number show the name the user knows.
class AddressBook {
public:
    // ownCallingCode places the national numbers ("0151 …" becomes "49151…" for "49"); without it
    // only numbers written internationally are matched. A number listed by several cards keeps
    // the first card's name.
    AddressBook(const std::vector<AddressCard>& cards, std::string_view ownCallingCode);

    // The name for a person jid ("4915…@s.whatsapp.net", also with a device part) or its bare
    // digits; nullptr for groups, other jids and numbers the book does not hold.
    const std::string* nameFor(std::string_view jid) const;

    std::size_t size() const { return m_names.size(); }

private:
    std::unordered_map<std::string, std::string> m_names;
};

// Gives every row without a name of its own (none, or only its number) the address book's name for
// its jid. Names from the phone's own contacts and group subjects stay; row 0 (the placeholder) is
// left alone. The owner's country comes from the table's jids. Returns how many rows were named.
int nameRowsFromAddressBook(ContactTable& table, const std::vector<AddressCard>& cards);

}  // namespace talvio
