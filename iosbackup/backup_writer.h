// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talvio::ios {

// One file to put in a backup we write ourselves.
struct BackupFile {
    std::string domain;
    std::string relativePath;
    std::string content;
};

struct BackupWriterOptions {
    bool encrypted = false;
    std::string password;  // fixtures only: real passwords never pass through here
    // Key derivation rounds. Tests use a handful; an iPhone uses DPIC 10,000,000 and ITER 10,000.
    std::uint32_t dataProtectionRounds = 8;
    std::uint32_t rounds = 4;
    std::string deviceName = "Test iPhone";
    bool finished = true;             // Status.plist's SnapshotState
    std::uint32_t fileClass = 3;      // protection class of every file
    std::uint32_t manifestClass = 4;  // protection class of the Manifest.db key
};

// Writes a complete backup folder, the way Finder or idevicebackup2 lays one out: Info.plist,
// Status.plist, Manifest.plist, Manifest.db listing every file and its folders, and the files
// at <fileID[0:2]>/<fileID>. Encrypted: a keybag whose class keys are wrapped with the passcode
// key, Manifest.db encrypted with the ManifestKey, and each file with its own key. Returns an
// error message, empty on success.
std::string writeBackup(const std::string& folder, const std::vector<BackupFile>& files,
                        const BackupWriterOptions& options);

// The files of a folder tree whose top-level folders are domains: tree/HomeDomain/Library/a.db
// becomes Library/a.db of HomeDomain. Links are skipped. Returns an error message, empty on success.
std::string readBackupTree(const std::string& tree, std::vector<BackupFile>& files);

}  // namespace talvio::ios
