// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "search/message_search.h"

#include "tests/search/fake_text_source.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace talvio {
namespace {

std::unique_ptr<SearchIndex> indexOf(FakeTextSource& source) {
    std::atomic<bool> cancel{false};
    std::string reason;
    auto index = SearchIndex::build(source, cancel, reason);
    EXPECT_NE(index, nullptr) << reason;
    return index;
}

std::vector<SearchHit> find(const SearchIndex& index, const SearchQuery& query) {
    std::atomic<bool> cancel{false};
    std::vector<SearchHit> all;
    const std::size_t count = index.search(query, cancel, [&](std::vector<SearchHit>&& hits) {
        EXPECT_FALSE(hits.empty());
        for (SearchHit& hit : hits) {
            all.push_back(std::move(hit));
        }
    });
    EXPECT_EQ(count, all.size());
    return all;
}

std::vector<SearchHit> find(const SearchIndex& index, const std::string& text) {
    SearchQuery query;
    query.text = text;
    return find(index, query);
}

// The marked parts of each hit's text, in order.
std::vector<std::string> marked(const std::vector<SearchHit>& hits) {
    std::vector<std::string> parts;
    for (const SearchHit& hit : hits) {
        for (const auto& [begin, end] : hit.matches) {
            EXPECT_LE(begin, end);
            EXPECT_LE(end, hit.text.size());
            parts.push_back(hit.text.substr(begin, end - begin));
        }
    }
    return parts;
}

// One message per text, in one chat, in the order given, a minute apart.
std::unique_ptr<SearchIndex> indexOfTexts(const std::vector<std::string>& texts) {
    FakeTextSource source;
    std::int64_t ordinal = 0;
    for (const std::string& text : texts) {
        source.add("chat@s.whatsapp.net", ordinal, 1'600'000'000 + ordinal * 60, false, text);
        ++ordinal;
    }
    return indexOf(source);
}

std::vector<std::string> textsOf(const std::vector<SearchHit>& hits) {
    std::vector<std::string> texts;
    for (const SearchHit& hit : hits) {
        texts.push_back(hit.text);
    }
    return texts;
}

using Texts = std::vector<std::string>;

TEST(MessageSearch, FoldsCaseBeyondAscii) {
    auto index = indexOfTexts({"ΟΔΥΣΣΕΥΣ", "Οδυσσευς", "the STRASSE", "die Straße", "Fluss", "ПРИВЕТ мир"});
    // Capital, small and final sigma are one letter.
    EXPECT_EQ(textsOf(find(*index, "οδυσσευσ")), (Texts{"Οδυσσευς", "ΟΔΥΣΣΕΥΣ"}));
    EXPECT_EQ(marked(find(*index, "ΕΥΣ")), (Texts{"ευς", "ΕΥΣ"}));
    // ß is "ss" in both directions, and a match inside it marks the whole letter.
    EXPECT_EQ(textsOf(find(*index, "strasse")), (Texts{"die Straße", "the STRASSE"}));
    EXPECT_EQ(marked(find(*index, "STRAß")), (Texts{"Straß", "STRASS"}));
    EXPECT_EQ(marked(find(*index, "ß")), (Texts{"ss", "ß", "SS"}));
    EXPECT_EQ(marked(find(*index, "привет")), (Texts{"ПРИВЕТ"}));
}

TEST(MessageSearch, TurkishDottedCapitalIFoldsAsDefaultFoldingHasIt) {
    // Default folding keeps the dot: İ is "i" followed by a combining dot above, not plain "i".
    auto index = indexOfTexts({"İSTANBUL", "istanbul", "ISTANBUL", "i\u0307stanbul"});
    EXPECT_EQ(textsOf(find(*index, "İstanbul")), (Texts{"i\u0307stanbul", "İSTANBUL"}));
    EXPECT_EQ(textsOf(find(*index, "Istanbul")), (Texts{"ISTANBUL", "istanbul"}));
    EXPECT_EQ(marked(find(*index, "stanbul")).size(), 4U);
}

TEST(MessageSearch, DecomposedAndPrecomposedAccentsAreOneLetter) {
    auto index = indexOfTexts({"un cafe\u0301 noir", "CAFÉ", "cafe sans accent", "ﬁn"});
    EXPECT_EQ(marked(find(*index, "café")), (Texts{"CAFÉ", "cafe\u0301"}));
    EXPECT_EQ(marked(find(*index, "CAFE\u0301")), (Texts{"CAFÉ", "cafe\u0301"}));
    // The accent still counts: a plain "e" is another letter.
    EXPECT_EQ(textsOf(find(*index, "cafe")), (Texts{"cafe sans accent"}));
    // Compatibility forms too: the "ﬁ" ligature is "fi".
    EXPECT_EQ(marked(find(*index, "FIN")), (Texts{"ﬁn"}));
}

TEST(MessageSearch, FindsTextInsideWordsAndInScriptsWithoutSpaces) {
    auto index = indexOfTexts({"我们明天去北京吃饭", "東京タワーに行きました", "สวัสดีครับ", "see you🎉tomorrow",
                               "unbelievable", "👍🏽ok"});
    EXPECT_EQ(marked(find(*index, "北京")), (Texts{"北京"}));
    EXPECT_EQ(marked(find(*index, "タワー")), (Texts{"タワー"}));
    EXPECT_EQ(marked(find(*index, "ดีคร")), (Texts{"ดีคร"}));
    EXPECT_EQ(marked(find(*index, "🎉TOM")), (Texts{"🎉tom"}));
    EXPECT_EQ(marked(find(*index, "BELIEV")), (Texts{"believ"}));
    EXPECT_EQ(marked(find(*index, "👍🏽")), (Texts{"👍🏽"}));
}

TEST(MessageSearch, MetacharactersAreLiteralText) {
    auto index =
        indexOfTexts({"use <b>bold</b> here", "a.*b", "Tom &amp; Jerry", "Tom & Jerry", "(a|b)\\d+"});
    EXPECT_EQ(marked(find(*index, "<b>")), (Texts{"<b>"}));
    EXPECT_EQ(textsOf(find(*index, ".*")), (Texts{"a.*b"}));
    EXPECT_EQ(textsOf(find(*index, "&amp;")), (Texts{"Tom &amp; Jerry"}));
    EXPECT_EQ(textsOf(find(*index, "&")), (Texts{"Tom & Jerry", "Tom &amp; Jerry"}));
    EXPECT_EQ(textsOf(find(*index, "|b)\\")), (Texts{"(a|b)\\d+"}));
}

TEST(MessageSearch, MarksEveryMatchOfAMessageWithoutOverlapping) {
    auto index = indexOfTexts({"aaaa", "Banana BANANA"});
    auto hits = find(*index, "ana");
    ASSERT_EQ(hits.size(), 1U);
    EXPECT_EQ(hits[0].matches, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 4}, {8, 11}}));
    hits = find(*index, "aa");
    ASSERT_EQ(hits.size(), 1U);
    EXPECT_EQ(hits[0].matches, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 2}, {2, 4}}));
}

