// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "byte_sink.h"
#include "secret.h"
#include "stored_file.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace talvio::ios {

enum class StreamResult { Done, Truncated, ReadFailed, WriteFailed, CryptoFailed, Cancelled };

// Decrypts a stored AES-256-CBC file (zero IV) into sink. With plainSize the output is cut to it,
// which also drops the padding; without, a PKCS#7 padding is removed when present. progress gets
// the share done and may return false to stop.
StreamResult decryptStream(const StoredFile& file, const Secret& key, std::optional<std::uint64_t> plainSize,
                           ByteSink& sink, const std::function<bool(double)>& progress = {});

// Copies a plain stored file of at least minimumSize bytes into sink.
StreamResult copyStream(const StoredFile& file, std::uint64_t minimumSize, ByteSink& sink);

}  // namespace talvio::ios
