// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace talvio::media {

// The unit of playback: the player hands the audio device blocks of this many bytes,
// and draws one spectrum per block.
inline constexpr std::size_t kBlockBytes = 8192;

using BlockView = std::span<const std::uint8_t, kBlockBytes>;

}  // namespace talvio::media