TEST(MessageSearch, NothingToFind) {
    auto index = indexOfTexts({"something", "a\u200dzero width joiner"});
    EXPECT_TRUE(find(*index, "").empty());
    // Folding removes a lone joiner: a query of nothing visible finds nothing, not everything.
    EXPECT_TRUE(find(*index, "\u200d").empty());
    EXPECT_TRUE(find(*index, "thing else").empty());
    // No match runs from one message into the next.
    EXPECT_TRUE(find(*index, "somethinga").empty());
}

TEST(MessageSearch, HitsComeNewestFirstAndNarrow) {
    FakeTextSource source;
    const std::string alice = "alice@s.whatsapp.net";
    const std::string group = "<b>team</b>@g.us";
    source.add(alice, 0, 1000, false, "plan A");
    source.add(alice, 1, 3000, true, "plan B");
    source.add(group, 10, 2000, false, "plan C");
    source.add(group, 11, 3000, false, "plan D");  // same second as "plan B": the higher ordinal wins
    source.add(group, 12, 4000, true, "plan E");
    source.add(alice, 2, 5000, false, "no match");
    auto index = indexOf(source);
    EXPECT_EQ(index->messageCount(), 6U);

    SearchQuery query;
    query.text = "PLAN";
    EXPECT_EQ(textsOf(find(*index, query)), (Texts{"plan E", "plan D", "plan B", "plan C", "plan A"}));
    auto hits = find(*index, query);
    EXPECT_EQ(hits[0].jid, group);
    EXPECT_EQ(hits[0].ordinal, 12);
    EXPECT_EQ(hits[0].time, 4000);
    EXPECT_TRUE(hits[0].fromMe);

    query.chat = group;
    EXPECT_EQ(textsOf(find(*index, query)), (Texts{"plan E", "plan D", "plan C"}));
    query.chat = "nobody@s.whatsapp.net";
    EXPECT_TRUE(find(*index, query).empty());
    query.chat.clear();

    query.from = 2000;
    query.to = 3000;
    EXPECT_EQ(textsOf(find(*index, query)), (Texts{"plan D", "plan B", "plan C"}));
    query.who = SearchWho::Them;
    EXPECT_EQ(textsOf(find(*index, query)), (Texts{"plan D", "plan C"}));
    query.who = SearchWho::Me;
    EXPECT_EQ(textsOf(find(*index, query)), (Texts{"plan B"}));
    query.from = 3001;
    query.to = 3999;
    EXPECT_TRUE(find(*index, query).empty());

    // What the window asks of the results without working out texts.
    const std::atomic<bool> cancel{false};
    const SearchResults results = index->find(SearchQuery{"plan", {}}, cancel);
    ASSERT_EQ(results.size(), 5U);
    EXPECT_EQ(results.chatCount(), 2U);
    EXPECT_EQ(results.ordinalsIn(group), (std::vector<std::int64_t>{10, 11, 12}));
    EXPECT_EQ(results.ordinalsIn(alice), (std::vector<std::int64_t>{0, 1}));
    EXPECT_EQ(results.find(alice, 1), 2U);
    EXPECT_EQ(results.find(alice, 2), results.size());
    EXPECT_EQ(results.hit(2).text, "plan B");
}

