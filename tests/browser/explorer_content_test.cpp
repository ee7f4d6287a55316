// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/explorer_content.h"
#include "browser/script_dispatch.h"
#include "browser/view_document.h"
#include "browser/web_engine_setup.h"
#include "sources/chat_page.h"
#include "sources/program_state.h"
#include "tests/browser/view_support.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QTest>

#include <gmock/gmock.h>

#include <csignal>
#include <vector>

using namespace talvio;
using namespace talvio::test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

std::string message(std::string_view sender, std::string_view text) {
    std::string block;
    appendSenderLine(block, sender, "2021-05-06 07:08:09");
    appendTextBody(block, text);
    return block;
}

std::string chat(int messages, std::string extra = {}) {
    std::string page(pageHead(kViewer));
    for (int i = 0; i < messages; ++i)
        page += message(i % 2 ? "Me" : "Anna", "message " + std::to_string(i));
    return page + extra;
}

// A path as the page builder writes it into a viewer link: a script string inside an attribute.
std::string scriptArgument(std::string_view path) {
    std::string script;
    for (const char c : path) {
        if (c == '\\' || c == '\'')
            script += '\\';
        script += c;
    }
    std::string attribute;
    for (const char c : script) {
        if (c == '&')
            attribute += "&amp;";
        else if (c == '"')
            attribute += "&quot;";
        else
            attribute += c;
    }
    return attribute;
}

class ExplorerContentTest : public ::testing::Test {
protected:
    void SetUp() override {
        scriptBridge().setPlayVoice([this](const std::string& path) { voices.push_back(path); });
        scriptBridge().setPlayVideo([this](const std::string& path) { videos.push_back(path); });
        view.resize(800, 600);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    void TearDown() override {
        scriptBridge().setPlayVoice({});
        scriptBridge().setPlayVideo({});
        resetProgramState();
        setChatPageView(nullptr);
    }

    // Clicks the centre of the first element that matches selector.
    void click(const QString& selector, Qt::MouseButton button = Qt::LeftButton) {
        const QVariantList box =
            evaluate(view,
                     QStringLiteral(
                         "(function(){const e=document.querySelector('%1');e.scrollIntoView();"
                         "const r=e.getBoundingClientRect();return [r.left+r.width/2,r.top+r.height/2];})()")
                         .arg(selector))
                .toList();
        ASSERT_EQ(box.size(), 2);
        QTest::mouseClick(view.focusProxy(), button, {}, QPoint(box[0].toInt(), box[1].toInt()));
    }

    void press(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(view.focusProxy(), static_cast<Qt::Key>(key), modifiers);
    }

    FakeDesktop desktop;
    CExplorer_content view;
    std::vector<std::string> voices;
    std::vector<std::string> videos;
};

}  // namespace

TEST_F(ExplorerContentTest, AnEmptyPageShowsAnEmptyDocument) {
    ASSERT_TRUE(showAndWait(view, chat(3)));
    ASSERT_TRUE(showAndWait(view, ""));
    EXPECT_EQ(evaluate(view, "document.body.innerHTML").toString(), QString());
    EXPECT_EQ(evaluate(view, "document.body.scrollHeight <= innerHeight").toBool(), true);
}

TEST_F(ExplorerContentTest, ProgramsStartedAfterTheViewDoNotInheritTheEnginesFlags) {
    ASSERT_FALSE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").isEmpty()) << "the engine's own flags are set";
    restoreEnvironmentAfterWebEngineStart();
    QProcess child;
    child.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), QStringLiteral("printf %s \"${QTWEBENGINE_CHROMIUM_FLAGS-unset}\"")});
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.readAllStandardOutput(), QByteArray("unset"));
    // The engine keeps the flags it started with.
    ASSERT_TRUE(showAndWait(view, chat(3)));
    EXPECT_EQ(evaluate(view, "typeof gc").toString(), QStringLiteral("function"));
}

TEST_F(ExplorerContentTest, APageAboveTwoMegabytesShowsWhole) {
    // Few, long messages: they end up all in the document, which has no size limit.
    std::string page(pageHead(kViewer));
    for (int i = 0; i < 40; ++i)
        page += message("Anna", std::string(60000, 'a' + i % 26) + " end" + std::to_string(i));
    ASSERT_GT(page.size(), 2'000'000u);
    int complete = 0;
    QObject::connect(&view, &CExplorer_content::chatPageComplete, [&](int serial) { complete = serial; });
    ASSERT_TRUE(showAndWait(view, page));
    ASSERT_TRUE(waitUntil([&] { return complete == view.currentSerial(); }));
    EXPECT_EQ(evaluate(view, "document.querySelectorAll('.MsgHistory').length").toInt(), 40);
    EXPECT_EQ(evaluate(view, "document.body.innerText.includes('end39')").toBool(), true);
    EXPECT_EQ(evaluate(view, "document.title").toString(), QStringLiteral("WhatsApp messages - Talvio"));
}

