// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "chatexport/chat_export.h"

namespace talvio::chatexport {

// What the first line of a message says about media.
struct MediaLine {
    MessageKind kind = MessageKind::Text;  // Attachment, MediaOmitted, or Text when neither
    MediaKind media = MediaKind::None;
    std::string_view name;  // the attached file's name
};

// Reads `line` as an attachment ("IMG-….jpg (file attached)", "<attached: 00000042-PHOTO-….jpg>" and
// their translations) or as media the phone left out ("<Media omitted>", "image omitted", …).
// isPresent tells whether the export holds a file of that name: an Android line naming such a file
// is an attachment whatever language its parenthesis is in.
MediaLine readMediaLine(std::string_view line, const std::function<bool(std::string_view)>& isPresent);

// The kind of a file by WhatsApp's naming ("PTT-…", "00000042-AUDIO-…"), else by its extension.
MediaKind mediaKindOfName(std::string_view name);

// The words after "(" of an attachment line in the languages known here, e.g. "file attached".
bool isAttachedWord(std::string_view word);

}  // namespace talvio::chatexport
