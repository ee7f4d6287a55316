// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/chat_hits.h"

#include <algorithm>

namespace talvio {

void ChatHits::reset(std::string chat) {
    m_chat = std::move(chat);
    m_ordinals.clear();
    m_current = -1;
}

void ChatHits::add(std::int64_t ordinal) {
    const auto at = std::lower_bound(m_ordinals.begin(), m_ordinals.end(), ordinal);
    if (at != m_ordinals.end() && *at == ordinal)
        return;
    const auto index = at - m_ordinals.begin();
    m_ordinals.insert(at, ordinal);
    // The current hit stays the same message when one lands before it.
    if (m_current >= index)
        ++m_current;
}

bool ChatHits::goTo(std::int64_t ordinal) {
    const auto at = std::lower_bound(m_ordinals.begin(), m_ordinals.end(), ordinal);
    if (at == m_ordinals.end() || *at != ordinal)
        return false;
    m_current = at - m_ordinals.begin();
    return true;
}

std::int64_t ChatHits::next() {
    if (m_ordinals.empty())
        return -1;
    const auto n = static_cast<std::int64_t>(m_ordinals.size());
    m_current = (m_current + 1) % n;
    return m_ordinals[static_cast<std::size_t>(m_current)];
}

std::int64_t ChatHits::previous() {
    if (m_ordinals.empty())
        return -1;
    const auto n = static_cast<std::int64_t>(m_ordinals.size());
    m_current = m_current < 0 ? n - 1 : (m_current + n - 1) % n;
    return m_ordinals[static_cast<std::size_t>(m_current)];
}

}  // namespace talvio
