// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QIcon>
#include <QPixmap>

namespace talvio {

// The program's icon: the resource ":/talvio/talvio.svg" where Qt can read SVG, otherwise the same
// shapes drawn in the usual icon sizes.
QIcon applicationIcon();

// The 96 × 96 picture shown for a contact without a picture of its own: a neutral silhouette.
QPixmap defaultPicture();

}  // namespace talvio
