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
#include <string_view>
#include <utility>
#include <vector>

namespace talvio {
class CChatSoftware;
struct SearchIndexData;

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

// The messages one query found, newest first. Finding them is one scan; a hit's own text and match
// ranges are worked out only when asked for, so that a query matching half a million messages
// answers as soon as one matching ten. Holds the index's texts for as long as it lives; immutable,
// so any thread may read it.
class SearchResults {
public:
    std::size_t size() const { return m_messages.size(); }
    bool empty() const { return m_messages.empty(); }
    const std::string& jid(std::size_t i) const;
    std::int64_t ordinal(std::size_t i) const;
    std::int64_t time(std::size_t i) const;
    bool fromMe(std::size_t i) const;
    // The hit with its text and matches.
    SearchHit hit(std::size_t i) const;

    // How many chats the hits lie in.
    std::size_t chatCount() const { return m_chatCount; }
    // The ordinals of the hits in one chat, in page order.
    std::vector<std::int64_t> ordinalsIn(std::string_view jid) const;
    // The place of the hit at ordinal in chat jid, or size() when there is none.
    std::size_t find(std::string_view jid, std::int64_t ordinal) const;

private:
    friend class SearchIndex;
    std::shared_ptr<const SearchIndexData> m_data;
    std::string m_needle;                   // folded
    std::vector<std::uint32_t> m_messages;  // places in the index's newest-first order
    std::size_t m_chatCount = 0;
};

// Every message text of one loaded source, folded once so that each query is a quick scan.
// Immutable once built: queries may run on several threads at once.
class SearchIndex {
public:
    ~SearchIndex();
    SearchIndex(const SearchIndex&) = delete;
    SearchIndex& operator=(const SearchIndex&) = delete;

    // Reads the source's texts once. Returns null when cancelled or unreadable (reason says why).
    static std::unique_ptr<SearchIndex> build(CChatSoftware& source, const std::atomic<bool>& cancel,
                                              std::string& reason);
    std::size_t messageCount() const;
    // Every hit of the query; when cancel is set, stops early with none.
    SearchResults find(const SearchQuery& query, const std::atomic<bool>& cancel) const;
    // Calls batch with hits newest first (ties: higher ordinal first), a batch at a time as they are
    // found; returns the number of hits, or stops early (returning those found) when cancel is set.
    std::size_t search(const SearchQuery& query, const std::atomic<bool>& cancel,
                       const std::function<void(std::vector<SearchHit>&&)>& batch) const;

    // Bytes the index holds, to weigh against textBytes().
    std::size_t memoryBytes() const;
    // Bytes of the message texts it was built from, as the source handed them.
    std::size_t textBytes() const;

private:
    explicit SearchIndex(std::shared_ptr<const SearchIndexData> data);
    std::shared_ptr<const SearchIndexData> m_data;
};
}  // namespace talvio
