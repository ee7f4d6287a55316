// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The chat view on huge chats, driven offscreen as a reader would: select a chat (the page is built
// and handed over), wait for the first screen, press End, page down at several places, jump about
// as a dragged scroll bar does, and watch how long the view keeps input waiting and how much
// memory the whole process tree holds.
#include "bench/browser/process_memory.h"
#include "bench/timing.h"
#include "browser/explorer_content.h"
#include "browser/web_engine_setup.h"
#include "sources/chat_page.h"
#include "tools/random.h"
#include "tools/text_pool.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace talvio;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool g_allWithin = true;

void report(const char* what, double value, double limit, const char* unit = "s") {
    const bool within = value <= limit;
    g_allWithin &= within;
    std::printf("%-62s %8.3f %-2s (limit %.3f %s) %s\n", what, value, unit, limit, unit,
                within ? "ok" : "OVER");
}

// Runs the event loop until done() holds; false after timeoutMs.
bool spin(const std::function<bool()>& done, int timeoutMs = 30000) {
    QElapsedTimer clock;
    clock.start();
    // Sleeps between events as the program's own event loop does; processEvents with a time
    // limit would never wait and keep a core busy that the render process needs.
    QTimer tick;
    tick.start(2);
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QVariant evaluate(QWebEngineView& view, const QString& script) {
    QVariant result;
    bool answered = false;
    view.page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        answered = true;
    });
    spin([&] { return answered; });
    return result;
}

// The messages of a chat, as a renderer gets them from the database: texts in the scripts real
// histories mix, emoji among them.
struct Chat {
    std::vector<std::string> senders;
    std::vector<std::string> times;
    std::vector<std::string> texts;
};

Chat makeChat(int messages, std::uint64_t seed) {
    fixture::Random random(seed);
    Chat chat;
    const std::string names[2] = {fixture::TextPool::chosenName(random),
                                  fixture::TextPool::addressBookName(random)};
    const int language =
        static_cast<int>(random.below(static_cast<std::uint64_t>(fixture::TextPool::languageCount())));
    for (int i = 0; i < messages; ++i) {
        chat.senders.push_back(names[random.below(2)]);
        char time[32];
        std::snprintf(time, sizeof time, "20%02d-%02d-%02d %02d:%02d:%02d", 14 + i * 10 / messages,
                      1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60);
        chat.times.push_back(time);
        const int lang = random.chance(0.8) ? language
                                            : static_cast<int>(random.below(static_cast<std::uint64_t>(
                                                  fixture::TextPool::languageCount())));
        chat.texts.push_back(fixture::TextPool::message(random, lang));
    }
    return chat;
}

// What a renderer does for the chat once the rows are read.
void buildPage(const Chat& chat) {
    StartChatPage(kViewer);
    chatPageBuffer().reserveFor(static_cast<int>(chat.texts.size()));
    std::string block;
    for (std::size_t i = 0; i < chat.texts.size(); ++i) {
        block.clear();
        appendSenderLine(block, chat.senders[i], chat.times[i]);
        appendTextBody(block, chat.texts[i]);
        AppendPageBlock(block);
    }
}

// How long input would wait: the UI thread's longest gap between 10 ms ticks, and the longest
// round trip of a script run through the render process's main thread.
class InputProbe {
public:
    InputProbe(QWebEngineView& view) : m_view(view) {
        m_ui.setInterval(10);
        QObject::connect(&m_ui, &QTimer::timeout, [this] {
            const auto now = Clock::now();
            const double waited = std::chrono::duration<double>(now - m_lastTick).count() - 0.010;
            if (waited > m_worstUi) {
                m_worstUi = waited;
                m_worstUiPhase = m_phase;
            }
            m_lastTick = now;
        });
        m_renderer.setInterval(20);
        QObject::connect(&m_renderer, &QTimer::timeout, [this] { probe(); });
    }
    void start() {
        m_lastTick = Clock::now();
        m_worstUi = m_worstRenderer = 0;
        m_ui.start();
        m_renderer.start();
    }
    void stop() {
        m_ui.stop();
        m_renderer.stop();
        if (m_outstanding)
            m_worstRenderer = std::max(m_worstRenderer, secondsSince(m_sent));
        spin([this] { return !m_outstanding; });
    }
    double worstUi() const { return m_worstUi; }
    // What the reader was doing when the render process kept input waiting longest.
    void setPhase(const char* phase) { m_phase = phase; }
    const char* worstRendererPhase() const { return m_worstRendererPhase; }
    const char* worstUiPhase() const { return m_worstUiPhase; }
    double worstRenderer() const { return m_worstRenderer; }

private:
    void probe() {
        if (m_outstanding)
            return;
        m_outstanding = true;
        m_sent = Clock::now();
        m_view.page()->runJavaScript(QStringLiteral("0"), [this](const QVariant&) {
            const double waited = secondsSince(m_sent);
            if (waited > m_worstRenderer) {
                m_worstRenderer = waited;
                m_worstRendererPhase = m_phase;
            }
            m_outstanding = false;
        });
    }

