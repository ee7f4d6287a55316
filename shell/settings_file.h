// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/program_state.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace talvio {

// The saved choice of the open-database dialog: the kind and the two folders of each kind.
struct SettingsRecord {
    std::int32_t sourceKind = kSourceNone;
    std::string androidDataPath;
    std::string androidResourcePath;  // kept and saved, never shown
    std::string iphoneDataPath;
    std::string iphoneResourcePath;

    bool operator==(const SettingsRecord&) const = default;
};

// The one record of the process, alive from start-up to exit; tests reset it.
SettingsRecord& settingsRecord();
void resetSettingsRecord();

// The settings file holds the record alone: SourceKind as a little-endian 32-bit integer, then the
// four paths in 260-byte fields, each ended by a zero byte. The name is historical.
inline constexpr const char* kSettingsFileName = "para.dll";
inline constexpr std::size_t kSettingsFieldSize = 260;
inline constexpr std::size_t kSettingsFileSize = 4 + 4 * kSettingsFieldSize;
// The longest path, in bytes, that a field holds with its terminating zero.
inline constexpr std::size_t kLongestSettingsPath = kSettingsFieldSize - 1;

inline constexpr const char* kSaveSettingsFailure = "Save setting failure. Please run it as administrator.";

// Whether a path can be saved whole: at most kLongestSettingsPath bytes and no zero byte.
bool fitsSettingsField(const std::string& path);
// The message for a path that does not fit, naming the path.
std::string settingsPathTooLongMessage(const std::string& path);

// Fills the record from the settings file in `folder` (with its trailing '/'), creating the folder
// and an empty file when they are missing. A path is read up to its zero byte; a field whose zero
// byte is not within its 260 bytes and the file (a short or corrupt file) keeps its value, as does
// a SourceKind shorter than 4 bytes. Never fails loudly: an unreadable file leaves the record as it was.
void LoadSettings(const std::string& folder, SettingsRecord& record = settingsRecord());

// Writes the record to the settings file in `folder`, replacing the file whole. Returns the message
// to show when it could not: a path too long to be saved (nothing is written then, rather than a
// cut path), or kSaveSettingsFailure.
std::optional<std::string> SaveSettings(const std::string& folder,
                                        const SettingsRecord& record = settingsRecord());

}  // namespace talvio
