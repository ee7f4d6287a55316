// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

namespace talvio::bench {

// The proportional set size of this process and every process below it (WebEngine's zygote,
// render and utility processes), in bytes: shared pages count once across the tree.
double processTreeBytes();

}  // namespace talvio::bench
