// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "chatexport/chat_export.h"

namespace talvio::chatexport {

// Reads the text of one export (UTF-8 from decodeExportText) into chat's messages, senders and
// count of unknown lines. isPresent tells whether a file of a given name came with the export; it
// may be empty. Returns an empty string, or the reason the text is no chat export; `label` names
// the file in that message.
std::string parseExportText(std::string_view text, const std::function<bool(std::string_view)>& isPresent,
                            const std::string& label, ChatExport& chat);

}  // namespace talvio::chatexport
