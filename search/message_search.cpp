// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "search/message_search.h"

#include "search/text_fold.h"
#include "sources/chat_software.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace talvio {

// Folded texts lie newest first in one buffer, each followed by a zero byte so that no match runs
// from one message into the next; the arrays beside it are indexed by the message's place there.
struct SearchIndex::Data {
    std::vector<std::string> chats;  // jid by chat number
    std::string folded;
    std::vector<std::uint32_t> foldedStart;  // one more than messages: the end of the last
    std::vector<std::uint32_t> chatAndMe;    // chat number << 1 | from me
    std::vector<std::uint32_t> ordinal;
    std::vector<std::int64_t> time;
    std::string original;                      // the unfolded texts, in the same order
    std::vector<std::uint32_t> originalStart;  // one more than messages, as foldedStart
    std::size_t textBytes = 0;
};

namespace {

constexpr std::size_t kBatchSize = 256;
constexpr std::size_t kMaxBytes = std::numeric_limits<std::uint32_t>::max() - 1;

// Messages as read, before they are put newest first.
struct ReadMessage {
    std::uint32_t chatAndMe;
    std::uint32_t ordinal;
    std::int64_t time;
    std::uint32_t foldedBegin;
    std::uint32_t foldedEnd;
    std::uint32_t originalBegin;
    std::uint32_t originalEnd;
};

}  // namespace

SearchIndex::SearchIndex(std::unique_ptr<Data> data) : m_data(std::move(data)) {}
SearchIndex::~SearchIndex() = default;

std::unique_ptr<SearchIndex> SearchIndex::build(CChatSoftware& source, const std::atomic<bool>& cancel,
                                                std::string& reason) {
    auto data = std::make_unique<Data>();
    std::unordered_map<std::string, std::uint32_t> chatNumbers;
    std::string lastJid;
    std::uint32_t lastChat = 0;
    std::vector<ReadMessage> read;
    std::string folded;
    std::string original;
    bool tooLarge = false;

    const bool complete = source.ReadMessageTexts(
        {},
        [&](const MessageText& message) {
            if (cancel.load(std::memory_order_relaxed)) {
                return false;
            }
            if (message.jid != lastJid || data->chats.empty()) {
                lastJid.assign(message.jid);
                auto [it, added] =
                    chatNumbers.emplace(lastJid, static_cast<std::uint32_t>(data->chats.size()));
                if (added) {
                    data->chats.push_back(lastJid);
                }
                lastChat = it->second;
            }
            ReadMessage entry{};
            entry.chatAndMe = lastChat << 1 | (message.fromMe ? 1U : 0U);
            entry.ordinal =
                static_cast<std::uint32_t>(std::clamp<std::int64_t>(message.ordinal, 0, UINT32_MAX));
            entry.time = message.time;
            entry.foldedBegin = static_cast<std::uint32_t>(folded.size());
            entry.originalBegin = static_cast<std::uint32_t>(original.size());
            appendFolded(message.text, folded);
            folded.push_back('\0');
            original.append(message.text);
            entry.foldedEnd = static_cast<std::uint32_t>(folded.size());
            entry.originalEnd = static_cast<std::uint32_t>(original.size());
            data->textBytes += message.text.size();
            if (folded.size() > kMaxBytes || original.size() > kMaxBytes) {
                tooLarge = true;
                return false;
            }
            read.push_back(entry);
            return true;
        },
        reason);
    if (cancel.load()) {
        reason = "The search was cancelled.";
        return nullptr;
    }
    if (tooLarge) {
        reason = "These chats hold more text than search can keep (4 GB).";
        return nullptr;
    }
    if (!complete) {
        return nullptr;
    }

    std::vector<std::uint32_t> order(read.size());
    std::iota(order.begin(), order.end(), 0U);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const ReadMessage& x = read[a];
        const ReadMessage& y = read[b];
        if (x.time != y.time) {
            return x.time > y.time;
        }
        if (x.ordinal != y.ordinal) {
            return x.ordinal > y.ordinal;
        }
        return x.chatAndMe < y.chatAndMe;
    });
    const std::size_t count = read.size();
    data->folded.reserve(folded.size());
    data->foldedStart.reserve(count + 1);
    data->chatAndMe.reserve(count);
    data->ordinal.reserve(count);
    data->time.reserve(count);
    data->original.reserve(original.size());
    data->originalStart.reserve(count + 1);
    for (std::uint32_t at : order) {
        const ReadMessage& m = read[at];
        data->foldedStart.push_back(static_cast<std::uint32_t>(data->folded.size()));
        data->folded.append(folded, m.foldedBegin, m.foldedEnd - m.foldedBegin);
        data->chatAndMe.push_back(m.chatAndMe);
        data->ordinal.push_back(m.ordinal);
        data->time.push_back(m.time);
        data->originalStart.push_back(static_cast<std::uint32_t>(data->original.size()));
        data->original.append(original, m.originalBegin, m.originalEnd - m.originalBegin);
    }
    data->foldedStart.push_back(static_cast<std::uint32_t>(data->folded.size()));
    data->originalStart.push_back(static_cast<std::uint32_t>(data->original.size()));
    return std::unique_ptr<SearchIndex>(new SearchIndex(std::move(data)));
}

