// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "backup/key_material.h"

namespace talvio::backup::test {

using Bytes = std::vector<std::uint8_t>;

// A real SQLite file of `rows` rows, each with a random blob of `blobSize` bytes (random, so that
// the file stays about as large compressed as it is).
Bytes makeDatabase(int rows, int blobSize);

// A key whose bytes all differ and depend on `seed`.
KeyMaterial testKey(KeyKind kind, std::uint8_t seed = 1);

void writeBytes(const std::string& path, const Bytes& bytes);
Bytes readBytes(const std::string& path);

}  // namespace talvio::backup::test
