// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/failure.h"

namespace talvio::fixture {

// Runs a program found on PATH with an argument list (no shell, so texts and paths need no
// quoting), its standard output discarded, and waits for it. A failure names the program and,
// where it was not found, the Debian package that brings it.
Failure runProgram(const std::vector<std::string>& arguments, const char* package);

// A scratch file beside `file`, so that a half-made file never carries the final name.
std::filesystem::path scratchBeside(const std::filesystem::path& file, const char* suffix);
// Gives the finished scratch file its final name.
Failure renameInto(const std::filesystem::path& made, const std::filesystem::path& file);

}  // namespace talvio::fixture
