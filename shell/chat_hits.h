// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talvio {

// The hits of the current query in the open chat, in page order, and the one gone to last: what
// F3 and Shift+F3 step through and the find bar counts.
class ChatHits {
public:
    const std::string& chat() const { return m_chat; }
    // Starts over for another chat (or the same chat with another query).
    void reset(std::string chat);
    // Adds a hit's ordinal; hits arrive newest first and in batches, in any order of ordinals.
    void add(std::int64_t ordinal);
    std::size_t count() const { return m_ordinals.size(); }
    // 1 for the first hit in page order; 0 before any has been gone to.
    std::size_t position() const { return m_current < 0 ? 0 : static_cast<std::size_t>(m_current) + 1; }
    // Makes the hit at ordinal the current one; false when it is none of this chat's.
    bool goTo(std::int64_t ordinal);
    // The ordinal of the next (or previous) hit, round the end of the chat; -1 when there is none.
    std::int64_t next();
    std::int64_t previous();

private:
    std::string m_chat;
    std::vector<std::int64_t> m_ordinals;  // ascending
    std::int64_t m_current = -1;           // index into m_ordinals
};

}  // namespace talvio
