// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace talvio::fuzz {

// A property that does not hold is a finding: it is printed and the process aborts, which is
// how libFuzzer (and the replay tests) learn that this input must be kept.
[[noreturn]] void fail(const char* file, int line, const std::string& what);

// A folder of this process's own for files a target writes: on a memory file system when there is
// one (the inputs are written and read thousands of times a second), removed at exit.
const std::string& scratchFolder();

// Writes bytes to a file, replacing it; aborts when it cannot (a broken scratch folder).
void writeScratchFile(const std::string& path, std::string_view bytes);

// Input bytes as text.
inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace talvio::fuzz

#define FUZZ_CHECK(condition, what)                           \
    do {                                                      \
        if (!(condition))                                     \
            ::talvio::fuzz::fail(__FILE__, __LINE__, (what)); \
    } while (false)
