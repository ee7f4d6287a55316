// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

class QWebEngineProfile;

namespace talvio {

class ChatSchemeHandler;
struct DocumentScripts;

// The browser profile of the chat views: off the record (nothing of a chat is written to disk),
// with the chat scheme's handler. Made on first use; lives as long as the application object.
QWebEngineProfile* chatProfile();
ChatSchemeHandler& chatSchemeHandler();

// The view's scripts for every chat document, window.external first.
const DocumentScripts& chatDocumentScripts();

}  // namespace talvio
