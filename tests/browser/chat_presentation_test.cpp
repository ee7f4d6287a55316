// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/chat_scheme.h"
#include "browser/explorer_content.h"
#include "sources/chat_page.h"
#include "sources/program_state.h"
#include "tests/browser/view_support.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace talvio;
using namespace talvio::test;

namespace {

std::string page(std::string_view sender, std::string_view time, std::string_view text) {
    std::string out(pageHead(kViewer));
    appendSenderLine(out, sender, time);
    appendTextBody(out, text);
    return out;
}

class ChatPresentationTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.resize(360, 400);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    void TearDown() override {
        resetProgramState();
        setChatPageView(nullptr);
    }
    // Left edges of single characters of the first element matching selector, by their offsets.
    QList<int> characterLefts(const QString& selector, const QList<int>& offsets) {
        QStringList list;
        for (int offset : offsets)
            list << QString::number(offset);
        const QVariantList lefts =
            evaluate(view, QStringLiteral(
                               "(function(){const t=document.querySelector('%1').firstChild;"
                               "return [%2].map(i=>{const r=document.createRange();r.setStart(t,i);"
                               "r.setEnd(t,i+1);return Math.round(r.getBoundingClientRect().left);});})()")
                               .arg(selector, list.join(QLatin1Char(','))))
                .toList();
        QList<int> out;
        for (const QVariant& left : lefts)
            out << left.toInt();
        return out;
    }

    CExplorer_content view;
};

}  // namespace

TEST_F(ChatPresentationTest, TheEmptyStartPageHasNoHorizontalScrollBar) {
    // The view's first page comes up by itself; a narrow view is where a wide line would show.
    view.resize(150, 300);
    const QString address = ChatSchemeHandler::address(view.currentSerial()).toString();
    ASSERT_TRUE(waitUntil([&] {
        return evaluate(view, "location.href+' '+document.readyState").toString() == address + " complete" &&
               evaluate(view, "innerWidth").toInt() <= 150;
    }));
    EXPECT_TRUE(evaluate(view, "document.documentElement.scrollWidth<=document.documentElement.clientWidth")
                    .toBool());
}

TEST_F(ChatPresentationTest, ARightToLeftSenderLineReadsNameThenTime) {
    ASSERT_TRUE(showAndWait(view, page("سلمى العلي", "2021-04-13 19:05:00", "مرحبا")));
    // Read left to right the time starts with its year: "2" lies left of "19" and of the day.
    const QList<int> lefts = characterLefts(QStringLiteral(".MsgTime"), {0, 8, 11});
    ASSERT_EQ(lefts.size(), 3);
    EXPECT_LT(lefts[0], lefts[1]);
    EXPECT_LT(lefts[1], lefts[2]);
    // And the name comes first.
    EXPECT_TRUE(evaluate(view,
                         "document.querySelector('.SenderNameMe').getBoundingClientRect().right<="
                         "document.querySelector('.MsgTime').getBoundingClientRect().left")
                    .toBool());
}

TEST_F(ChatPresentationTest, MessagesKeepTheirLinesAndWrapBetweenWords) {
    ASSERT_TRUE(
        showAndWait(view, page("Anna", "2021-04-13 19:05:00", "BEGIN:VCARD\nVERSION:3.0\nEND:VCARD")));
    // Three lines, however the browser cuts the span into boxes.
    EXPECT_EQ(evaluate(view,
                       "new Set([...document.querySelector('.MsgHistory').getClientRects()]"
                       ".filter(r=>r.width>0).map(r=>Math.round(r.top))).size")
                  .toInt(),
              3);

    const std::string sentence =
        "Wir sollten uns jetzt wirklich beeilen, sonst verpassen wir den Zug nach Hamburg. ";
    std::string german;
    for (int i = 0; i < 6; ++i)
        german += sentence;
    const std::string address = "https://example.org/" + std::string(300, 'x');
    ASSERT_TRUE(showAndWait(view, page("Anna", "2021-04-13 19:05:00", german + address)));
    // Every word of the long text lies on one line: none is cut at the end of a line.
    const int cutWords =
        evaluate(
            view,
            "(function(){const t=document.querySelector('.MsgHistory').firstChild;const s=t.data;"
            "let cut=0,lines=new Set();const re=/[A-Za-zäöü]+/g;let m;const end=s.indexOf('https');"
            "while((m=re.exec(s))!==null&&m.index<end){const r=document.createRange();r.setStart(t,m.index);"
            "r.setEnd(t,m.index+m[0].length);const rects=r.getClientRects();if(rects.length>1)cut++;"
            "lines.add(Math.round(rects[0].top));}return lines.size>3?cut:-1;})()")
            .toInt();
    EXPECT_EQ(cutWords, 0) << "-1: the text did not wrap at all";
    // The unbroken address still wraps inside the view.
    EXPECT_TRUE(evaluate(view, "document.documentElement.scrollWidth<=document.documentElement.clientWidth")
                    .toBool());
}
