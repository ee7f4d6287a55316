// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Going to a message: whatever way the page reached the view (whole, filled, or a window over a
// quarter of a million messages), the message ends up on screen and it alone is highlighted.
#include "browser/explorer_content.h"
#include "sources/chat_page.h"
#include "tests/browser/view_support.h"
#include "tests/support/fake_desktop.h"

#include <QTest>

#include <gmock/gmock.h>

#include <map>
#include <set>

using namespace talvio;
using namespace talvio::test;

namespace {

// Message i reads "message i." followed by text of varying length, so estimated heights are often
// wrong; a lead, when given, stands before the first sender line.
std::string chat(int messages, std::string_view lead = {}) {
    std::string page(pageHead(kViewer));
    page += lead;
    for (int i = 0; i < messages; ++i) {
        appendSenderLine(page, i % 2 ? "Me" : "&lt;b&gt;Anna&lt;/b&gt;", "2021-05-06 07:08:09");
        std::string text = "message " + std::to_string(i) + ". ";
        text.append(static_cast<std::size_t>(i * 37 % 400), i % 3 ? 'w' : ' ');
        appendTextBody(page, text);
    }
    return page;
}

// The same chat with replies: each quotes an earlier message, which carries the anchor its quote
// links to, as a modern Android page has them. A quote of a message no longer kept links nowhere
// and stands before every quoted message, so that it would mislead a count of sender lines.
std::string chatWithQuotes(int messages, std::string_view lead, const std::map<int, int>& quotes) {
    std::set<int> quoted;
    for (const auto& [reply, target] : quotes)
        quoted.insert(target);
    std::string page(pageHead(kViewer));
    page += lead;
    for (int i = 0; i < messages; ++i) {
        appendSenderLine(page, i % 2 ? "Me" : "Anna", "2021-05-06 07:08:09");
        if (quoted.count(i) != 0)
            page += "<a id=\"m" + std::to_string(1000 + i) + "\"></a>";
        const std::string quoteStart = "<div class=\"content\" style=\"margin-left:36px\">";
        const std::string quoteRest =
            "<SPAN class=\"SenderNameMe\">Anna</SPAN><br/><SPAN class=\"MsgHistory\">as "
            "you said</SPAN>";
        if (i == 0)
            page += quoteStart + quoteRest + "</div>";
        if (const auto reply = quotes.find(i); reply != quotes.end()) {
            page += quoteStart + "<a href=\"#m" + std::to_string(1000 + reply->second) +
                    "\" style=\"color:inherit\">" + quoteRest + "</a></div>";
        }
        std::string text = "message " + std::to_string(i) + ". ";
        text.append(static_cast<std::size_t>(i * 37 % 400), i % 3 ? 'w' : ' ');
        appendTextBody(page, text);
    }
    return page;
}

class MessageGoToTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.resize(800, 600);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        QObject::connect(&view, &CExplorer_content::messageShown, [this](int serial, std::int64_t ordinal) {
            shown = {serial, ordinal};
        });
    }
    void TearDown() override { EXPECT_THAT(desktop.messageTexts(), ::testing::IsEmpty()); }

    // Goes to the message and waits until the view reports it on screen.
    bool goTo(std::int64_t ordinal, std::string_view find = {}) {
        shown = {};
        view.goToMessage(ordinal, find);
        return waitUntil([&] { return shown == std::pair<int, std::int64_t>(view.currentSerial(), ordinal); },
                         60000);
    }

    // The highlighted text, when exactly one element of it is on screen (empty otherwise).
    QString highlighted() {
        return evaluate(view,
                        "(function(){const h = document.querySelectorAll('.tv-hit');"
                        "if (h.length === 0) return '';"
                        "const r = h[0].getBoundingClientRect();"
                        "if (r.top < 0 || r.top >= innerHeight) return 'off screen';"
                        "return Array.from(h).map(function(e){return e.innerText;}).join(' ');})()")
            .toString();
    }

    // The texts marked in the page, in order.
    QString marks() {
        return evaluate(view,
                        "Array.from(document.querySelectorAll('mark.tv-mark')).map(function(m){"
                        "return (m.closest('.tv-hit') ? '' : 'outside:') + m.textContent;}).join('|')")
            .toString();
    }

    // Runs script and waits until the window has stopped changing.
    void settleAfter(const QString& script) {
        evaluate(view, script);
        QString last;
        int same = 0;
        ASSERT_TRUE(waitUntil([&] {
            QTest::qWait(50);
            const QString now = evaluate(view,
                                         "(function(){const s = __talvioWindow.state();"
                                         "return s.busy ? '' : [s.first, s.end, scrollY].join(' ');})()")
                                    .toString();
            same = !now.isEmpty() && now == last ? same + 1 : 0;
            last = now;
            return same >= 4;
        }));
    }

    // Clicks the text of a link with the mouse, as the reader would.
    void clickLink(const QString& href) {
        const QVariantList box =
            evaluate(view, QStringLiteral(
                               "(function(){const r=document.querySelector('a[href=\"%1\"] .MsgHistory')"
                               ".getBoundingClientRect();return [r.left+r.width/2,r.top+r.height/2];})()")
                               .arg(href))
                .toList();
        ASSERT_EQ(box.size(), 2);
        ASSERT_GT(box[1].toDouble(), 0);
        ASSERT_LT(box[1].toDouble(), view.height());
        QTest::mouseClick(view.focusProxy(), Qt::LeftButton, {}, QPoint(box[0].toInt(), box[1].toInt()));
    }

    double highlightTop() {
        return evaluate(view, "document.querySelector('.tv-hit').getBoundingClientRect().top").toDouble();
    }

    FakeDesktop desktop;
    CExplorer_content view;
    std::pair<int, std::int64_t> shown;
};

