// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvio {

// One contact of an address book: the name the user knows and the numbers as typed on the phone.
struct AddressCard {
    std::string name;                  // well-formed UTF-8, never empty
    std::vector<std::string> numbers;  // as written in the file (tel: prefix removed), never empty
};

// Every complete contact of a vCard 2.1, 3.0 or 4.0 text that has both a name and a number, in file
// order. Damaged or foreign text gives fewer cards (or none), never an error.
std::vector<AddressCard> parseVCards(std::string_view text);

struct VCardFile {
    std::vector<AddressCard> cards;
    std::string error;  // empty when the file was read; says what to do otherwise
};

inline constexpr std::size_t kMaxVCardFileBytes = std::size_t{64} << 20;

// Reads a contacts file (a regular file of at most kMaxVCardFileBytes) and parses it. The file is
// only read.
VCardFile loadVCardFile(const std::string& path);

}  // namespace talvio
