// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <atomic>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace talvio {
class CChatSoftware;

enum class SearchWho { Anyone, Me, Them };

struct SearchQuery {
    std::string text;               // as typed, UTF-8; empty finds nothing
    std::string chat;               // a jid: only that chat; empty: every chat
    std::int64_t from = INT64_MIN;  // time range, seconds since 1970 UTC, inclusive
    std::int64_t to = INT64_MAX;
    SearchWho who = SearchWho::Anyone;
};

struct SearchHit {
    std::string jid;       // the chat (ContactEntry::jid)
    std::int64_t ordinal;  // the message's place on its chat's page (see MessageText)
    std::int64_t time;     // seconds since 1970 UTC
    bool fromMe;
    std::string text;                                          // the message's own text, UTF-8, unfolded
    std::vector<std::pair<std::size_t, std::size_t>> matches;  // [begin, end) byte ranges in text
};

// Every message text of one loaded source, folded once so that each query is a quick scan.
// Immutable once built: search() may run on several threads at once.
class SearchIndex {
public:
    ~SearchIndex();
    SearchIndex(const SearchIndex&) = delete;
    SearchIndex& operator=(const SearchIndex&) = delete;

    // Reads the source's texts once. Returns null when cancelled or unreadable (reason says why).
    static std::unique_ptr<SearchIndex> build(CChatSoftware& source, const std::atomic<bool>& cancel,
                                              std::string& reason);
    std::size_t messageCount() const;
    // Calls batch with hits newest first (ties: higher ordinal first), a batch at a time as they are
    // found; returns the number of hits, or stops early (returning those found) when cancel is set.
    std::size_t search(const SearchQuery& query, const std::atomic<bool>& cancel,
                       const std::function<void(std::vector<SearchHit>&&)>& batch) const;

    // Bytes the index holds, to weigh against textBytes().
    std::size_t memoryBytes() const;
    // Bytes of the message texts it was built from, as the source handed them.
    std::size_t textBytes() const;

    struct Data;

private:
    explicit SearchIndex(std::unique_ptr<Data> data);
    std::unique_ptr<Data> m_data;
};
}  // namespace talvio
