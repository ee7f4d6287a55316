// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Sorting a large contact table newest first against sorting its bare keys. Both take n log n
// steps; the quadratic sort it replaced took 157 s here, hundreds of times the keys.
#include "bench/timing.h"
#include "sources/contact_table.h"
#include "sources/message_time.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace talvio;

int main() {
    constexpr int kRows = 320000;
    bench::printLoad();
    std::mt19937 random(7);
    ContactTable table;
    const auto fill = [&] {
        random.seed(7);
        table.create(kRows + 1);
        for (int i = 0; i < kRows; ++i) {
            ContactEntry& e = table.appendRow();
            e.jid = std::to_string(4915100000000LL + i) + "@s.whatsapp.net";
            e.displayName = "Contact " + std::to_string(i);
            // A fifth of the rows have no message, as in real address books.
            if (random() % 5 != 0)
                e.lastMessageTime = std::to_string(1'400'000'000'000LL + random() % 300'000'000'000LL);
        }
    };
    const double sort = bench::medianSeconds(3, [&] {
        fill();
        SortContactsByLastTime(table, {});
    });
    const double fillOnly = bench::medianSeconds(3, fill);
    const double keys = bench::medianSeconds(3, [&] {
        fill();
        std::vector<std::pair<std::int32_t, int>> order;
        order.reserve(table.rows().size());
        for (int i = 0; i < table.count(); ++i)
            order.emplace_back(-TimeValueOf(table.row(i).lastMessageTime), i);
        std::stable_sort(order.begin(), order.end());
        if (order.empty())
            std::puts("empty?");
    });
    std::printf("rows: %d\n", kRows);
    return bench::reportRatio("contact sort vs stable sort of the keys", sort - fillOnly, keys - fillOnly,
                              6.0)
               ? 0
               : 1;
}
