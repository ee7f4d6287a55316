// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>

// Text from the phone's databases goes into pages in one of these contexts, each with its own
// rules; every page and the export index escape through them. Ill-formed UTF-8 is repaired first.
namespace talvio {

// A chat page's text: "<" and ">" become references, as the chat pages have always had them.
void appendEscapedText(std::string& out, std::string_view utf8);
std::string escapeText(std::string_view utf8);

// A single-quoted script string inside a double-quoted attribute (onClick="…('…')"): backslashes
// doubled and quotes and line breaks escaped for the script, then "&", '"', "<" and ">" written as
// character references for the attribute.
void appendScriptStringInAttribute(std::string& out, std::string_view utf8);

// Text of an element or a quoted attribute of a page of our own (the export index): "&", "<", ">"
// and both quotes as references, line breaks as spaces.
void appendAttributeText(std::string& out, std::string_view utf8);

// A double-quoted script string inside a script element or handed to the page's script:
// quotes and backslashes escaped, control characters, "<", ">" and "&" as \u escapes, so that
// "</script>" can never end the element.
void appendScriptString(std::string& out, std::string_view text);

}  // namespace talvio
