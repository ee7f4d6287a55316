// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The settings record reader: any bytes as para.dll.
#include "fuzz/fuzz_support.h"
#include "shell/settings_file.h"

#include <array>
#include <filesystem>

using namespace talvio;

namespace {

// What each field holds before the load: a field the file does not give a value keeps it.
SettingsRecord earlierValues() {
    return {7, "/earlier/a/", "/earlier/a-res/", "/earlier/i/", "/earlier/i-res/"};
}

// The record the file's bytes describe, read from the layout of the file, not from the reader.
SettingsRecord describedRecord(std::string_view bytes) {
    SettingsRecord record = earlierValues();
    if (bytes.size() >= 4) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
        record.sourceKind = static_cast<std::int32_t>(std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 |
                                                      std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24);
    }
    const std::array<std::string*, 4> fields = {&record.androidDataPath, &record.androidResourcePath,
                                                &record.iphoneDataPath, &record.iphoneResourcePath};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t start = 4 + i * kSettingsFieldSize;
        if (start >= bytes.size())
            break;
        const std::string_view field = bytes.substr(start, kSettingsFieldSize);
        const std::size_t zero = field.find('\0');
        if (zero != std::string_view::npos)
            *fields[i] = std::string(field.substr(0, zero));
    }
    return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = [] {
        const std::string f = fuzz::scratchFolder() + "talvio/";
        std::filesystem::create_directories(f);
        return f;
    }();
    const std::string_view bytes = fuzz::asText(data, size);
    fuzz::writeScratchFile(folder + kSettingsFileName, bytes);

    SettingsRecord loaded = earlierValues();
    LoadSettings(folder, loaded);
    FUZZ_CHECK(loaded == describedRecord(bytes.substr(0, kSettingsFileSize)),
               "the loaded record is not the one the file describes");

    // Whatever was read can be saved again, and what is saved loads back unchanged.
    FUZZ_CHECK(SaveSettings(folder, loaded) == std::nullopt, "a loaded record cannot be saved");
    SettingsRecord reloaded;
    LoadSettings(folder, reloaded);
    FUZZ_CHECK(reloaded == loaded, "a saved record loads back different");
    return 0;
}
