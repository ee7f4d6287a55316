// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "settings_file.h"

#include "platform/file_ops.h"
#include "sources/contact_table.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace talvio {
namespace {

// The paths in the order of their fields in the file.
constexpr std::array<std::string SettingsRecord::*, 4> kFields = {
    &SettingsRecord::androidDataPath, &SettingsRecord::androidResourcePath, &SettingsRecord::iphoneDataPath,
    &SettingsRecord::iphoneResourcePath};

constexpr std::size_t fieldOffset(std::size_t index) {
    return 4 + index * kSettingsFieldSize;
}

// The file's bytes, at most one record's worth, created empty when missing. nullopt when it can
// be neither read nor created, or is no regular file (a FIFO there would hang the start).
std::optional<std::string> readRecordBytes(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found)
        return platform::readRegularFile(path, kSettingsFileSize);
    // Append mode never empties a file that appeared meanwhile.
    std::ofstream created(path, std::ios::binary | std::ios::app);
    if (!created)
        return std::nullopt;
    return std::string();
}

}  // namespace

SettingsRecord& settingsRecord() {
    static SettingsRecord record;
    return record;
}

void resetSettingsRecord() {
    settingsRecord() = SettingsRecord{};
}

bool fitsSettingsField(const std::string& path) {
    return path.size() <= kLongestSettingsPath && path.find('\0') == std::string::npos;
}

std::string settingsPathTooLongMessage(const std::string& path) {
    return "This folder path is too long to be saved (at most " + std::to_string(kLongestSettingsPath) +
           " bytes):\n\n" + path;
}

void LoadSettings(const std::string& folder, SettingsRecord& record) {
    EnsureDirectory(folder);
    const std::optional<std::string> bytes = readRecordBytes(folder + kSettingsFileName);
    if (!bytes)
        return;
    const std::size_t size = bytes->size();
    if (size >= 4) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes->data());
        record.sourceKind =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (std::uint32_t{b[1]} << 8) |
                                      (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24));
    }
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const std::size_t start = fieldOffset(i);
        if (start >= size)
            break;
        const std::string_view field(bytes->data() + start, std::min(kSettingsFieldSize, size - start));
        // Without its zero byte the field is cut or corrupt: taking its bytes would give a path that
        // was never saved, and one too long to be saved again.
        const std::size_t end = field.find('\0');
        if (end != std::string_view::npos)
            record.*kFields[i] = std::string(field.substr(0, end));
    }
}

std::optional<std::string> SaveSettings(const std::string& folder, const SettingsRecord& record) {
    for (const auto field : kFields) {
        if (!fitsSettingsField(record.*field))
            return settingsPathTooLongMessage(record.*field);
    }
    std::string bytes(kSettingsFileSize, '\0');
    const auto kind = static_cast<std::uint32_t>(record.sourceKind);
    for (int b = 0; b < 4; ++b)
        bytes[static_cast<std::size_t>(b)] = static_cast<char>((kind >> (8 * b)) & 0xFF);
    // The bytes after each terminator stay zero.
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const std::string& path = record.*kFields[i];
        std::memcpy(bytes.data() + fieldOffset(i), path.data(), path.size());
    }
    EnsureDirectory(folder);
    if (!platform::writeFileReplacing(folder + kSettingsFileName, bytes))
        return std::string(kSaveSettingsFailure);
    return std::nullopt;
}

}  // namespace talvio