    QWebEngineView& m_view;
    QTimer m_ui;
    QTimer m_renderer;
    Clock::time_point m_lastTick;
    Clock::time_point m_sent;
    bool m_outstanding = false;
    double m_worstUi = 0;
    double m_worstRenderer = 0;
    const char* m_phase = "opening the chat";
    const char* m_worstRendererPhase = "";
    const char* m_worstUiPhase = "";
};

// Records when the view last reported a painted page and a settled viewport.
struct Reports {
    int paintedSerial = 0;
    Clock::time_point paintedAt;
    int completeSerial = 0;
    Clock::time_point completeAt;
    int settledCount = 0;
    Clock::time_point settledAt;

    explicit Reports(CExplorer_content& view) {
        QObject::connect(&view, &CExplorer_content::chatPagePainted, [this](int serial) {
            paintedSerial = serial;
            paintedAt = Clock::now();
        });
        QObject::connect(&view, &CExplorer_content::chatPageComplete, [this](int serial) {
            completeSerial = serial;
            completeAt = Clock::now();
        });
        QObject::connect(&view, &CExplorer_content::viewportSettled, [this](int, double) {
            ++settledCount;
            settledAt = Clock::now();
        });
    }
};

// Selects a chat: the page is built and shown; seconds until its first frame is on screen.
double select(CExplorer_content& view, Reports& reports, const Chat& chat, double* building = nullptr,
              double* handing = nullptr, const std::function<void()>& built_ = {}) {
    const auto start = Clock::now();
    buildPage(chat);
    const auto built = Clock::now();
    if (built_)
        built_();
    ShowChatPage();
    const auto handed = Clock::now();
    if (building != nullptr)
        *building = std::chrono::duration<double>(built - start).count();
    if (handing != nullptr)
        *handing = std::chrono::duration<double>(handed - built).count();
    const int serial = view.currentSerial();
    if (!spin([&] { return reports.paintedSerial == serial; }))
        return 1e9;
    return std::chrono::duration<double>(reports.paintedAt - start).count();
}

// Waits for the next settled report after `before` reports; the time it came, or never.
bool nextSettled(Reports& reports, int before, int timeoutMs = 10000) {
    return spin([&] { return reports.settledCount > before; }, timeoutMs);
}

bool viewportCovered(CExplorer_content& view) {
    // Every point of the viewport down to the last message shows the window's messages (or the
    // margins between them), never a spacer.
    return evaluate(view, QStringLiteral("(function(){const w = document.getElementById('tv-win');"
                                         "const last = w.lastElementChild.getBoundingClientRect().bottom;"
                                         "for (let y = 2; y < Math.min(innerHeight, last); y += 40) {"
                                         "const e = document.elementFromPoint(innerWidth/2, y);"
                                         "if (!e || !e.closest('#tv-win')) return false;} return true;})()"))
        .toBool();
}

void quietFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    spin([&] { return clock.elapsed() >= milliseconds; });
}

// Scrolls to a fraction of the chat and waits until the window there is complete.
void scrollToFraction(CExplorer_content& view, Reports& reports, double fraction) {
    const int before = reports.settledCount;
    evaluate(view, QStringLiteral("scrollTo(0, %1 * (document.documentElement.scrollHeight - innerHeight))")
                       .arg(fraction));
    nextSettled(reports, before);
    spin([&] { return !evaluate(view, QStringLiteral("__talvioWindow.state().busy")).toBool(); });
    quietFor(300);
}

double pressAndSettle(CExplorer_content& view, Reports& reports, Qt::Key key) {
    const int before = reports.settledCount;
    const auto start = Clock::now();
    QTest::keyClick(view.focusProxy(), key);
    if (!nextSettled(reports, before))
        return 1e9;
    return std::chrono::duration<double>(reports.settledAt - start).count();
}

