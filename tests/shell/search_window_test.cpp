// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The search above the contact list, as a reader uses it: typing, the results, going to a hit.
#include "shell/chat_hits.h"
#include "shell/chat_text_view.h"
#include "shell/find_bar.h"
#include "shell/load_workflow.h"
#include "shell/search_field.h"
#include "shell/search_panel.h"
#include "shell/search_results_model.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/phone_folder.h"
#include "tests/sources/android_sql.h"
#include "tests/support/android_folder.h"
#include "tests/support/wait.h"
#include "window_fixture.h"

#include <QLabel>
#include <QListView>
#include <QSemaphore>
#include <QTest>
#include <QThreadPool>
#include <QTreeWidget>

#include <gmock/gmock.h>

namespace talvio {
namespace {

using test::contactRow;
using test::messageRow;
using test::waitUntil;
using test::WindowTest;

// Anna, a contact whose name is markup, and Ólafur; the list adds its row of group members
// without a group.
std::string messages() {
    return messageRow("491@s.whatsapp.net", 0, "0", "1600000000000", "Let's meet at the Caf\u00e9 tomorrow") +
           messageRow("491@s.whatsapp.net", 1, "0", "1600000100000", "the ADDRESS is Main Street 5") +
           messageRow("491@s.whatsapp.net", 0, "0", "1600000200000", "ok\nmeet you there") +
           messageRow("491@s.whatsapp.net", 1, "0", "1600000300000", "no match here") +
           messageRow("491@s.whatsapp.net", 0, "0", "1600000400000", "MEET again? cafe\u0301 or not") +
           messageRow("492@s.whatsapp.net", 0, "0", "1600000500000", "address: <i>secret</i> & more") +
           messageRow("493@s.whatsapp.net", 1, "0", "1600000600000",
                      "\u03a3\u038a\u03a3\u03a5\u03a6\u039f\u03a3 address");
}

std::string contacts() {
    return contactRow("491@s.whatsapp.net", "Anna", nullptr) +
           contactRow("492@s.whatsapp.net", "<b>Bold</b> & Co", nullptr) +
           contactRow("493@s.whatsapp.net", "\u00d3lafur", nullptr);
}

class SearchWindow : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        test::makeAndroidFolder(folder.path(), messages(), contacts());
        setLoadPaths(kSourceAndroid, folder.path(), "");
        loadChosenFolder(window);
        window.setStartUpDialogEnabled(false);
        window.resize(1000, 700);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    SearchPanel& panel() { return *window.searchPanel(); }
    SearchResultsModel& results() { return *panel().model(); }

    // Types the query and waits until every hit has come.
    void search(const QString& text) {
        panel().field()->setText(text);
        ASSERT_TRUE(waitUntil([&] { return !panel().status()->text().contains(QStringLiteral("\u2026")); }));
    }

    QStringList shownContacts() {
        QStringList names;
        QTreeWidget* list = window.contactList();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (!list->topLevelItem(i)->isHidden())
                names.append(list->topLevelItem(i)->text(0));
        }
        return names;
    }

    int rowOf(const QString& name) {
        const auto found = window.contactList()->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? -1 : window.contactList()->indexOfTopLevelItem(found.first());
    }

    // The message text of the chat page's message at ordinal, as the page shows it (escaped).
    std::string pageMessage(std::int64_t ordinal) {
        const std::string& page = chatPageBuffer().text();
        const std::string line = "<SPAN class=\"SenderNameMe\">";
        std::size_t at = std::string::npos;
        for (std::int64_t i = 0; i <= ordinal; ++i) {
            at = page.find(line, at == std::string::npos ? 0 : at + 1);
            if (at == std::string::npos)
                return {};
        }
        const std::size_t next = page.find(line, at + 1);
        return page.substr(at, next == std::string::npos ? std::string::npos : next - at);
    }

    std::int64_t goneTo() { return dynamic_cast<ChatTextView&>(*window.chatView()).messageGoneTo(); }

    CMireloDlg window;
};

TEST_F(SearchWindow, TypingNarrowsTheContactsByNameOrNumberInAnyCase) {
    EXPECT_EQ(shownContacts().size(), 4);
    panel().field()->setText(QStringLiteral("ANN"));
    EXPECT_EQ(shownContacts(), QStringList{"Anna"});
    // Folding beyond ASCII, and the decomposed accent as the composed one.
    panel().field()->setText(QStringLiteral("o\u0301laf"));
    EXPECT_EQ(shownContacts(), QStringList{"\u00d3lafur"});
    panel().field()->setText(QStringLiteral("492"));
    EXPECT_EQ(shownContacts(), QStringList{"<b>Bold</b> & Co"});
    panel().field()->setText(QStringLiteral("<b>"));
    EXPECT_EQ(shownContacts(), QStringList{"<b>Bold</b> & Co"});
}