TEST_F(ExplorerContentTest, APictureGivenByItsFullPathLoads) {
    TempDir dir;
    const std::string path = dir.path() + "pic #1 & ä.png";
    QImage image(37, 23, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(path)));
    std::string picture;
    appendSenderLine(picture, "Anna", "t");
    std::string attribute;
    for (const char c : path)
        attribute += c == '&' ? std::string("&amp;") : std::string(1, c);
    appendBody(picture, BodyKind::ImageViewer, attribute);
    const std::string page = std::string(pageHead(kViewer)) + picture;
    ASSERT_TRUE(showAndWait(view, page));
    EXPECT_TRUE(waitUntil([&] { return evaluate(view, "document.images[0].complete").toBool(); }));
    EXPECT_EQ(evaluate(view, "document.images[0].naturalWidth").toInt(), 37);
    EXPECT_EQ(evaluate(view, "document.images[0].naturalHeight").toInt(), 23);
}

TEST_F(ExplorerContentTest, VoiceAndVideoLinksDeliverTheExactPath) {
    const std::string voice = "/home/anna/Library/ääni 'q' \"dq\" back\\slash\\\\two 语音 & <x>.opus";
    const std::string video = "/r/Library/Media/it's \\ v.mp4";
    std::string page(pageHead(kViewer));
    appendSenderLine(page, "Anna", "t");
    appendBody(page, BodyKind::VoiceViewer, scriptArgument(voice));
    appendSenderLine(page, "Me", "t");
    appendBody(page, BodyKind::VideoViewer, scriptArgument(video));
    ASSERT_TRUE(showAndWait(view, page));

    click(QStringLiteral("a[onClick*=PlayMyWav]"));
    ASSERT_TRUE(waitUntil([&] { return !voices.empty(); }));
    click(QStringLiteral("a[onClick*=PlayMyVideo]"));
    ASSERT_TRUE(waitUntil([&] { return !videos.empty(); }));
    EXPECT_THAT(voices, ElementsAre(voice));
    EXPECT_THAT(videos, ElementsAre(video));
    // The link is not followed.
    EXPECT_EQ(evaluate(view, "location.hash").toString(), QString());
}

TEST_F(ExplorerContentTest, TheBridgeAnswersWhileThePageIsStillLoading) {
    // The page asks and calls during parsing, before the web channel can be up.
    const std::string page = chat(2,
                                  "<script>window.early = window.external.CB_IsOurCustomBrowser;"
                                  "PlayMyWav('/early.opus'); window.external.CB_CustomFunctionPlayMyVideo(7);"
                                  "window.external.CB_CustomFunctionPlayMyVideo();</script>");
    ASSERT_TRUE(showAndWait(view, page));
    EXPECT_EQ(evaluate(view, "window.early === true").toBool(), true);
    ASSERT_TRUE(waitUntil([&] { return !voices.empty(); }));
    EXPECT_THAT(voices, ElementsAre("/early.opus"));
    // A number or nothing is no path: those calls were dropped.
    QTest::qWait(100);
    EXPECT_THAT(videos, IsEmpty());
}

TEST_F(ExplorerContentTest, APlayerRunsOutsideTheChannelsCallAndTheViewStaysAlive) {
    bool viewAnswered = false;
    scriptBridge().setPlayVoice([&](const std::string&) {
        // As a modal player would: a loop of its own, during which the page must still answer.
        QEventLoop player;
        view.page()->runJavaScript("1 + 1", [&](const QVariant& v) {
            viewAnswered = v.toInt() == 2;
            player.quit();
        });
        QTimer::singleShot(10000, &player, &QEventLoop::quit);
        player.exec();
    });
    ASSERT_TRUE(
        showAndWait(view, chat(1, "<a id=v href=\"#\" onClick=\"return PlayMyWav('/v.opus');\">v</a>")));
    click(QStringLiteral("#v"));
    ASSERT_TRUE(waitUntil([&] { return viewAnswered; }, 15000));
}

