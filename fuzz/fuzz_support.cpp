// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace talvio::fuzz {
namespace {

class Scratch {
public:
    Scratch() {
        std::error_code ec;
        const bool shm = std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0;
        std::string pattern =
            (shm ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path()) /
            "talvio-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("talvio fuzz: mkdtemp");
            std::abort();
        }
        m_path = pattern + "/";
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace

void fail(const char* file, int line, const std::string& what) {
    std::fprintf(stderr, "\n== talvio fuzz: property failed at %s:%d\n   %s\n", file, line, what.c_str());
    std::fflush(stderr);
    std::abort();
}

const std::string& scratchFolder() {
    static const Scratch scratch;
    return scratch.path();
}

void writeScratchFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        fail(__FILE__, __LINE__, "cannot write the scratch file " + path);
}

}  // namespace talvio::fuzz
