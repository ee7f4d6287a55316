// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "address_book.h"

#include "phone_number.h"

#include <algorithm>
#include <utility>

namespace talvio {

AddressBook::AddressBook(const std::vector<AddressCard>& cards, std::string_view ownCallingCode) {
    std::vector<std::pair<std::string, const std::string*>> variants;
    for (const AddressCard& card : cards) {
        for (const std::string& number : card.numbers) {
            std::string digits = normalizePhoneNumber(number, ownCallingCode);
            if (digits.empty())
                continue;
            for (std::string& variant : jidVariants(digits))
                variants.emplace_back(std::move(variant), &card.name);
            m_names.try_emplace(std::move(digits), card.name);
        }
    }
    // After every number as written, so that a number in the book always beats another's variant.
    for (auto& [digits, name] : variants)
        m_names.try_emplace(std::move(digits), *name);
}

const std::string* AddressBook::nameFor(std::string_view jid) const {
    std::string_view digits = personJidDigits(jid);
    if (digits.empty() && jid.find('@') == std::string_view::npos && !jid.empty() &&
        std::all_of(jid.begin(), jid.end(), [](char c) { return c >= '0' && c <= '9'; }))
        digits = jid;
    if (digits.empty())
        return nullptr;
    const auto found = m_names.find(std::string(digits));
    return found == m_names.end() ? nullptr : &found->second;
}

int nameRowsFromAddressBook(ContactTable& table, const std::vector<AddressCard>& cards) {
    std::vector<std::string> jids;
    jids.reserve(table.rows().size());
    for (const ContactEntry& entry : table.rows())
        jids.push_back(entry.jid);
    const AddressBook book(cards, likelyOwnCountryCode(jids));
    int named = 0;
    for (int i = 1; i < table.count(); ++i) {
        ContactEntry& entry = table.row(i);
        if (!entry.displayName.empty() && entry.displayName != JidToNumber(entry.jid))
            continue;
        if (const std::string* name = book.nameFor(entry.jid)) {
            entry.displayName = *name;
            ++named;
        }
    }
    return named;
}

}  // namespace talvio
