// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace talvio::bench {

// Median wall time in seconds of runs of fn, after one warm-up run.
inline double medianSeconds(int runs, const std::function<void()>& fn) {
    fn();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Prints "name: a s against b s = ratio (limit L) ok|OVER" and returns whether it is within.
inline bool reportRatio(const char* name, double measured, double floor, double limit) {
    const double ratio = floor > 0 ? measured / floor : 0;
    const bool within = ratio <= limit;
    std::printf("%-44s %9.3f s against %9.3f s = %5.2f x (limit %.2f x) %s\n", name, measured, floor, ratio,
                limit, within ? "ok" : "OVER");
    return within;
}

// The machine's load, printed beside figures so that a slow run can be told from a slow program.
inline void printLoad() {
    double load[3] = {0, 0, 0};
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf %lf %lf", &load[0], &load[1], &load[2]) != 3)
            load[0] = -1;
        std::fclose(f);
    }
    std::printf("machine load average: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
}

}  // namespace talvio::bench
