// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "search/message_search.h"

#include "search/fold_patch.h"
#include "search/text_fold.h"
#include "sources/chat_software.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace talvio {

// Chats repeat their texts ("ok", "👍", "See you"): each distinct text is kept once, folded, with a
// patch of what folding changed (its capitals and accents) to give back the original. A query scans
// the distinct folded texts once, then walks the messages, which lie newest first, picking those
// whose text matched.
struct SearchIndexData {
    std::vector<std::string> chats;  // jid by chat number

    // Distinct texts: folded ones one after the other in `folded`, their patches in `patches`; an
    // empty patch means the text was already folded.
    std::string folded;
    std::string patches;
    std::vector<std::uint32_t> foldedStart;  // one more than texts
    std::vector<std::uint32_t> patchStart;   // one more than texts

    // Messages, newest first (ties: higher ordinal first).
    std::vector<std::uint32_t> textOf;
    std::vector<std::uint32_t> chatAndMe;  // chat number << 1 | from me
    std::vector<std::uint32_t> ordinal;
    std::vector<std::uint32_t> time;  // seconds after timeBase
    std::int64_t timeBase = 0;

    std::size_t textBytes = 0;

    std::size_t textCount() const { return foldedStart.size() - 1; }
    std::string_view foldedText(std::uint32_t text) const {
        return std::string_view(folded).substr(foldedStart[text], foldedStart[text + 1] - foldedStart[text]);
    }
    std::string_view patch(std::uint32_t text) const {
        return std::string_view(patches).substr(patchStart[text], patchStart[text + 1] - patchStart[text]);
    }
    std::string originalText(std::uint32_t text) const {
        const std::string_view p = patch(text);
        return p.empty() ? std::string(foldedText(text)) : applyFoldPatch(foldedText(text), p);
    }
};

namespace {

constexpr std::size_t kBatchSize = 256;
constexpr std::size_t kMaxBytes = std::numeric_limits<std::uint32_t>::max() - 1;
constexpr std::int64_t kFarTime = std::int64_t{1} << 40;

// A message as read, before the messages are put newest first.
struct ReadMessage {
    std::int64_t time;
    std::uint32_t ordinal;
    std::uint32_t chatAndMe;
    std::uint32_t text;
};

// Finds the distinct texts while the source reads: open addressing over the texts' hashes, the
// originals kept in one buffer of the table's own until the index is built. A node-based map
// spent a third of the build in allocations and pointer chasing.
class TextTable {
public:
    explicit TextTable(SearchIndexData& data) : m_data(data), m_slots(1U << 12) {
        m_data.foldedStart.push_back(0);
        m_data.patchStart.push_back(0);
        m_originalStart.push_back(0);
    }

    // The number of the text, added when new; false when the buffers would pass 4 GB.
    bool add(std::string_view text, std::uint32_t& number) {
        const std::uint64_t hash = std::hash<std::string_view>{}(text) | 1;  // 0 marks an empty slot
        std::size_t mask = m_slots.size() - 1;
        std::size_t at = hash & mask;
        for (; m_slots[at].hash != 0; at = (at + 1) & mask) {
            if (m_slots[at].hash == hash && original(m_slots[at].number) == text) {
                number = m_slots[at].number;
                return true;
            }
        }
        number = static_cast<std::uint32_t>(m_data.textCount());
        appendFolded(text, m_data.folded, &m_changes);
        appendFoldPatch(m_data.patches, text, m_changes);
        m_originals.append(text);
        if (m_data.folded.size() > kMaxBytes || m_data.patches.size() > kMaxBytes)
            return false;
        m_data.foldedStart.push_back(static_cast<std::uint32_t>(m_data.folded.size()));
        m_data.patchStart.push_back(static_cast<std::uint32_t>(m_data.patches.size()));
        m_originalStart.push_back(m_originals.size());
        m_slots[at] = {hash, number};
        if (++m_used * 2 > m_slots.size())
            grow();
        return true;
    }

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t number = 0;
    };

