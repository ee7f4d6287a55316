// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

namespace talvio {

// Everything Qt WebEngine needs before the application object exists: the chat page scheme
// (schemes can only be registered that early), a shared OpenGL context for the view, the sandbox
// rule for root and a quiet start. Call once, first thing in main().
void prepareWebEngine();

}  // namespace talvio
