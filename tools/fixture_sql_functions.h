// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <sqlite3.h>

#include "tools/failure.h"

namespace talvio::fixture {

// SQL functions for fixture text whose values are binary and too long to write by hand:
//   media_data(path, size)             the Java-serialized com.whatsapp.MediaData of legacy
//                                      thumb_image (an empty or NULL path: never downloaded)
//   preview_jpeg(seed, width, height)  a small JPEG, as previews are kept (needs Qt)
Failure addFixtureSqlFunctions(sqlite3* database);

}  // namespace talvio::fixture
