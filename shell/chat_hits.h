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
    // Adds a hit's ordinal. Hits arrive newest first, a chat's often by the hundred thousand:
    // they are sorted when they are next needed, not as each comes.
    void add(std::int64_t ordinal);
    std::size_t count() const;
    // 1 for the first hit in page order; 0 before any has been gone to.
    std::size_t position() const;
    // Makes the hit at ordinal the current one; false when it is none of this chat's.
    bool goTo(std::int64_t ordinal);
    // The ordinal of the next (or previous) hit, round the end of the chat; -1 when there is none.
    std::int64_t next();
    std::int64_t previous();

private:
    void sort() const;

    std::string m_chat;
    mutable std::vector<std::int64_t> m_ordinals;
    mutable bool m_sorted = true;
    std::int64_t m_current = -1;  // the ordinal gone to last
};

}  // namespace talvio