TEST_F(SearchWindow, ResultsComeNewestFirstWithTheirCountAndMarkupAsText) {
    search(QStringLiteral("address"));
    ASSERT_EQ(results().rowCount(), 3);
    EXPECT_EQ(panel().status()->text(), "3 messages in 3 chats");
    QStringList names;
    for (int i = 0; i < 3; ++i)
        names.append(results().index(i).data(SearchResultsModel::ContactRole).toString());
    EXPECT_EQ(names, (QStringList{"\u00d3lafur", "<b>Bold</b> & Co", "Anna"}));
    const QModelIndex bold = results().index(1);
    EXPECT_EQ(bold.data(SearchResultsModel::LineRole).toString(), "address: <i>secret</i> & more");
    // A tip is rich text whenever it looks like it: the message goes in escaped.
    EXPECT_THAT(bold.data(Qt::ToolTipRole).toString().toStdString(),
                ::testing::HasSubstr("&lt;i&gt;secret&lt;/i&gt; &amp; more"));
    EXPECT_EQ(bold.data(SearchResultsModel::MarksRole).toList(), (QVariantList{QPoint(0, 7)}));
    EXPECT_GT(results().index(0).data(SearchResultsModel::TimeRole).toString(),
              results().index(2).data(SearchResultsModel::TimeRole).toString());
    EXPECT_TRUE(panel().resultsBox()->isVisible());
}

TEST_F(SearchWindow, CtrlFFocusesTheFieldAndEscapeClearsIt) {
    window.activateWindow();
    window.contactList()->setFocus();
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(panel().field()->hasFocus());
    QTest::keyClicks(panel().field(), QStringLiteral("meet"));
    ASSERT_TRUE(waitUntil([&] { return results().rowCount() == 3; }));
    EXPECT_EQ(shownContacts(), QStringList{});
    // Down goes into the results, Up from the first one back to the field.
    QTest::keyClick(panel().field(), Qt::Key_Down);
    EXPECT_TRUE(panel().results()->hasFocus());
    QTest::keyClick(panel().results(), Qt::Key_Up);
    ASSERT_TRUE(panel().field()->hasFocus());
    QTest::keyClick(panel().field(), Qt::Key_Escape);
    EXPECT_EQ(panel().field()->text(), "");
    EXPECT_EQ(shownContacts().size(), 4);
    EXPECT_EQ(results().rowCount(), 0);
    EXPECT_FALSE(panel().resultsBox()->isVisible());
    EXPECT_FALSE(window.findBar()->isVisible());
}

TEST_F(SearchWindow, ChoosingAResultOpensItsChatAtItsMessage) {
    search(QStringLiteral("address"));
    for (const int row : {2, 1}) {
        const SearchHit hit = results().hit(row);
        panel().choose(row);
        const int contact = rowOf(results().contactOf(hit.jid));
        EXPECT_EQ(programState().currentContactIndex, contact);
        EXPECT_EQ(goneTo(), hit.ordinal);
        EXPECT_THAT(pageMessage(hit.ordinal), ::testing::HasSubstr(row == 2 ? "the ADDRESS is Main Street 5"
                                                                            : "address: &lt;i&gt;secret"));
    }
    // A hit's chat opens even when the field hides its contact.
    search(QStringLiteral("\u03c3\u03af\u03c3\u03c5\u03c6\u03bf\u03c2"));
    ASSERT_EQ(results().rowCount(), 1);
    EXPECT_EQ(shownContacts(), QStringList{});
    panel().choose(0);
    EXPECT_EQ(programState().currentContactIndex, rowOf(QStringLiteral("\u00d3lafur")));
    EXPECT_EQ(shownContacts(), QStringList{"\u00d3lafur"});
}

