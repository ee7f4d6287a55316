// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The windowed view of huge chats: every message reachable, and the page never jumps while blocks
// come and go around the viewport.
#include "browser/explorer_content.h"
#include "sources/chat_page.h"
#include "tests/browser/view_support.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/temp_dir.h"

#include <QFile>
#include <QImage>
#include <QTest>

#include <gmock/gmock.h>

using namespace talvio;
using namespace talvio::test;

namespace {

// Messages of very different lengths, so that the estimated heights are often wrong, and now and
// then a picture, whose height is known only once it has loaded (each its own file, so that none
// comes from the browser's memory with its size already known).
std::string unevenChat(int messages, const std::string& folder) {
    std::string page(pageHead(kViewer));
    for (int i = 0; i < messages; ++i) {
        appendSenderLine(page, i % 2 ? "Me" : "Anna", "2021-05-06 07:08:09");
        if (i % 40 == 17) {
            const std::string picture = folder + std::to_string(i) + ".png";
            if (!QFile::copy(QString::fromStdString(folder + "tall.png"), QString::fromStdString(picture)))
                return {};
            appendBody(page, BodyKind::ImageViewer, picture);
            continue;
        }
        std::string text = "message " + std::to_string(i) + " ";
        text += std::string(static_cast<std::size_t>(i * 37 % 700), i % 3 ? 'w' : ' ');
        if (i % 5 == 0)
            text += " 你好，世界 😀👍🏽";
        appendTextBody(page, text);
    }
    return page;
}

class ChatWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pictures = new TempDir;
        QImage picture(60, 700, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        ASSERT_TRUE(picture.save(QString::fromStdString(s_pictures->path() + "tall.png")));
        s_page = new std::string(unevenChat(12000, s_pictures->path()));
    }
    static void TearDownTestSuite() {
        delete s_page;
        delete s_pictures;
    }

    void SetUp() override {
        ASSERT_FALSE(s_page->empty());
        view.resize(800, 600);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        ASSERT_TRUE(showAndWait(view, *s_page));
        ASSERT_TRUE(view.isWindowed());
        ASSERT_TRUE(waitUntil([&] { return state().value("count").toInt() == 12000; }));
    }

    void TearDown() override {
        // A script error would have shown a box.
        EXPECT_THAT(desktop.messageTexts(), ::testing::IsEmpty());
    }

    QVariantMap state() { return evaluate(view, "__talvioWindow.state()").toMap(); }

    // Runs script, then waits until the window has answered whatever it caused: until nothing is
    // on its way and neither the window nor the scroll position has changed for a while. (A fixed
    // wait missed scroll events that a loaded machine delivered late.)
    void scrollAndSettle(const QString& script) {
        evaluate(view, script);
        const QString probe = QStringLiteral(
            "(function(){const s = __talvioWindow.state(); return s.busy ? '' : [s.first, s.end, s.total, "
            "scrollY, document.documentElement.scrollHeight].join(' ');})()");
        QString last;
        int same = 0;
        ASSERT_TRUE(waitUntil([&] {
            QTest::qWait(30);
            const QString now = evaluate(view, probe).toString();
            same = !now.isEmpty() && now == last ? same + 1 : 0;
            last = now;
            return same >= 4;
        }));
    }

    // Remembers the first block that reaches below height y of the viewport, and where it is.
    void markBlockAt(int y) {
        evaluate(view, QStringLiteral(
                           "window.__probe = Array.from(document.querySelectorAll('.tvb')).find(function(b){"
                           "return b.getBoundingClientRect().bottom > %1;});"
                           "window.__probeTop = __probe.getBoundingClientRect().top;")
                           .arg(y));
    }

    // The number of the first text message that reaches below height y of the viewport.
    int messageAt(int y) {
        const QString text =
            evaluate(view, QStringLiteral(
                               "(function(){const b = Array.from(document.querySelectorAll('.tvb')).find("
                               "function(b){return b.getBoundingClientRect().bottom > %1 && "
                               "b.innerText.includes('message ');}); return b ? b.innerText : '';})()")
                               .arg(y))
                .toString();
        const qsizetype at = text.indexOf(QStringLiteral("message "));
        return at < 0 ? -1 : text.mid(at + 8).section(QLatin1Char(' '), 0, 0).toInt();
    }

    static TempDir* s_pictures;
    static std::string* s_page;
    FakeDesktop desktop;
    CExplorer_content view;
};

