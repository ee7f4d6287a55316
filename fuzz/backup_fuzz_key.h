// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <array>
#include <cstdint>

#include "backup/key_material.h"

namespace talvio::fuzz {

// The key the backup seeds are written with and the backup target opens every input with, so that
// mutated seeds get past the first block into the inflating.
inline backup::KeyMaterial backupFuzzKey() {
    std::array<std::uint8_t, backup::kKeySize> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 5 + 3);
    return backup::KeyMaterial(backup::KeyKind::Digits, bytes);
}

}  // namespace talvio::fuzz
