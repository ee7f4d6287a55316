// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>
#include <string>

#include "tools/failure.h"

namespace talvio::fixture {

// Reads a whole file into `text`.
Failure readTextFile(const std::filesystem::path& file, std::string& text);

}  // namespace talvio::fixture
