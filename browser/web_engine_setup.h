// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

namespace talvio {

// Everything Qt WebEngine needs before the application object exists: the chat page scheme
// (schemes can only be registered that early), a shared OpenGL context for the view, the sandbox
// rule for root and a quiet start. Call once, first thing in main().
void prepareWebEngine();

// Puts QTWEBENGINE_CHROMIUM_FLAGS back as prepareWebEngine() found it. Call once the first view
// exists (the engine has read its flags by then): the programs Talvio starts, opusdec and the
// desktop's viewers among them, must not inherit the flags the viewer chose for itself.
void restoreEnvironmentAfterWebEngineStart();

}  // namespace talvio
