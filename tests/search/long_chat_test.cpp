// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/page_blocks.h"
#include "search/message_search.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/html_escape.h"
#include "sources/phone_folder.h"
#include "tests/sources/android_sql.h"
#include "tools/scale_generator.h"

#include <gtest/gtest.h>

namespace talvio {
namespace {

class LongChat : public test::SourceTest {};

// One chat of 250,000 generated messages: the hits for its first and its last text message carry
// their places, and those places are the blocks on the rendered page that show them.
TEST_F(LongChat, HitsInTheFirstAndTheLastMessage) {
    fixture::ScaleGenerator::Options options;
    options.contacts = 1;
    options.messages = 250'000;
    options.out = dir.path() + "com.whatsapp";
    options.pictures = false;
    const fixture::Failure failure = fixture::ScaleGenerator::build(options);
    ASSERT_FALSE(failure) << *failure;
    CAndroidWeiXin source(phoneFolderOf(kSourceAndroid, dir.path() + "com.whatsapp/", "", 0));
    source.LoadContacts(contactTable());
    int largest = 0;
    for (int i = 0; i < contactTable().count(); ++i) {
        if (contactTable().row(i).messageCount > contactTable().row(largest).messageCount)
            largest = i;
    }
    const ContactEntry& entry = contactTable().row(largest);
    ASSERT_GT(entry.messageCount, 200'000);

    const std::atomic<bool> cancel{false};
    std::string reason;
    const auto index = SearchIndex::build(source, cancel, reason);
    ASSERT_NE(index, nullptr) << reason;
    // The chat's first and last text messages, by place.
    SearchHit first{};
    SearchHit last{};
    first.ordinal = INT64_MAX;
    last.ordinal = -1;
    std::string reasonRead;
    ASSERT_TRUE(source.ReadMessageTexts(
        entry.jid,
        [&](const MessageText& m) {
            if (m.ordinal < first.ordinal)
                first = {std::string(m.jid), m.ordinal, m.time, m.fromMe, std::string(m.text), {}};
            if (m.ordinal > last.ordinal)
                last = {std::string(m.jid), m.ordinal, m.time, m.fromMe, std::string(m.text), {}};
            return true;
        },
        reasonRead));

    ChatPageBuffer page;
    renderContact(source, entry, kViewer, page);
    const std::string& text = page.text();
    std::vector<std::size_t> starts;
    for (std::size_t at = text.find(kSenderLineStart); at != std::string::npos;
         at = text.find(kSenderLineStart, at + 1))
        starts.push_back(at);
    starts.push_back(text.size());
    ASSERT_EQ(starts.size() - 1, static_cast<std::size_t>(entry.messageCount));

    for (const SearchHit* wanted : {&first, &last}) {
        SearchQuery query;
        query.text = wanted->text;
        query.chat = entry.jid;
        query.from = query.to = wanted->time;
        bool seen = false;
        index->search(query, cancel, [&](std::vector<SearchHit>&& hits) {
            for (const SearchHit& hit : hits)
                seen = seen || (hit.ordinal == wanted->ordinal && hit.text == wanted->text);
        });
        EXPECT_TRUE(seen) << wanted->ordinal << ": " << wanted->text;
        const auto n = static_cast<std::size_t>(wanted->ordinal);
        ASSERT_LT(n + 1, starts.size());
        const std::string_view block(text.data() + starts[n], starts[n + 1] - starts[n]);
        EXPECT_NE(block.find(escapeText(wanted->text)), std::string_view::npos) << block;
    }
    EXPECT_LT(first.ordinal, 10);
    EXPECT_GT(last.ordinal, entry.messageCount - 10);
}

}  // namespace
}  // namespace talvio
