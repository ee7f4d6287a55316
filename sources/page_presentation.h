// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>

namespace talvio {

// How chat pages are presented, added beside the page's own style sheet (whose text stays as it
// is): a right-to-left sender name is isolated from the time after it, so every sender line reads
// name then time; messages keep their line breaks and wrap at word boundaries, while an address
// or an unbroken run still wraps. The selectors outrank the page's own, which come later.
inline constexpr std::string_view kPagePresentationStyle =
    "<style>html body .SenderNameMe,html body .SenderNameYou,html body .MsgTime{unicode-bidi:isolate}"
    "html body .MsgHistory{white-space:pre-wrap;word-break:normal;overflow-wrap:anywhere}</style>";

// Puts the presentation style into a page's head, just before "</head>"; a text without a head
// comes back unchanged. Returns whether the style went in.
inline bool insertPresentationStyle(std::string& pageStart) {
    const std::size_t headEnd = pageStart.find("</head>");
    if (headEnd == std::string::npos)
        return false;
    pageStart.insert(headEnd, kPagePresentationStyle);
    return true;
}

}  // namespace talvio