TEST(MessageSearch, FirstAndLastMessageOfALongChat) {
    FakeTextSource source;
    constexpr int kMessages = 250'000;
    for (int i = 0; i < kMessages; ++i) {
        const std::string text = i == 0               ? "the very first"
                                 : i == kMessages - 1 ? "the very last"
                                                      : "filler " + std::to_string(i);
        source.add("long@s.whatsapp.net", i, 1'500'000'000 + i, i % 2 == 0, text);
    }
    auto index = indexOf(source);
    auto hits = find(*index, "THE VERY");
    ASSERT_EQ(hits.size(), 2U);
    EXPECT_EQ(hits[0].ordinal, kMessages - 1);
    EXPECT_EQ(hits[0].text, "the very last");
    EXPECT_EQ(hits[1].ordinal, 0);
    // Many hits arrive in several batches, in order, and their count is the sum.
    std::atomic<bool> cancel{false};
    std::size_t batches = 0;
    std::int64_t previous = INT64_MAX;
    const std::size_t count = index->search({"filler", {}, INT64_MIN, INT64_MAX, SearchWho::Anyone}, cancel,
                                            [&](std::vector<SearchHit>&& batch) {
                                                ++batches;
                                                for (const SearchHit& hit : batch) {
                                                    EXPECT_LT(hit.ordinal, previous);
                                                    previous = hit.ordinal;
                                                }
                                            });
    EXPECT_EQ(count, static_cast<std::size_t>(kMessages - 2));
    EXPECT_GT(batches, 1U);
}

TEST(MessageSearch, CancelAndFailure) {
    FakeTextSource source;
    for (int i = 0; i < 5000; ++i) {
        source.add("a@s.whatsapp.net", i, i, false, "word");
    }
    std::atomic<bool> cancel{true};
    std::string reason;
    EXPECT_EQ(SearchIndex::build(source, cancel, reason), nullptr);
    EXPECT_FALSE(reason.empty());

    auto index = indexOf(source);
    std::size_t delivered = 0;
    const std::size_t count = index->search({"word", {}, INT64_MIN, INT64_MAX, SearchWho::Anyone}, cancel,
                                            [&](std::vector<SearchHit>&& hits) { delivered += hits.size(); });
    EXPECT_LT(count, 5000U);
    EXPECT_EQ(count, delivered);

    FakeTextSource broken;
    broken.failWith("The file is not a database.");
    cancel = false;
    reason.clear();
    EXPECT_EQ(SearchIndex::build(broken, cancel, reason), nullptr);
    EXPECT_EQ(reason, "The file is not a database.");
}

TEST(MessageSearch, OriginalsComeBackByteForByte) {
    // The index keeps a text folded, with what folding changed: joiners it drops, ligatures and
    // full-width letters it replaces, letters it doubles, bytes it cannot read.
    const Texts texts = {"👨\u200d👩\u200d👧 x family",
                         "ﬁx",
                         "İx",
                         "Straßex",
                         "cafe\u0301 x",
                         "\xffx\xc3",
                         "ÅNGSTRÖM x",
                         "x\u00a0y",
                         "ＡＢＣx",
                         "ΣΊΣΥΦΟΣ x",
                         "x",
                         "plain x"};
    auto index = indexOfTexts(texts);
    auto hits = find(*index, "x");
    Texts found = textsOf(hits);
    std::sort(found.begin(), found.end());
    Texts expected = texts;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
    // Every mark covers whole characters of the original.
    for (const SearchHit& hit : find(*index, "👩")) {
        ASSERT_EQ(hit.matches.size(), 1U);
        EXPECT_EQ(hit.text.substr(hit.matches[0].first, hit.matches[0].second - hit.matches[0].first), "👩");
    }
    EXPECT_EQ(marked(find(*index, "abc")), (Texts{"ＡＢＣ"}));
    EXPECT_EQ(marked(find(*index, "x y")), (Texts{"x\u00a0y"}));
}

TEST(MessageSearch, IllFormedTextIsSafe) {
    auto index = indexOfTexts({std::string("ok \xff\xfe caf\xc3 \xe2\x82 end"), "fine"});
    auto hits = find(*index, "END");
    ASSERT_EQ(hits.size(), 1U);
    EXPECT_EQ(marked(hits), (Texts{"end"}));
    // Ill-formed bytes stay as they are, beside folded neighbours.
    EXPECT_EQ(marked(find(*index, "\xc3 \xe2\x82 END")), (Texts{"\xc3 \xe2\x82 end"}));
}

}  // namespace
}  // namespace talvio
