// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvio {

// The ITU country calling code that begins an international number ("49" of "4915112345678"); the
// codes are prefix-free, so at most one matches. Empty when none does.
std::string_view callingCodeOf(std::string_view internationalDigits);

// The digits a WhatsApp jid holds (international, no '+') for a number as typed in an address book:
// "+49 (0)151 123-45", "0049 151 12345", "0151/12345" with ownCallingCode "49" all give
// "4915112345". Separators are ignored and an extension ("x12", "ext. 12", ";ext=12") dropped.
// National numbers need ownCallingCode; without it, or for letters, symbols or a length no phone
// number has, the result is empty.
std::string normalizePhoneNumber(std::string_view typed, std::string_view ownCallingCode);

// Other digits a jid may hold for the same phone, where WhatsApp keeps an older numbering: Mexican
// mobiles as 521 + ten digits, Argentine mobiles with the 9 after 54, and Brazilian mobiles from
// before the ninth digit (55 + area + eight digits). Empty for every other number.
std::vector<std::string> jidVariants(std::string_view internationalDigits);

// The phone digits of a person jid ("4915112345678@s.whatsapp.net", also with a device part as in
// "4915112345678:12@s.whatsapp.net"); empty for groups, broadcasts and anything else.
std::string_view personJidDigits(std::string_view jid);

// The calling code most of the person jids share, ties to the smaller code; empty when there are
// none. A backup never holds the phone's own number, so the country most chats share stands in
// for the owner's.
std::string likelyOwnCountryCode(const std::vector<std::string>& jids);

}  // namespace talvio