MATCHER_P(IsMessage, i, "") {
    return arg.contains(QStringLiteral("message %1.").arg(i)) &&
           !arg.contains(QStringLiteral("message %1.").arg(i + 1));
}

}  // namespace

TEST_F(MessageGoToTest, AWholePageHighlightsTheSenderLineAndTheTextOfOneMessage) {
    ASSERT_TRUE(showAndWait(view, chat(40)));
    ASSERT_FALSE(view.isWindowed());
    for (const int i : {39, 0, 17}) {
        ASSERT_TRUE(goTo(i, "MESSAGE"));
        EXPECT_EQ(marks(), "message");
        const QString text = highlighted();
        EXPECT_THAT(text, IsMessage(i));
        EXPECT_EQ(text.contains(QStringLiteral("<b>Anna</b>")), i % 2 == 0) << text.toStdString();
    }
    EXPECT_EQ(evaluate(view, "document.querySelectorAll('.tv-hit').length").toInt(), 2);
}

TEST_F(MessageGoToTest, AFilledPageGoesToAMessageNotYetMovedIntoTheDocument) {
    view.showChatPage(std::make_shared<const std::string>(chat(1900)));
    // Straight after the page, as when a search result opens its chat.
    ASSERT_TRUE(goTo(1800));
    EXPECT_THAT(highlighted(), IsMessage(1800));
    // The text found is marked in the message gone to, and only there; markup in it is text.
    ASSERT_TRUE(goTo(3, "<b>3. "));
    EXPECT_THAT(highlighted(), IsMessage(3));
    EXPECT_EQ(marks(), "");
    ASSERT_TRUE(goTo(3, "Message 3. "));
    EXPECT_EQ(marks(), "message 3. ");
    EXPECT_EQ(evaluate(view, "document.querySelectorAll('.tv-hit').length").toInt(), 1);
}

TEST_F(MessageGoToTest, ALeadingBlockBeforeTheFirstSenderLineIsNoMessage) {
    view.showChatPage(std::make_shared<const std::string>(chat(3000, "<div>Chat exported on a phone</div>")));
    ASSERT_TRUE(goTo(0));
    EXPECT_THAT(highlighted(), IsMessage(0));
    EXPECT_FALSE(highlighted().contains(QStringLiteral("exported")));
    ASSERT_TRUE(goTo(2999));
    EXPECT_THAT(highlighted(), IsMessage(2999));
}