    std::string_view original(std::uint32_t number) const {
        return std::string_view(m_originals)
            .substr(m_originalStart[number], m_originalStart[number + 1] - m_originalStart[number]);
    }

    void grow() {
        std::vector<Slot> slots(m_slots.size() * 2);
        const std::size_t mask = slots.size() - 1;
        for (const Slot& slot : m_slots) {
            if (slot.hash == 0)
                continue;
            std::size_t at = slot.hash & mask;
            while (slots[at].hash != 0)
                at = (at + 1) & mask;
            slots[at] = slot;
        }
        m_slots = std::move(slots);
    }

    SearchIndexData& m_data;
    std::vector<Slot> m_slots;
    std::size_t m_used = 0;
    std::string m_originals;
    std::vector<std::size_t> m_originalStart;
    std::vector<FoldChange> m_changes;
};

// The number of the text holding folded byte at, searching on from text `from`, which holds an
// earlier byte: matches come in order, most a few texts apart, so the search gallops forward.
std::size_t textHolding(const std::vector<std::uint32_t>& starts, std::size_t from, std::size_t at) {
    std::size_t step = 1;
    std::size_t high = from + 1;
    while (high < starts.size() && starts[high] <= at) {
        from = high;
        high += step;
        step *= 2;
    }
    high = std::min(high, starts.size());
    return static_cast<std::size_t>(std::upper_bound(starts.begin() + static_cast<std::ptrdiff_t>(from),
                                                     starts.begin() + static_cast<std::ptrdiff_t>(high), at) -
                                    starts.begin() - 1);
}

}  // namespace

SearchIndex::SearchIndex(std::shared_ptr<const SearchIndexData> data) : m_data(std::move(data)) {}
SearchIndex::~SearchIndex() = default;