std::size_t SearchIndex::messageCount() const {
    return m_data->time.size();
}

std::size_t SearchIndex::textBytes() const {
    return m_data->textBytes;
}

std::size_t SearchIndex::memoryBytes() const {
    const Data& d = *m_data;
    std::size_t bytes = d.folded.capacity() + d.original.capacity();
    bytes += (d.foldedStart.capacity() + d.chatAndMe.capacity() + d.ordinal.capacity() +
              d.originalStart.capacity()) *
             sizeof(std::uint32_t);
    bytes += d.time.capacity() * sizeof(std::int64_t);
    for (const std::string& jid : d.chats) {
        bytes += sizeof(std::string) + jid.capacity();
    }
    return bytes;
}

std::size_t SearchIndex::search(const SearchQuery& query, const std::atomic<bool>& cancel,
                                const std::function<void(std::vector<SearchHit>&&)>& batch) const {
    const Data& d = *m_data;
    const std::string needle = foldText(query.text);
    if (needle.empty() || needle.find('\0') != std::string::npos || d.time.empty()) {
        return 0;
    }
    std::uint32_t chat = 0;
    if (!query.chat.empty()) {
        auto it = std::find(d.chats.begin(), d.chats.end(), query.chat);
        if (it == d.chats.end()) {
            return 0;
        }
        chat = static_cast<std::uint32_t>(it - d.chats.begin());
    }
    // Times fall along the buffer: the range narrows the scan to a stretch of it.
    const auto first = static_cast<std::size_t>(
        std::lower_bound(d.time.begin(), d.time.end(), query.to, std::greater<>()) - d.time.begin());
    const auto last = static_cast<std::size_t>(
        std::upper_bound(d.time.begin(), d.time.end(), query.from, std::greater<>()) - d.time.begin());
    if (first >= last) {
        return 0;
    }

    std::size_t found = 0;
    std::vector<SearchHit> hits;
    const char* base = d.folded.data();
    std::size_t pos = d.foldedStart[first];
    const std::size_t end = d.foldedStart[last];
    while (pos < end) {
        const void* at = memmem(base + pos, end - pos, needle.data(), needle.size());
        if (at == nullptr) {
            break;
        }
        const auto hitPos = static_cast<std::size_t>(static_cast<const char*>(at) - base);
        const auto message = static_cast<std::size_t>(
            std::upper_bound(d.foldedStart.begin(), d.foldedStart.end(), hitPos) - d.foldedStart.begin() - 1);
        const std::size_t messageBegin = d.foldedStart[message];
        const std::size_t messageEnd = d.foldedStart[message + 1] - 1;  // before the zero byte
        pos = messageEnd + 1;
        const std::uint32_t chatAndMe = d.chatAndMe[message];
        const bool fromMe = (chatAndMe & 1U) != 0;
        if ((!query.chat.empty() && chatAndMe >> 1 != chat) || (query.who == SearchWho::Me && !fromMe) ||
            (query.who == SearchWho::Them && fromMe)) {
            continue;
        }
        const std::string_view text(d.folded.data() + messageBegin, messageEnd - messageBegin);
        std::vector<std::pair<std::size_t, std::size_t>> ranges;
        for (std::size_t from = hitPos - messageBegin; from != std::string_view::npos;
             from = text.find(needle, from + needle.size())) {
            ranges.emplace_back(from, from + needle.size());
        }
        SearchHit hit;
        hit.jid = d.chats[chatAndMe >> 1];
        hit.ordinal = d.ordinal[message];
        hit.time = d.time[message];
        hit.fromMe = fromMe;
        hit.text.assign(d.original, d.originalStart[message],
                        d.originalStart[message + 1] - d.originalStart[message]);
        hit.matches = mapFoldedRanges(hit.text, ranges);
        hits.push_back(std::move(hit));
        ++found;
        if (hits.size() >= kBatchSize) {
            batch(std::move(hits));
            hits.clear();
        }
        if (cancel.load(std::memory_order_relaxed)) {
            break;
        }
    }
    if (!hits.empty()) {
        batch(std::move(hits));
    }
    return found;
}

}  // namespace talvio
