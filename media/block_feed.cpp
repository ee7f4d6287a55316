// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/block_feed.h"

#include <algorithm>

namespace talvio::media {

void BlockFeed::push(int slot, std::span<const std::uint8_t> block) {
    m_queuedEnd += block.size();
    m_blocks.push_back({slot, block, m_queuedEnd});
}

std::span<const std::uint8_t> BlockFeed::untaken() const {
    for (const Entry& entry : m_blocks) {
        if (entry.end > m_taken) {
            const std::uint64_t start = entry.end - entry.bytes.size();
            return entry.bytes.subspan(static_cast<std::size_t>(m_taken - start));
        }
    }
    return {};
}

void BlockFeed::taken(std::size_t count) {
    m_taken += count;
}

std::vector<int> BlockFeed::takePlayed(std::uint64_t playedBytes) {
    std::vector<int> slots;
    // A block cannot have been played before the sink has taken it, whatever the clock says.
    const std::uint64_t limit = std::min(playedBytes, m_taken);
    while (!m_blocks.empty() && m_blocks.front().end <= limit) {
        slots.push_back(m_blocks.front().slot);
        m_blocks.pop_front();
    }
    return slots;
}

void BlockFeed::clear() {
    m_blocks.clear();
    m_queuedEnd = 0;
    m_taken = 0;
}

std::uint64_t playedBytes(std::int64_t microseconds, const SoundRecord& format) {
    if (microseconds <= 0 || format.blockAlign() == 0) {
        return 0;
    }
    const std::uint64_t frames = static_cast<std::uint64_t>(microseconds) * format.sampleRate / 1'000'000;
    return frames * format.blockAlign();
}

}  // namespace talvio::media
