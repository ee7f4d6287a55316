// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "media/sound_record.h"

namespace talvio::media {

// The bookkeeping between the player's blocks and a push-mode sound sink, which takes bytes
// only as it has room and reports how long it has played. A block can be partly taken, since
// a sink may never have a whole block's room free at once; a block is done once the sink has
// played its last byte.
class BlockFeed {
public:
    // Queues a block behind the others. Its bytes must stay unchanged until it is reported
    // played or the feed is cleared.
    void push(int slot, std::span<const std::uint8_t> block);
    // The bytes to offer the sink next: the untaken rest of the oldest block not yet taken
    // whole. Empty when the sink has taken everything queued.
    std::span<const std::uint8_t> untaken() const;
    // The sink took `count` bytes of what untaken() offered.
    void taken(std::size_t count);
    // The slots of the blocks whose every byte lies within the first `playedBytes` bytes that
    // the sink has played, oldest first. Each block is reported once and leaves the feed.
    std::vector<int> takePlayed(std::uint64_t playedBytes);
    // Forgets every block, for a sink that was reset or replaced; counts restart at zero.
    void clear();
    bool empty() const { return m_blocks.empty(); }

private:
    struct Entry {
        int slot;
        std::span<const std::uint8_t> bytes;
        std::uint64_t end;  // offset of the byte after the block in the sink's stream
    };
    std::deque<Entry> m_blocks;
    std::uint64_t m_queuedEnd = 0;
    std::uint64_t m_taken = 0;
};

// The whole frames of the sound that `microseconds` of playing cover.
std::uint64_t playedBytes(std::int64_t microseconds, const SoundRecord& format);

}  // namespace talvio::media