void benchSmallChat(CExplorer_content& view, Reports& reports) {
    const Chat chat = makeChat(1000, 11);
    std::vector<double> first;
    std::vector<double> whole;
    InputProbe probe(view);
    double waited = 0;
    for (int run = 0; run < 7; ++run) {
        const auto start = Clock::now();
        first.push_back(select(view, reports, chat, nullptr, nullptr, [&] { probe.start(); }));
        const int serial = view.currentSerial();
        const bool complete = spin([&] { return reports.completeSerial == serial; });
        whole.push_back(complete ? std::chrono::duration<double>(reports.completeAt - start).count() : 1e9);
        // The reader looks at the chat before picking the next: what the view does once the chat
        // is on screen counts as input waiting, and the next selection finds the view quiet.
        quietFor(400);
        probe.stop();
        waited = std::max(waited, probe.worstRenderer());
    }
    std::sort(first.begin(), first.end());
    std::sort(whole.begin(), whole.end());
    std::printf("1,000 messages: page %.2f MB, %s\n", chatPageBuffer().text().size() / 1e6,
                view.isWindowed() ? "first screen, then filled in until whole" : "shown whole");
    std::printf("  selection to first screen: %.3f s (median of 7)\n", first[first.size() / 2]);
    report("1,000 messages: selection to whole chat on screen (median)", whole[whole.size() / 2], 0.3);
    report("1,000 messages: selection to whole chat on screen (worst of 7)", whole.back(), 0.3);
    report("1,000 messages: longest wait of input, render process", waited, 0.1);
}

void benchPageDowns(CExplorer_content& view, Reports& reports, InputProbe& probe) {
    probe.setPhase("paging down");
    double worst = 0;
    bool covered = true;
    for (const double fraction : {0.0, 0.25, 0.5, 0.75, 0.995}) {
        scrollToFraction(view, reports, fraction);
        const double seconds = pressAndSettle(view, reports, Qt::Key_PageDown);
        covered &= viewportCovered(view);
        std::printf("  page down at %5.1f %% of the chat: %.3f s\n", fraction * 100, seconds);
        worst = std::max(worst, seconds);
    }
    report("250,000 messages: page down repainted (worst of 5 places)", worst, 0.1);
    // Holding the key: presses at the keyboard's repeat rate.
    scrollToFraction(view, reports, 0.4);
    double held = 0;
    for (int i = 0; i < 30; ++i) {
        held = std::max(held, pressAndSettle(view, reports, Qt::Key_PageDown));
        quietFor(33);
        covered &= viewportCovered(view);
    }
    report("250,000 messages: page down held for 30 repeats (worst)", held, 0.1);
    std::printf("  viewport covered by messages after every page down: %s\n", covered ? "yes" : "NO");
    g_allWithin &= covered;
}

void benchJumps(CExplorer_content& view, Reports& reports, InputProbe& probe) {
    probe.setPhase("jumping");
    fixture::Random random(5);
    double worst = 0;
    bool covered = true;
    for (int i = 0; i < 15; ++i) {
        const int before = reports.settledCount;
        const auto start = Clock::now();
        const double fraction = static_cast<double>(random.below(10000)) / 10000.0;
        view.page()->runJavaScript(
            QStringLiteral("scrollTo(0, %1 * (document.documentElement.scrollHeight - innerHeight))")
                .arg(fraction));
        if (!nextSettled(reports, before)) {
            worst = 1e9;
            break;
        }
        worst = std::max(worst, std::chrono::duration<double>(reports.settledAt - start).count());
        covered &= viewportCovered(view);
    }
    report("250,000 messages: jump anywhere (scroll bar), filled (worst)", worst, 0.1);
    std::printf("  viewport covered by messages after every jump: %s\n", covered ? "yes" : "NO");
    g_allWithin &= covered;
}

// Going to search hits in the chat that is open; seconds until the message is on screen.
double goToAndWait(CExplorer_content& view, std::int64_t ordinal) {
    std::pair<int, std::int64_t> shown;
    const auto connection =
        QObject::connect(&view, &CExplorer_content::messageShown, [&](int serial, std::int64_t at) {
            shown = {serial, at};
        });
    const auto start = Clock::now();
    view.goToMessage(ordinal);
    const bool reached =
        spin([&] { return shown == std::pair<int, std::int64_t>(view.currentSerial(), ordinal); }, 10000);
    QObject::disconnect(connection);
    return reached ? secondsSince(start) : 1e9;
}

