// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>

namespace talvio::test {

// Builds an Android "com.whatsapp" folder at folder (trailing '/') with the real table layouts
// of databases/msgstore.db and databases/wa.db, in WAL mode, then runs the given row SQL in each.
// An empty waSql still creates wa.db with its empty table.
void makeAndroidFolder(const std::string& folder, const std::string& msgstoreSql, const std::string& waSql);

// The same with the layout of 2022 on: "message", "chat", "jid", "jid_map". With bothLayouts the
// legacy "messages" table is there too, as in many databases of 2020-2022.
void makeModernAndroidFolder(const std::string& folder, const std::string& msgstoreSql,
                             const std::string& waSql, bool bothLayouts = false);

// Runs SQL in a database file of our own (created when missing); throws on failure.
void runSql(const std::string& path, const std::string& sql);

// Loads the Android folder into the contact table the way the viewer does.
void loadAndroidFolder(const std::string& folder);

// Renders contact table row `row` of the folder the program state names into ChatPageBuffer,
// and returns the page.
std::string renderAndroidRow(int row, int mode);

}  // namespace talvio::test