TEST_F(MessageGoToTest, AWindowOverAQuarterOfAMillionMessagesJumpsToTheFirstTheMiddleAndTheLast) {
    view.showChatPage(std::make_shared<const std::string>(chat(250000)));
    ASSERT_TRUE(view.isWindowed());
    // Asked before the page is cut: the view goes there once the window knows its blocks.
    ASSERT_TRUE(goTo(125000));
    EXPECT_THAT(highlighted(), IsMessage(125000));
    for (const int i : {249999, 0, 125001, 200000}) {
        ASSERT_TRUE(goTo(i, "ssage " + std::to_string(i))) << i;
        EXPECT_THAT(highlighted(), IsMessage(i));
        EXPECT_EQ(marks(), QStringLiteral("ssage %1").arg(i));
    }
    // The window holds a few screens, not the chat, and scrolling on from the message is sane:
    // blocks come in around it without moving it.
    EXPECT_LT(evaluate(view, "document.querySelectorAll('.tvb').length").toInt(), 2000);
    const double top = highlightTop();
    EXPECT_NEAR(top, 150, 5);
    settleAfter("scrollBy(0, 100)");
    EXPECT_NEAR(highlightTop(), top - 100, 1.0);
    EXPECT_THAT(highlighted(), IsMessage(200000));

    // The block leaves the document when the reader scrolls away and comes back as a new
    // element: highlighted and marked again.
    const double y = evaluate(view, "scrollY").toDouble();
    settleAfter("scrollTo(0, 0)");
    EXPECT_EQ(evaluate(view, "document.querySelectorAll('.tv-hit').length").toInt(), 0);
    settleAfter(QStringLiteral("scrollTo(0, %1)").arg(y));
    EXPECT_THAT(highlighted(), IsMessage(200000));
    EXPECT_EQ(marks(), "ssage 200000");
}

// A reply's quote goes to the message it quotes, highlighted, however the page reached the view:
// whole, filled (the message still inert in its template), or a window whose document holds
// neither the message nor its anchor, past a leading block that is no message.
TEST_F(MessageGoToTest, AQuoteGoesToTheQuotedMessageWhereverItIs) {
    struct Case {
        int messages;
        std::string_view lead;
        int reply, quoted;
    };
    for (const Case& c :
         {Case{40, {}, 30, 3}, Case{1900, {}, 1850, 4}, Case{3000, "<div>Exported</div>", 2990, 5}}) {
        SCOPED_TRACE(c.messages);
        // A second reply quotes a message a few lines above it, in the document already.
        ASSERT_TRUE(showAndWait(
            view, chatWithQuotes(c.messages, c.lead, {{c.reply, c.quoted}, {c.reply + 3, c.reply + 1}})));
        ASSERT_EQ(view.isWindowed(), c.messages > 300);
        ASSERT_TRUE(goTo(c.reply));
        shown = {};
        clickLink(QStringLiteral("#m%1").arg(1000 + c.quoted));
        ASSERT_TRUE(waitUntil([&] { return shown.second == c.quoted; }, 60000)) << shown.second;
        EXPECT_THAT(highlighted(), IsMessage(c.quoted));
        EXPECT_EQ(
            evaluate(view, QStringLiteral("!!document.getElementById('m%1')").arg(1000 + c.quoted)).toBool(),
            true);

        ASSERT_TRUE(goTo(c.reply + 3));
        shown = {};
        clickLink(QStringLiteral("#m%1").arg(1000 + c.reply + 1));
        ASSERT_TRUE(waitUntil([&] { return shown.second == c.reply + 1; }, 60000)) << shown.second;
        EXPECT_THAT(highlighted(), IsMessage(c.reply + 1));
        // The reader's address stays the chat's: nothing navigated.
        EXPECT_EQ(evaluate(view, "location.hash").toString(), "");
    }
}
