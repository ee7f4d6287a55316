// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <vector>

namespace talvio {
class MediaCopyLog;
}

namespace talvio::test {

// The fixture folders that the build makes from tests/data/iphone/<name>: the data folder and
// the resource folder, each with a trailing '/'.
std::string iphoneFixtureData(const std::string& name);
std::string iphoneFixtureResources(const std::string& name);

// Builds folder/ChatStorage.sqlite (trailing '/') with the real Core Data layout and then the
// given row SQL, in WAL mode like a phone's copy, and an empty Contacts.sqlite beside it. With
// bare, rowsSql brings its own tables.
void makeIphoneFolder(const std::string& folder, const std::string& rowsSql, bool bare = false);

// Loads an iPhone folder into the contact table the way the viewer does.
void loadIphoneFolder(const std::string& folder, const std::string& resources = "");

// Renders contact table row `row` of the folder the program state names with the iPhone source,
// into ChatPageBuffer, and returns the page; with media, as an export does.
std::string renderIphoneRow(int row, int mode, MediaCopyLog* media = nullptr);

// Writes an iPhone computer backup into backup (trailing '/') of the fixture: its data folder as
// WhatsApp's shared domain with the contacts under their current name (ContactsV2.sqlite), its
// resource folder as the app's own domain, beside another app's and the system's files. With a
// password the backup is encrypted (with few key derivation rounds, unless rounds are given).
void makeIphoneBackup(const std::string& fixture, const std::string& backup, const std::string& password = {},
                      unsigned dataProtectionRounds = 8, bool finished = true);

// Index of the first contact table row with this jid; -1 when there is none.
int rowOfJid(const std::string& jid);

// The blocks of a page after its head, split before each sender line.
std::vector<std::string> pageBlocks(const std::string& page, int mode);

}  // namespace talvio::test
