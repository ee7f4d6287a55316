// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "browser/script_dispatch.h"

class QWidget;

namespace talvio {

// Stand-ins for the voice and video players until they exist: a box that shows the path the page
// passed, exactly, over owner.
CImpIDispatch::MediaCall pathBoxPlayer(QWidget* owner);

}  // namespace talvio