TEST_F(SearchWindow, F3StepsThroughTheOpenChatsHitsAndTheBarCounts) {
    search(QStringLiteral("meet"));
    ASSERT_EQ(results().rowCount(), 3);
    // The newest hit is the last of the chat's three in page order.
    panel().choose(0);
    EXPECT_EQ(window.findBar()->countText(), "3 of 3");
    const std::int64_t last = goneTo();
    std::vector<std::int64_t> visited;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&window, Qt::Key_F3);
        visited.push_back(goneTo());
        EXPECT_EQ(window.findBar()->countText(), QStringLiteral("%1 of 3").arg(i + 1));
    }
    EXPECT_TRUE(std::is_sorted(visited.begin(), visited.end()));
    EXPECT_EQ(visited.back(), last);
    QTest::keyClick(&window, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(window.findBar()->countText(), "2 of 3");
    EXPECT_EQ(goneTo(), visited[1]);
    // Enter and Shift+Enter in the field do the same.
    QTest::keyClick(panel().field(), Qt::Key_Return);
    EXPECT_EQ(window.findBar()->countText(), "3 of 3");
    QTest::keyClick(panel().field(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(window.findBar()->countText(), "2 of 3");
    EXPECT_THAT(pageMessage(goneTo()), ::testing::HasSubstr("meet you there"));
}

TEST_F(SearchWindow, NarrowingToTheOpenChatToWhoWroteAndToDays) {
    search(QStringLiteral("a"));
    const int everything = results().rowCount();
    ASSERT_EQ(everything, 6);
    panel().setWho(SearchWho::Me);
    ASSERT_TRUE(waitUntil([&] { return !panel().status()->text().contains(QStringLiteral("\u2026")); }));
    EXPECT_EQ(results().rowCount(), 3);
    for (int row = 0; row < results().rowCount(); ++row)
        EXPECT_TRUE(results().hit(row).fromMe);
    panel().setWho(SearchWho::Anyone);
    window.contactList()->setCurrentItem(window.contactList()->topLevelItem(rowOf(QStringLiteral("Anna"))));
    panel().setOnlyOpenChat(true);
    ASSERT_TRUE(waitUntil([&] { return !panel().status()->text().contains(QStringLiteral("\u2026")); }));
    EXPECT_EQ(results().rowCount(), 4);
    panel().setOnlyOpenChat(false);
    // 1600000000 s is 2020-09-13 12:26 UTC; the rest follow within minutes.
    panel().setDays(QDate(2020, 9, 1), QDate(2020, 9, 11));
    ASSERT_TRUE(waitUntil([&] { return !panel().status()->text().contains(QStringLiteral("\u2026")); }));
    EXPECT_EQ(results().rowCount(), 0);
    panel().setDays(QDate(2020, 9, 12), QDate(2020, 9, 14));
    ASSERT_TRUE(waitUntil([&] { return !panel().status()->text().contains(QStringLiteral("\u2026")); }));
    EXPECT_EQ(results().rowCount(), everything);
}

TEST_F(SearchWindow, ANewerQueryCancelsTheOlderOne) {
    // One pool thread, held up until both queries have been asked for.
    QThreadPool pool;
    pool.setMaxThreadCount(1);
    SearchRunner runner(&pool);
    runner.setSource(window.currentSource());
    bool built = false;
    QObject::connect(&runner, &SearchRunner::indexBuilt, [&] { built = true; });
    std::map<int, bool> cancelled;
    std::map<int, std::size_t> hits;
    QObject::connect(&runner, &SearchRunner::hitsFound,
                     [&](int generation, const FoundMessages& found) { hits[generation] += found->size(); });
    QObject::connect(&runner, &SearchRunner::finished, [&](int generation, qsizetype, bool wasCancelled) {
        cancelled[generation] = wasCancelled;
    });
    SearchQuery query;
    query.text = "a";
    runner.start(query);
    ASSERT_TRUE(waitUntil([&] { return built && !cancelled.empty(); }));

    QSemaphore gate;
    pool.start([&gate] { gate.acquire(); });
    const int older = runner.start(query);
    query.text = "meet";
    const int newer = runner.start(query);
    gate.release();
    ASSERT_TRUE(waitUntil([&] { return cancelled.count(older) == 1 && cancelled.count(newer) == 1; }));
    EXPECT_TRUE(cancelled[older]);
    EXPECT_EQ(hits[older], 0u);
    EXPECT_FALSE(cancelled[newer]);
    EXPECT_EQ(hits[newer], 3u);
}

TEST(SearchHitLine, MarksLandOnTheRightLettersOfAFlattenedLine) {
    SearchHit hit;
    // Two-byte, three-byte and four-byte letters ahead of the match, and a line break.
    hit.text = "\u00e9\u65e5\U0001F600\nabc";
    hit.matches = {{hit.text.size() - 3, hit.text.size() - 1}};
    const HitLine line = hitLine(hit);
    EXPECT_EQ(line.text, QString::fromUtf8("\u00e9\u65e5\U0001F600 abc"));
    ASSERT_EQ(line.marks.size(), 1);
    EXPECT_EQ(line.text.mid(line.marks[0].first, line.marks[0].second), "ab");

    // A long text starts near the match, at a word.
    hit.text = std::string(200, 'x') + " lorem ipsum dolor sit amet target end";
    const std::size_t at = hit.text.find("target");
    hit.matches = {{at, at + 6}};
    const HitLine cut = hitLine(hit);
    EXPECT_EQ(cut.text, QStringLiteral("\u2026ipsum dolor sit amet target end"));
    EXPECT_EQ(cut.text.mid(cut.marks[0].first, cut.marks[0].second), "target");
}

TEST(ChatHitsOrder, HitsArrivingOutOfOrderKeepTheCurrentOneAndWrapAround) {
    ChatHits hits;
    hits.reset("a");
    for (const std::int64_t ordinal : {40, 10})
        hits.add(ordinal);
    EXPECT_EQ(hits.next(), 10);
    hits.add(5);   // lands before the current hit
    hits.add(40);  // a batch may repeat a hit
    EXPECT_EQ(hits.position(), 2u);
    EXPECT_EQ(hits.count(), 3u);
    EXPECT_EQ(hits.next(), 40);
    EXPECT_EQ(hits.next(), 5);
    EXPECT_EQ(hits.previous(), 40);
    EXPECT_FALSE(hits.goTo(11));
    EXPECT_EQ(hits.position(), 3u);
    hits.reset("b");
    EXPECT_EQ(hits.previous(), -1);
    hits.add(7);
    EXPECT_EQ(hits.previous(), 7);
}

}  // namespace
}  // namespace talvio