TEST_F(ExplorerContentTest, ScriptMessagesShowInCustomBrowserErrorBoxes) {
    ASSERT_TRUE(showAndWait(view, chat(1)));
    evaluate(view, "alert('x')");
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, QStringLiteral("x"));
    EXPECT_EQ(desktop.messages[0].caption, QStringLiteral("Custom Browser"));
    EXPECT_EQ(desktop.messages[0].icon, platform::Icon::Error);
    EXPECT_EQ(desktop.messages[0].buttons, platform::Buttons::Ok);

    // A confirm is only a message here, and is declined.
    EXPECT_EQ(evaluate(view, "confirm('sure?')").toBool(), false);
    EXPECT_EQ(desktop.messages.back().text, QStringLiteral("sure?"));

    // A member the bridge does not have is the script engine's error, shown the same way.
    evaluate(view, "setTimeout(function(){ window.external.cb_customfunctionplaymywav('/a'); })");
    ASSERT_TRUE(waitUntil([&] { return desktop.messages.size() == 3; }));
    EXPECT_TRUE(desktop.messages[2].text.contains(QStringLiteral("cb_customfunctionplaymywav")));
    EXPECT_EQ(desktop.messages[2].caption, QStringLiteral("Custom Browser"));
    EXPECT_THAT(voices, IsEmpty());
}

TEST_F(ExplorerContentTest, RightClickShowsNoMenu) {
    const auto menuShown = [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMenu*>(w) != nullptr && w->isVisible())
                return true;
        }
        return false;
    };
    // The same click on a view with the browser's default policy does bring up a menu.
    QWebEngineView plain;
    plain.resize(400, 300);
    plain.setHtml(QStringLiteral("<p>text</p>"));
    plain.show();
    ASSERT_TRUE(waitUntil([&] { return plain.focusProxy() != nullptr && !plain.page()->isLoading(); }));
    // A render process under load may miss a click that comes before it listens: click again.
    bool shown = false;
    for (int attempt = 0; attempt < 10 && !shown; ++attempt) {
        QTest::qWait(200);
        QTest::mouseClick(plain.focusProxy(), Qt::RightButton, {}, QPoint(20, 20));
        shown = waitUntil(menuShown, 2000);
    }
    ASSERT_TRUE(shown);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMenu*>(w) != nullptr)
            w->close();
    }

    ASSERT_TRUE(showAndWait(view, chat(5)));
    click(QStringLiteral(".MsgHistory"), Qt::RightButton);
    QTest::qWait(500);
    EXPECT_FALSE(menuShown());
}

TEST_F(ExplorerContentTest, BlockedKeysStayBlockedAndOthersWorkAlsoWithANewRenderProcess) {
    const std::string page = chat(200);
    ASSERT_TRUE(showAndWait(view, page));
    const auto check = [&] {
        view.activateWindow();
        view.setFocus();
        // What the page hears of the keys.
        evaluate(
            view,
            "window.keys = []; addEventListener('keydown', function (e) {"
            "if (!/^(Control|Shift|Alt|Meta)$/.test(e.key)) keys.push((e.ctrlKey ? 'Ctrl+' : '') + e.key);"
            "}); scrollTo(0, 0); document.body.focus()");
        press(Qt::Key_F5);
        press(Qt::Key_O, Qt::ControlModifier);
        press(Qt::Key_P, Qt::ControlModifier);
        press(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        press(Qt::Key_Backspace);
        press(Qt::Key_F5, Qt::ControlModifier);
        press(Qt::Key_Down);
        press(Qt::Key_PageDown);
        press(Qt::Key_C, Qt::ControlModifier);
        press(Qt::Key_O);
        EXPECT_TRUE(waitUntil([&] { return evaluate(view, "keys.length").toInt() >= 4; }));
        QTest::qWait(100);
        EXPECT_EQ(evaluate(view, "keys.join(' ')").toString(), QStringLiteral("ArrowDown PageDown Ctrl+c o"));
        EXPECT_GT(evaluate(view, "scrollY").toDouble(), 100.0);
    };
    check();

    const qint64 pid = view.page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    int painted = 0;
    QObject::connect(&view, &CExplorer_content::chatPagePainted, [&] { ++painted; });
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return painted > 0; }));
    EXPECT_NE(view.page()->renderProcessPid(), pid);
    check();
}

TEST_F(ExplorerContentTest, ShowChatPageWhileExportingChangesNothing) {
    ASSERT_TRUE(showAndWait(view, chat(2)));
    setChatPageView(&view);
    const int shown = view.currentSerial();
    StartChatPage(kViewer);
    AppendPageBlock(message("Anna", "exported"));
    const std::string built = chatPageBuffer().text();
    programState().exportMode = true;
    ShowChatPage();
    QTest::qWait(100);
    EXPECT_EQ(view.currentSerial(), shown);
    EXPECT_EQ(chatPageBuffer().text(), built);
    EXPECT_FALSE(evaluate(view, "document.body.innerText.includes('exported')").toBool());

    programState().exportMode = false;
    int painted = 0;
    QObject::connect(&view, &CExplorer_content::chatPagePainted, [&](int serial) { painted = serial; });
    ShowChatPage();
    ASSERT_TRUE(waitUntil([&] { return painted == view.currentSerial() && painted != shown; }));
    EXPECT_TRUE(evaluate(view, "document.body.innerText.includes('exported')").toBool());
}
