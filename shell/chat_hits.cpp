// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/chat_hits.h"

#include <algorithm>

namespace talvio {

void ChatHits::reset(std::string chat) {
    m_chat = std::move(chat);
    m_ordinals.clear();
    m_sorted = true;
    m_current = -1;
}

void ChatHits::add(std::int64_t ordinal) {
    if (!m_ordinals.empty() && ordinal <= m_ordinals.back())
        m_sorted = false;
    m_ordinals.push_back(ordinal);
}

void ChatHits::sort() const {
    if (m_sorted)
        return;
    std::sort(m_ordinals.begin(), m_ordinals.end());
    m_ordinals.erase(std::unique(m_ordinals.begin(), m_ordinals.end()), m_ordinals.end());
    m_sorted = true;
}

std::size_t ChatHits::count() const {
    sort();
    return m_ordinals.size();
}

std::size_t ChatHits::position() const {
    sort();
    const auto at = std::lower_bound(m_ordinals.begin(), m_ordinals.end(), m_current);
    return m_current < 0 || at == m_ordinals.end() || *at != m_current
               ? 0
               : static_cast<std::size_t>(at - m_ordinals.begin()) + 1;
}

bool ChatHits::goTo(std::int64_t ordinal) {
    sort();
    if (!std::binary_search(m_ordinals.begin(), m_ordinals.end(), ordinal))
        return false;
    m_current = ordinal;
    return true;
}

std::int64_t ChatHits::next() {
    sort();
    if (m_ordinals.empty())
        return -1;
    // The first hit after the current one, round to the first at the end of the chat.
    const auto after = std::upper_bound(m_ordinals.begin(), m_ordinals.end(), m_current);
    m_current = m_current < 0 || after == m_ordinals.end() ? m_ordinals.front() : *after;
    return m_current;
}

std::int64_t ChatHits::previous() {
    sort();
    if (m_ordinals.empty())
        return -1;
    const auto before = std::lower_bound(m_ordinals.begin(), m_ordinals.end(), m_current);
    m_current = m_current < 0 || before == m_ordinals.begin() ? m_ordinals.back() : *(before - 1);
    return m_current;
}

}  // namespace talvio
