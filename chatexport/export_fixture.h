// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "chatexport/chat_export.h"
#include "chatexport/fixture_layouts.h"

namespace talvio::chatexport::fixture {

// A conversation as the generator meant it: what reading its export must give back.
struct GeneratedChat {
    std::string name;
    std::vector<std::string> senders;
    std::vector<Message> messages;  // sender indexes senders
};

// `count` messages from `firstTime` on (local seconds), `step` seconds apart, cycling through
// plain, multi-line and colon-holding texts, every kind of attachment, omitted media and events.
GeneratedChat makeConversation(const ExportLayout& layout, std::size_t count, std::int64_t firstTime,
                               std::int64_t step);

// The date and time of a header as the layout writes them (without brackets or dash).
std::string formatHeaderTime(const ExportLayout& layout, std::int64_t localTime);

// The export's text, UTF-8 without a byte-order mark.
std::string exportText(const ExportLayout& layout, const GeneratedChat& chat);

// Made-up bytes for an attachment, different for every name.
std::string attachmentBytes(const std::string& name);

enum class ExportForm {
    Text,    // the .txt alone, written into the folder
    Folder,  // a sub-folder holding the .txt and the attached files
    Zip,     // the .zip holding the .txt and the attached files
};

// Writes the export into `folder` and returns the path a user would open. Throws std::runtime_error
// when a file cannot be written.
std::string writeExport(const ExportLayout& layout, const GeneratedChat& chat, ExportForm form,
                        const std::string& folder);

// Writes a zip of the given entries (name, bytes), deflated or stored as they are; an empty string
// or what went wrong.
std::string writeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries,
                     bool stored = false);

}  // namespace talvio::chatexport::fixture
