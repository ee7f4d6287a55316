// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "chatexport/chat_export.h"

namespace talvio::chatexport {

struct OpenOutcome {
    std::vector<ChatExport> chats;
    // One sentence for each export that could not be read, saying what to do. When chats is empty
    // and problems is too, the path held no export at all (that is a problem too, so never both).
    std::vector<std::string> problems;
};

// Opens what a user points at: an export's .txt (files beside it are its attachments), its .zip
// (read in place), a folder holding one export, or a folder of many exports (each .txt, .zip and
// sub-folder one level down). Everything is read only; nothing is written anywhere.
OpenOutcome openChatExports(const std::string& path);

// One export from a .txt file or a .zip archive.
std::string readTextExport(const std::string& path, ChatExport& chat);
std::string readZipExport(const std::string& path, ChatExport& chat);

// The chat's name from the export's file or archive name: "WhatsApp Chat with Anna.txt",
// "WhatsApp-Chat mit Anna", "Чат WhatsApp с Анной", "WhatsApp Chat - Anna.zip" all give the name.
std::string chatNameFromFileName(std::string_view fileName);

// The largest text file read as an export; phones cap exports far below it.
constexpr std::size_t kMaxExportTextBytes = std::size_t{512} << 20;

}  // namespace talvio::chatexport
