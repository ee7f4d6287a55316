// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "iosbackup/secret.h"
#include "sources/iphone_backup_opening.h"

#include <string>

class QWidget;

namespace talvio {

// Opens an iPhone computer backup on a worker thread under a progress dialog ("Opening iPhone
// backup..."): unlocking takes seconds inside libcrypto, where it cannot report. Cancel returns at
// once with Cancelled; the worker then stops at its next step and what it made is dropped.
IphoneBackupOpening openIphoneBackupWithProgress(QWidget* owner, const std::string& folder,
                                                 ios::Secret password);

}  // namespace talvio
