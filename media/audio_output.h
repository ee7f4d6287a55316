// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <span>

#include "media/sound_record.h"

namespace talvio::media {

// The sound device as the voice player drives it: blocks are queued in the order written and
// each comes back, on the user-interface thread, as a "block done" event carrying its slot
// once it has been played. The player keeps every queued block's bytes unchanged until the
// block is done or the device is reset.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Opens the default output device for the sound's channels, rate and sample coding.
    // False when no device can be opened for it.
    virtual bool open(const SoundRecord& format) = 0;
    // Queues one block; `slot` is reported back in its "block done" event.
    virtual void write(int slot, std::span<const std::uint8_t> block) = 0;
    // Silences the device at once and drops every queued block. No "block done" event
    // follows for a dropped block.
    virtual void reset() = 0;
    virtual void close() = 0;
};

}  // namespace talvio::media
