// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "export/stall_watch.h"

#include <gtest/gtest.h>

namespace talvio {
namespace {

using namespace std::chrono_literals;

TEST(StallWatch, StopsALoadOnlyAfterTheLimitPassesWithoutProgress) {
    resetProgramState();
    std::chrono::steady_clock::time_point now{};
    {
        StallWatch watch(120s, [&now] { return now; });
        EXPECT_EQ(programState().progressWindow, &watch);
        now += 100s;
        EXPECT_TRUE(loadStillWanted());
        // Progress starts the time again.
        reportPercent(10);
        now += 100s;
        EXPECT_TRUE(loadStillWanted());
        now += 21s;
        EXPECT_FALSE(loadStillWanted());
        EXPECT_TRUE(watch.stalled());
        // Once stopped, the load stays stopped: its later queries must not run on.
        reportPercent(20);
        EXPECT_FALSE(loadStillWanted());
    }
    EXPECT_EQ(programState().progressWindow, nullptr);
    EXPECT_TRUE(loadStillWanted());
}

}  // namespace
}  // namespace talvio
