// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "export/export_run.h"

#include <string>

namespace talvio {

// The message that closes an export: what was written and where, what is missing, and (when
// anything was written) the question whether to open the folder.
struct ExportSummary {
    std::string text;      // UTF-8
    bool problem = false;  // cancelled, or something could not be written
    bool offerOpen = false;
};

ExportSummary exportSummary(const ExportReport& report);

// At most this many failures are named one by one; the rest are counted.
inline constexpr std::size_t kNamedFailures = 12;

}  // namespace talvio