void benchGoTo(CExplorer_content& view, const Chat& chat, InputProbe& probe) {
    probe.setPhase("going to messages");
    fixture::Random random(11);
    const auto count = static_cast<std::int64_t>(chat.texts.size());
    double worst = std::max(goToAndWait(view, 0), goToAndWait(view, count - 1));
    for (int i = 0; i < 10; ++i) {
        const auto ordinal = static_cast<std::int64_t>(random.below(static_cast<std::uint64_t>(count)));
        worst = std::max(worst, goToAndWait(view, ordinal));
    }
    report("250,000 messages: going to a message of the open chat (worst of 12)", worst, 0.5);
}

// Choosing a hit of a chat that is not open: the page is built and shown, then gone to.
void benchOpenAt(CExplorer_content& view, const Chat& chat) {
    const auto start = Clock::now();
    buildPage(chat);
    ShowChatPage();
    const bool reached = goToAndWait(view, static_cast<std::int64_t>(chat.texts.size() / 3)) < 1e9;
    report("250,000 messages: opening the chat at a message (building included)",
           reached ? secondsSince(start) : 1e9, 1.0);
}

void benchHugeChat(CExplorer_content& view, Reports& reports) {
    const Chat chat = makeChat(250000, 23);
    InputProbe probe(view);
    const double before = bench::processTreeBytes();
    double building = 0;
    double handing = 0;
    const auto start = Clock::now();
    // Input waits while the page is built (the renderer's share, on the UI thread); the view's
    // share starts with the hand-over.
    const double firstScreen = select(view, reports, chat, &building, &handing, [&] { probe.start(); });
    std::printf("250,000 messages: page %.1f MB, shown %s; building %.3f s, handing over %.3f s\n",
                chatPageBuffer().text().size() / 1e6, view.isWindowed() ? "as a window" : "whole", building,
                handing);
    report("250,000 messages: selection to first screen (building included)", firstScreen, 1.0);

    // The reader goes straight to the end.
    probe.setPhase("going to the end");
    view.setFocus();
    const int settled = reports.settledCount;
    QTest::keyClick(view.focusProxy(), Qt::Key_End);
    bool atEnd = nextSettled(reports, settled);
    const double endAt = std::chrono::duration<double>(reports.settledAt - start).count();
    const QVariantMap state = evaluate(view, QStringLiteral("__talvioWindow.state()")).toMap();
    atEnd &=
        state.value(QStringLiteral("end")).toInt() == state.value(QStringLiteral("count")).toInt() &&
        evaluate(view, QStringLiteral("scrollY + innerHeight >= document.documentElement.scrollHeight - 1"))
            .toBool();
    report("250,000 messages: selection to the last message (End key)", atEnd ? endAt : 1e9, 2.0);

    benchPageDowns(view, reports, probe);
    benchJumps(view, reports, probe);
    benchGoTo(view, chat, probe);
    probe.stop();
    report("250,000 messages: longest wait of input, UI thread (after building)", probe.worstUi(), 0.1);
    std::printf("  (the longest wait came while %s)\n", probe.worstUiPhase());
    report("250,000 messages: longest wait of input, render process", probe.worstRenderer(), 0.1);
    std::printf("  (the longest wait came while %s)\n", probe.worstRendererPhase());
    benchOpenAt(view, chat);

    const double after = bench::processTreeBytes();
    std::printf("process tree memory (PSS): %.0f MB before the chat, %.0f MB with it\n", before / 1e6,
                after / 1e6);
    report("250,000 messages: process tree memory (PSS)", after / 1e9, 1.5, "GB");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid()) {
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    prepareWebEngine();
    QApplication application(argc, argv);
    bench::printLoad();

    CExplorer_content view;
    view.resize(800, 600);
    view.show();
    Reports reports(view);
    setChatPageView(&view);
    // Warm: the view has shown a page before, as it has by the time a reader selects a chat.
    spin([&] { return reports.paintedSerial == view.currentSerial(); });
    select(view, reports, makeChat(20, 3));
    benchSmallChat(view, reports);
    // "small" measures the 1,000-message chat alone, for quick turns while tuning.
    if (argc < 2 || std::strcmp(argv[1], "small") != 0)
        benchHugeChat(view, reports);
    bench::printLoad();
    setChatPageView(nullptr);
    return g_allWithin ? 0 : 1;
}
