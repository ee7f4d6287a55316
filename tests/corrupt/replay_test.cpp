// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Runs one fuzz harness over its kept inputs: a property that fails aborts the test with the
// harness's message, as it would under libFuzzer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> keptInputs() {
    std::vector<std::filesystem::path> files;
    std::stringstream dirs(TALVIO_FUZZ_INPUTS);
    std::string dir;
    while (std::getline(dirs, dir, '|')) {
        std::error_code ec;
        if (!std::filesystem::is_directory(dir, ec))
            continue;
        for (const auto& item : std::filesystem::recursive_directory_iterator(dir)) {
            if (item.is_regular_file() && item.path().filename() != "stamp")
                files.push_back(item.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Named after the target (TALVIO_FUZZ_TARGET), so that ctest lists each target's replay apart.
TEST(FuzzReplay, TALVIO_FUZZ_TARGET) {
    LLVMFuzzerTestOneInput(nullptr, 0);
    const std::vector<std::filesystem::path> files = keptInputs();
    ASSERT_FALSE(files.empty()) << "no kept inputs in " << TALVIO_FUZZ_INPUTS;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Printed first, so that an abort names the input that caused it.
        std::cerr << "input " << file.string() << "\n";
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
}

}  // namespace
