// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "stall_watch.h"

#include <utility>

namespace talvio {

StallWatch::StallWatch(std::chrono::seconds limit, Clock clock)
    : m_limit(limit),
      m_clock(std::move(clock)),
      m_lastProgress(m_clock()),
      m_previous(programState().progressWindow) {
    programState().progressWindow = this;
}

StallWatch::~StallWatch() {
    programState().progressWindow = m_previous;
}

void StallWatch::onProgress() {
    if (!m_stalled)
        m_lastProgress = m_clock();
}

bool StallWatch::stillWanted() {
    if (!m_stalled && m_clock() - m_lastProgress > m_limit)
        m_stalled = true;
    return !m_stalled;
}

}  // namespace talvio