TempDir* ChatWindowTest::s_pictures = nullptr;
std::string* ChatWindowTest::s_page = nullptr;

}  // namespace

TEST_F(ChatWindowTest, ReachesTheFirstTheMiddleAndTheLastMessage) {
    EXPECT_EQ(messageAt(30), 0);
    EXPECT_LT(evaluate(view, "document.querySelectorAll('.tvb').length").toInt(), 1000);

    scrollAndSettle("scrollTo(0, document.documentElement.scrollHeight)");
    EXPECT_TRUE(
        evaluate(view, "scrollY + innerHeight >= document.documentElement.scrollHeight - 1").toBool());
    EXPECT_EQ(state().value("end").toInt(), 12000);
    EXPECT_TRUE(
        evaluate(view,
                 "document.getElementById('tv-win').lastElementChild.innerText.includes('message 11999')")
            .toBool());

    scrollAndSettle("scrollTo(0, document.documentElement.scrollHeight / 2)");
    const int middle = messageAt(300);
    EXPECT_GT(middle, 3000);
    EXPECT_LT(middle, 9000);

    scrollAndSettle("scrollTo(0, 0)");
    EXPECT_EQ(messageAt(30), 0);
}

TEST_F(ChatWindowTest, ScrollingUpOrDownMovesTheTextByExactlyTheScrolledDistance) {
    scrollAndSettle("scrollTo(0, document.documentElement.scrollHeight * 0.6)");
    const int firstBefore = state().value("first").toInt();
    EXPECT_GT(evaluate(view, "document.images.length").toInt(), 0);
    for (const int step : {-300, 300}) {
        for (int i = 0; i < 25; ++i) {
            markBlockAt(250);
            scrollAndSettle(QStringLiteral("scrollBy(0, %1)").arg(step));
            const double moved =
                evaluate(view, "__probe.isConnected ? __probe.getBoundingClientRect().top - __probeTop : 1e9")
                    .toDouble();
            ASSERT_NEAR(moved, -step, 1.0) << "step " << i << " by " << step;
        }
    }
    // Blocks came in above the viewport on the way up: the anchoring was put to work.
    EXPECT_LT(state().value("first").toInt(), firstBefore);
}

TEST_F(ChatWindowTest, ANarrowerViewKeepsTheMessageAtTheTopInPlace) {
    scrollAndSettle("scrollTo(0, document.documentElement.scrollHeight * 0.3)");
    markBlockAt(1);
    view.resize(420, 600);
    ASSERT_TRUE(waitUntil([&] { return evaluate(view, "innerWidth").toInt() < 500; }));
    scrollAndSettle("0");
    EXPECT_TRUE(evaluate(view, "__probe.isConnected").toBool());
    EXPECT_NEAR(evaluate(view, "__probe.getBoundingClientRect().top - __probeTop").toDouble(), 0.0, 1.0);
}

TEST(ChatFill, AChatOfTwoThousandMessagesEndsUpWholeInTheDocument) {
    CExplorer_content view;
    view.resize(800, 600);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    std::string page(pageHead(kViewer));
    for (int i = 0; i < 2000; ++i) {
        appendSenderLine(page, "Anna", "2021-05-06 07:08:09");
        appendTextBody(page, "message " + std::to_string(i));
    }
    int complete = 0;
    QObject::connect(&view, &CExplorer_content::chatPageComplete, [&](int serial) { complete = serial; });
    ASSERT_TRUE(showAndWait(view, page));
    EXPECT_TRUE(view.isWindowed());
    ASSERT_TRUE(waitUntil([&] { return complete == view.currentSerial(); }));
    EXPECT_EQ(evaluate(view, "document.querySelectorAll('.tvb').length").toInt(), 2000);
    EXPECT_EQ(evaluate(view,
                       "document.getElementById('tv-top').offsetHeight + "
                       "document.getElementById('tv-bottom').offsetHeight")
                  .toInt(),
              0);
    // Selecting everything takes the whole chat, as in a page laid out whole.
    const QString all =
        evaluate(view, "getSelection().selectAllChildren(document.body); getSelection().toString()")
            .toString();
    EXPECT_TRUE(all.contains(QStringLiteral("message 0\n")) || all.contains(QStringLiteral("message 0 ")));
    EXPECT_TRUE(all.contains(QStringLiteral("message 1999")));
    // Still at the top, where the reader was left.
    EXPECT_EQ(evaluate(view, "scrollY").toInt(), 0);
}
