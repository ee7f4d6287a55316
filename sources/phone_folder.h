// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>

namespace talvio {

// Folder paths end in '/' from here on: "a/b" becomes "a/b/", an empty path stays empty.
std::string withTrailingSlash(std::string path);

// The database files a folder of the kind must hold, relative to the folder.
const char* messageDbName(int sourceKind);
const char* contactDbName(int sourceKind);

// The kind of phone folder by its files: kSourceAndroid, kSourceIPhone or kSourceNone.
int detectSourceKind(const std::string& folder);

// Whether both database files of the kind exist below the folder.
bool hasDatabaseFiles(int sourceKind, const std::string& folder);

// Sets SourceKind and the four load paths of the program state, as an accepted open does.
void setLoadPaths(int sourceKind, const std::string& dataFolder, const std::string& resourceFolder);

}  // namespace talvio