std::unique_ptr<SearchIndex> SearchIndex::build(CChatSoftware& source, const std::atomic<bool>& cancel,
                                                std::string& reason) {
    auto data = std::make_shared<SearchIndexData>();
    std::unordered_map<std::string, std::uint32_t> chatNumbers;
    std::string lastJid;
    std::uint32_t lastChat = 0;
    std::vector<ReadMessage> read;
    bool tooLarge = false;
    {
        TextTable texts(*data);
        const bool complete = source.ReadMessageTexts(
            {},
            [&](const MessageText& message) {
                if (cancel.load(std::memory_order_relaxed))
                    return false;
                if (message.text.empty())
                    return true;
                if (data->chats.empty() || message.jid != lastJid) {
                    lastJid.assign(message.jid);
                    auto it = chatNumbers.find(lastJid);
                    if (it == chatNumbers.end()) {
                        it = chatNumbers.emplace(lastJid, static_cast<std::uint32_t>(data->chats.size()))
                                 .first;
                        data->chats.push_back(lastJid);
                    }
                    lastChat = it->second;
                }
                ReadMessage entry{};
                // Damaged times stay far from overflowing the offsets below.
                entry.time = std::clamp<std::int64_t>(message.time, -kFarTime, kFarTime);
                entry.ordinal =
                    static_cast<std::uint32_t>(std::clamp<std::int64_t>(message.ordinal, 0, UINT32_MAX));
                entry.chatAndMe = lastChat << 1 | (message.fromMe ? 1U : 0U);
                if (!texts.add(message.text, entry.text)) {
                    tooLarge = true;
                    return false;
                }
                data->textBytes += message.text.size();
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
        if (!complete)
            return nullptr;
    }
    data->folded.shrink_to_fit();
    data->patches.shrink_to_fit();
    data->foldedStart.shrink_to_fit();
    data->patchStart.shrink_to_fit();

    std::sort(read.begin(), read.end(), [](const ReadMessage& x, const ReadMessage& y) {
        if (x.time != y.time)
            return x.time > y.time;
        if (x.ordinal != y.ordinal)
            return x.ordinal > y.ordinal;
        return x.chatAndMe < y.chatAndMe;
    });
    const std::size_t count = read.size();
    // Times as 32-bit offsets from the oldest, which reach 136 years past it; a later (damaged) time
    // reads as that far.
    data->timeBase = count > 0 ? read.back().time : 0;
    data->textOf.resize(count);
    data->chatAndMe.resize(count);
    data->ordinal.resize(count);
    data->time.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const ReadMessage& m = read[i];
        data->textOf[i] = m.text;
        data->chatAndMe[i] = m.chatAndMe;
        data->ordinal[i] = m.ordinal;
        const std::int64_t offset = m.time - data->timeBase;
        data->time[i] = static_cast<std::uint32_t>(std::min<std::int64_t>(offset, UINT32_MAX));
    }
    return std::unique_ptr<SearchIndex>(new SearchIndex(std::move(data)));
}

std::size_t SearchIndex::messageCount() const {
    return m_data->time.size();
}

std::size_t SearchIndex::textBytes() const {
    return m_data->textBytes;
}

std::size_t SearchIndex::memoryBytes() const {
    const SearchIndexData& d = *m_data;
    std::size_t bytes = d.folded.capacity() + d.patches.capacity();
    bytes += (d.foldedStart.capacity() + d.patchStart.capacity() + d.textOf.capacity() +
              d.chatAndMe.capacity() + d.ordinal.capacity() + d.time.capacity()) *
             sizeof(std::uint32_t);
    for (const std::string& jid : d.chats)
        bytes += sizeof(std::string) + jid.capacity();
    return bytes;
}

SearchResults SearchIndex::find(const SearchQuery& query, const std::atomic<bool>& cancel) const {
    const SearchIndexData& d = *m_data;
    SearchResults results;
    results.m_data = m_data;
    results.m_needle = foldText(query.text);
    const std::string& needle = results.m_needle;
    if (needle.empty() || d.time.empty())
        return results;
    std::uint32_t chat = 0;
    if (!query.chat.empty()) {
        const auto it = std::find(d.chats.begin(), d.chats.end(), query.chat);
        if (it == d.chats.end())
            return results;
        chat = static_cast<std::uint32_t>(it - d.chats.begin());
    }
    // The time range as a stretch of the messages, which lie newest first.
    if (query.to < d.timeBase || query.from > query.to)
        return results;
    const auto relative = [&](std::int64_t t) {
        return static_cast<std::uint32_t>(std::clamp<std::int64_t>(t - d.timeBase, 0, UINT32_MAX));
    };
    const std::size_t first = static_cast<std::size_t>(
        std::lower_bound(d.time.begin(), d.time.end(), relative(query.to), std::greater<>()) -
        d.time.begin());
    const std::size_t last =
        query.from <= d.timeBase
            ? d.time.size()
            : static_cast<std::size_t>(
                  std::upper_bound(d.time.begin(), d.time.end(), relative(query.from), std::greater<>()) -
                  d.time.begin());

    // Which distinct texts hold the needle: one scan of the folded texts.
    std::vector<bool> matched(d.textCount(), false);
    bool any = false;
    const char* base = d.folded.data();
    const std::size_t end = d.folded.size();
    std::size_t text = 0;
    for (std::size_t pos = 0; pos < end;) {
        const void* at = memmem(base + pos, end - pos, needle.data(), needle.size());
        if (at == nullptr)
            break;
        const auto hit = static_cast<std::size_t>(static_cast<const char*>(at) - base);
        text = textHolding(d.foldedStart, text, hit);
        // A match that runs on into the next text is none; look again from inside this one.
        if (hit + needle.size() <= d.foldedStart[text + 1]) {
            matched[text] = true;
            any = true;
            pos = d.foldedStart[text + 1];
        } else {
            pos = hit + 1;
        }
        if (cancel.load(std::memory_order_relaxed))
            return results;
    }
    if (!any)
        return results;

    const bool oneChat = !query.chat.empty();
    std::vector<bool> chatHit(d.chats.size(), false);
    for (std::size_t i = first; i < last; ++i) {
        if (!matched[d.textOf[i]])
            continue;
        const std::uint32_t chatAndMe = d.chatAndMe[i];
        const bool fromMe = (chatAndMe & 1U) != 0;
        if ((oneChat && chatAndMe >> 1 != chat) || (query.who == SearchWho::Me && !fromMe) ||
            (query.who == SearchWho::Them && fromMe))
            continue;
        results.m_messages.push_back(static_cast<std::uint32_t>(i));
        if (!chatHit[chatAndMe >> 1]) {
            chatHit[chatAndMe >> 1] = true;
            ++results.m_chatCount;
        }
    }
    if (cancel.load(std::memory_order_relaxed))
        results.m_messages.clear();
    return results;
}

std::size_t SearchIndex::search(const SearchQuery& query, const std::atomic<bool>& cancel,
                                const std::function<void(std::vector<SearchHit>&&)>& batch) const {
    const SearchResults results = find(query, cancel);
    std::vector<SearchHit> hits;
    std::size_t i = 0;
    for (; i < results.size(); ++i) {
        if (hits.size() == kBatchSize) {
            batch(std::move(hits));
            hits.clear();
            if (cancel.load(std::memory_order_relaxed))
                return i;
        }
        hits.push_back(results.hit(i));
    }
    if (!hits.empty())
        batch(std::move(hits));
    return i;
}

const std::string& SearchResults::jid(std::size_t i) const {
    return m_data->chats[m_data->chatAndMe[m_messages[i]] >> 1];
}

std::int64_t SearchResults::ordinal(std::size_t i) const {
    return m_data->ordinal[m_messages[i]];
}

std::int64_t SearchResults::time(std::size_t i) const {
    return m_data->timeBase + m_data->time[m_messages[i]];
}

bool SearchResults::fromMe(std::size_t i) const {
    return (m_data->chatAndMe[m_messages[i]] & 1U) != 0;
}

SearchHit SearchResults::hit(std::size_t i) const {
    const SearchIndexData& d = *m_data;
    const std::uint32_t message = m_messages[i];
    const std::uint32_t text = d.textOf[message];
    SearchHit hit;
    hit.jid = jid(i);
    hit.ordinal = ordinal(i);
    hit.time = time(i);
    hit.fromMe = fromMe(i);
    const std::string_view folded = d.foldedText(text);
    ByteRanges ranges;
    for (std::size_t from = folded.find(m_needle); from != std::string_view::npos;
         from = folded.find(m_needle, from + m_needle.size()))
        ranges.emplace_back(from, from + m_needle.size());
    const std::string_view patch = d.patch(text);
    hit.text = d.originalText(text);
    hit.matches = patch.empty() ? std::move(ranges) : mapFoldedRanges(foldPatchChanges(patch), ranges);
    return hit;
}

std::vector<std::int64_t> SearchResults::ordinalsIn(std::string_view jid) const {
    std::vector<std::int64_t> ordinals;
    const auto& chats = m_data->chats;
    const auto it = std::find(chats.begin(), chats.end(), jid);
    if (it == chats.end())
        return ordinals;
    const auto chat = static_cast<std::uint32_t>(it - chats.begin());
    for (const std::uint32_t message : m_messages) {
        if (m_data->chatAndMe[message] >> 1 == chat)
            ordinals.push_back(m_data->ordinal[message]);
    }
    std::sort(ordinals.begin(), ordinals.end());
    return ordinals;
}

std::size_t SearchResults::find(std::string_view jid, std::int64_t ordinal) const {
    for (std::size_t i = 0; i < m_messages.size(); ++i) {
        if (this->ordinal(i) == ordinal && this->jid(i) == jid)
            return i;
    }
    return m_messages.size();
}

}  // namespace talvio
