// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/scale_plan.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace talvio::fixture {

std::vector<std::int64_t> ScalePlan::chatSizes(std::size_t chats, std::int64_t messages, Random& random) {
    std::vector<std::int64_t> sizes(chats, 0);
    if (chats == 0 || messages <= 0)
        return sizes;
    if (chats == 1) {
        sizes[0] = messages;
        return sizes;
    }

    // Zipf weights 1/rank, jittered so that neighbouring ranks do not differ by a fixed ratio.
    std::vector<double> weights(chats);
    for (std::size_t rank = 0; rank < chats; ++rank) {
        weights[rank] = (0.75 + 0.5 * random.unit()) / static_cast<double>(rank + 1);
    }
    double total = 0;
    for (double w : weights)
        total += w;

    auto largest =
        static_cast<std::int64_t>(std::llround(static_cast<double>(messages) * weights[0] / total));
    largest = std::max(largest,
                       static_cast<std::int64_t>(std::ceil(static_cast<double>(messages) * kLargestShare)));
    if (messages >= 1'000'000)
        largest = std::max(largest, kLargestFloor);
    largest = std::min(largest, messages);

    const auto others = static_cast<std::int64_t>(chats - 1);
    std::int64_t rest = messages - largest;
    const std::int64_t base = rest >= others ? 1 : 0;
    rest -= base * others;
    const double otherWeight = total - weights[0];
    std::int64_t handedOut = 0;
    for (std::size_t rank = 1; rank < chats; ++rank) {
        const auto share =
            static_cast<std::int64_t>(std::floor(static_cast<double>(rest) * weights[rank] / otherWeight));
        sizes[rank] = base + share;
        handedOut += share;
    }
    // Rounding down leaves fewer than `others` messages; they go to the busiest chats. (Floating
    // point could also hand out one too many; the busiest chat then gives it back.)
    if (handedOut > rest) {
        sizes[1] -= handedOut - rest;
        handedOut = rest;
    }
    for (std::size_t rank = 1; handedOut < rest; rank = rank % (chats - 1) + 1) {
        ++sizes[rank];
        ++handedOut;
    }
    sizes[0] = largest;
    std::sort(sizes.begin(), sizes.end(), std::greater<>());
    return sizes;
}

}  // namespace talvio::fixture
