// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/program_state.h"

#include <chrono>
#include <functional>

namespace talvio {

// Stands in for the progress dialog where there is none (talvio-export): a load that reports no
// progress for longer than the limit is stopped, so that a damaged or hostile database never keeps
// a script waiting for ever. Installed as the program state's progress window while it lives.
class StallWatch : public ProgressTarget {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit StallWatch(std::chrono::seconds limit, Clock clock = std::chrono::steady_clock::now);
    ~StallWatch() override;
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

    void onProgress() override;
    bool stillWanted() override;
    bool stalled() const { return m_stalled; }

private:
    std::chrono::seconds m_limit;
    Clock m_clock;
    std::chrono::steady_clock::time_point m_lastProgress;
    ProgressTarget* m_previous;
    bool m_stalled = false;
};

}  // namespace talvio
