// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <vector>

#include "tools/failure.h"

namespace talvio::fixture {

// Runs a program found on PATH with an argument list (no shell, so texts and paths need no
// quoting), its standard output discarded, and waits for it. A failure names the program and,
// where it was not found, the Debian package that brings it.
Failure runProgram(const std::vector<std::string>& arguments, const char* package);

}  // namespace talvio::fixture
