// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "backup/key_material.h"

namespace talvio::backup {

// A key, or why there is none in words for the user (never quoting the key itself).
struct KeyResult {
    std::optional<KeyMaterial> key;
    std::string error;

    bool ok() const { return key.has_value(); }
};

// The 64-digit key as typed or pasted: case-blind, spaces, tabs, dashes and line breaks anywhere.
KeyResult parseTypedKey(std::string_view text);

// The contents of a key file: `key` (crypt12 and crypt14), `encrypted_backup.key` (crypt15), or a
// text file holding the 64 digits.
KeyResult parseKeyFile(std::span<const std::uint8_t> contents);

// Reads a key file (only a regular file, never written to) and parses it; the bytes read are wiped.
KeyResult loadKeyFile(const std::string& path);

}  // namespace talvio::backup
