// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "backup/key_material.h"
#include "sources/storage_opening.h"
#include "sources/whatsapp_storage.h"

#include <string>

class QWidget;

namespace talvio {

// Decrypts a backup of the phone's WhatsApp folder into memory under a progress dialog ("Decrypting
// backup..."), whose Cancel stops it. The windows stay painted meanwhile.
StorageOpening openBackupWithProgress(QWidget* owner, const WhatsAppStorage& storage,
                                      const std::string& backupPath, const backup::KeyMaterial& key);

}  // namespace talvio
