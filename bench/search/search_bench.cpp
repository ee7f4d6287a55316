// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Searching every chat of a 1,000,000-message Android folder: the first query with the index it
// builds, later queries, and the memory the index keeps, each beside its limit.
#include "bench/timing.h"
#include "search/message_search.h"
#include "sources/android_weixin.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace talvio;

namespace {

// The floor: what SQLite needs to read every message text once.
void readEveryText(const std::string& messageDb) {
    Database db;
    db.open(messageDb, Database::Access::ReadOnlySnapshot);
    Statement rows(db, "SELECT data FROM messages NOT INDEXED;");
    std::size_t bytes = 0;
    while (rows.step())
        bytes += rows.textView(0).size();
    if (bytes == 0)
        std::puts("no text?");
}

// A query as the window answers it: every hit found and counted, and the first screenfuls of
// them with their texts and marks. The rest are worked out as the list scrolls to them.
std::size_t query(const SearchIndex& index, const std::string& text) {
    const std::atomic<bool> cancel{false};
    SearchQuery q;
    q.text = text;
    const SearchResults results = index.find(q, cancel);
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(results.size(), 256); ++i)
        bytes += results.hit(i).text.size();
    return bytes > 0 || results.empty() ? results.size() : 0;
}

// Every hit with its text, as talvio-export --search prints them.
std::size_t everyHit(const SearchIndex& index, const std::string& text) {
    const std::atomic<bool> cancel{false};
    SearchQuery q;
    q.text = text;
    std::size_t delivered = 0;
    index.search(q, cancel, [&](std::vector<SearchHit>&& hits) { delivered += hits.size(); });
    return delivered;
}

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

}  // namespace

int main() {
    setLoadPaths(kSourceAndroid, TALVIO_BENCH_FOLDER, "");
    CAndroidWeiXin source(chosenPhoneFolder());
    bench::printLoad();
    const std::atomic<bool> cancel{false};
    std::string reason;

    const double floor = bench::medianSeconds(3, [&] { readEveryText(programState().messageDbPath); });
    const double sourceRead = bench::medianSeconds(3, [&] {
        std::size_t bytes = 0;
        source.ReadMessageTexts(
            {},
            [&](const MessageText& m) {
                bytes += m.text.size();
                return true;
            },
            reason);
        if (bytes == 0)
            std::puts("no text?");
    });
    std::printf("%-44s %9.3f s\n", "the source hands every text (no index)", sourceRead);
    {
        // The index's own share: the same texts handed from memory.
        struct Held : CChatSoftware {
            Held() : CChatSoftware(false, PhoneFolder{}) {}
            void LoadContacts(ContactTable&) override {}
            RenderOutcome RenderChat(const ChatRequest&) override { return {}; }
            bool ReadMessageTexts(std::string_view, const MessageTextSink& sink, std::string&) override {
                for (std::size_t i = 0; i < texts.size(); ++i) {
                    if (!sink(MessageText{jids[i], static_cast<std::int64_t>(i), times[i], false, texts[i]}))
                        return false;
                }
                return true;
            }
            std::vector<std::string> jids, texts;
            std::vector<std::int64_t> times;
        } held;
        source.ReadMessageTexts(
            {},
            [&](const MessageText& m) {
                held.jids.emplace_back(m.jid);
                held.texts.emplace_back(m.text);
                held.times.push_back(m.time);
                return true;
            },
            reason);
        const double indexOnly =
            bench::medianSeconds(3, [&] { return SearchIndex::build(held, cancel, reason) != nullptr; });
        std::printf("%-44s %9.3f s\n", "the index from texts in memory", indexOnly);
    }
    const double first = bench::medianSeconds(3, [&] {
        const auto index = SearchIndex::build(source, cancel, reason);
        if (!index || query(*index, "morgen") == 0)
            std::printf("no index or no hit: %s\n", reason.c_str());
    });

    const std::size_t heapBefore = heapInUse();
    const auto index = SearchIndex::build(source, cancel, reason);
    if (!index) {
        std::printf("the index could not be built: %s\n", reason.c_str());
        return 1;
    }
    const std::size_t added = heapInUse() - heapBefore;
    std::printf("messages: %zu, text: %.1f MB\n", index->messageCount(), index->textBytes() / 1e6);

    double worst = 0;
    for (const std::string text :
         {"morgen", "SEE YOU", "你好", "😂", "crème brûlée", "ok", "e", "Привет", "no such text anywhere"}) {
        std::size_t hits = 0;
        const double seconds = bench::medianSeconds(3, [&] { hits = query(*index, text); });
        const double all = bench::medianSeconds(3, [&] { everyHit(*index, text); });
        std::printf("  query %-24s %8zu hits %7.4f s (every hit with its text: %.4f s)\n",
                    ("\"" + text + "\"").c_str(), hits, seconds, all);
        worst = std::max(worst, seconds);
    }

    bool ok = bench::reportRatio("first query with the index vs reading texts", first, floor, 1.5);
    const bool fast = worst <= 0.05;
    std::printf("%-44s %9.4f s (limit 0.05 s) %s\n", "worst later query", worst, fast ? "ok" : "OVER");
    const double share = static_cast<double>(added) / static_cast<double>(index->textBytes());
    std::printf("%-44s %9.1f MB against %9.1f MB = %5.2f x (limit 1.00 x) %s\n", "memory the index keeps",
                added / 1e6, index->textBytes() / 1e6, share, share < 1.0 ? "ok" : "OVER");
    std::printf("%-44s %9.1f MB\n", "  of which counted by the index", index->memoryBytes() / 1e6);
    return ok && fast && share < 1.0 ? 0 : 1;
}
