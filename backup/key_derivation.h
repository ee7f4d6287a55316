// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <optional>

#include "backup/key_material.h"

namespace talvio::backup {

// The AES key of crypt15 backups from their root key: HKDF-SHA256 with an empty salt and the info
// "backup encryption". The result keeps the root key's kind. Nothing only if libcrypto fails.
std::optional<KeyMaterial> deriveCrypt15Key(const KeyMaterial& root);

}  // namespace talvio::backup
