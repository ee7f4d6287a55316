// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/explorer_content.h"

#include "browser/chat_profile.h"
#include "browser/chat_scheme.h"
#include "browser/chat_web_page.h"
#include "browser/page_channel.h"
#include "browser/script_dispatch.h"
#include "browser/view_document.h"

#include <QChildEvent>
#include <QFutureWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QTimer>
#include <QWebChannel>
#include <QtConcurrent/QtConcurrentRun>

namespace talvio {

CExplorer_content::CExplorer_content(QWidget* parent) : QWebEngineView(parent) {
    m_page = new ChatWebPage(chatProfile(), this);
    m_bridge = new ScriptBridgeChannel(scriptBridge(), this);
    m_pageChannel = new PageChannel(this);
    m_channel = new QWebChannel(this);
    m_channel->registerObject(QStringLiteral("talvioBridge"), m_bridge);
    m_channel->registerObject(QStringLiteral("talvioView"), m_pageChannel);
    m_page->setWebChannel(m_channel);
    setPage(m_page);
    setContextMenuPolicy(Qt::NoContextMenu);

    connect(m_pageChannel, &PageChannel::pagePainted, this, [this](const QString& address) {
        if (ChatSchemeHandler::serialOf(QUrl(address)) != m_serial)
            return;
        m_reloadedAfterCrash = false;
        m_paintedSerial = m_serial;
        emit chatPagePainted(m_serial);
        if (m_goToSerial == m_serial)
            runGoTo();
        if (!m_windowed)
            emit chatPageComplete(m_serial);
    });
    connect(m_pageChannel, &PageChannel::pageWhole, this, [this](int serial) {
        if (serial == m_serial)
            emit chatPageComplete(serial);
    });
    connect(m_pageChannel, &PageChannel::viewportSettled, this, &CExplorer_content::viewportSettled);
    connect(m_pageChannel, &PageChannel::messageShown, this, [this](const QString& address, int ordinal) {
        if (ChatSchemeHandler::serialOf(QUrl(address)) == m_serial)
            emit messageShown(m_serial, ordinal);
    });
    connect(
        m_page, &QWebEnginePage::renderProcessTerminated, this,
        [this](QWebEnginePage::RenderProcessTerminationStatus status, int) { renderProcessEnded(status); });

    // An empty page at once: the render process starts while the reader picks a folder, rather
    // than on the first chat, and the view starts out empty. Its hidden line of the scripts that
    // chats mix has the fonts for them found and loaded by then too: the first message in a
    // script not seen before otherwise keeps the page waiting a tenth of a second or more.
    // The line sits in a box of no size that clips it, or its width would give the empty view a
    // horizontal scroll bar.
    showChatPage(std::make_shared<const std::string>(
        "<div style=\"position:absolute;width:0;height:0;overflow:hidden\"><div style=\"visibility:hidden;"
        "white-space:nowrap\">Aa Ää Жж Ωω Şş Ệệ 日本語 ひらがな カタカナ 汉字 한국어 עברית العربية हिन्दी ไทย "
        "😀 👍 ❤️"
        "</div></div>"));
}

CExplorer_content::~CExplorer_content() {
    if (m_serial != 0)
        chatSchemeHandler().withdraw(m_serial);
}

void CExplorer_content::showChatPage(std::shared_ptr<const std::string> utf8Page) {
    ChatSchemeHandler& handler = chatSchemeHandler();
    const int serial = handler.nextSerial();
    m_pageChannel->setPage(serial);
    // Cutting only as far as it takes to choose keeps a huge page's hand-over short.
    const PageBlocks first(utf8Page, kWholePageBlocks + 1);
    const Presentation presentation = presentationOf(first);
    m_windowed = presentation != Presentation::Whole;
    std::string document;
    switch (presentation) {
        case Presentation::Whole:
            document = wholeDocument(*utf8Page, chatDocumentScripts());
            break;
        case Presentation::Filled:
            document = filledDocument(first, serial, chatDocumentScripts());
            break;
        case Presentation::Window:
            document = windowedDocument(first, serial, chatDocumentScripts());
            cutInBackground(serial, std::move(utf8Page));
            break;
    }
    if (m_serial != 0)
        handler.withdraw(m_serial);
    m_serial = serial;
    m_reloadedAfterCrash = false;
    setUrl(handler.publish(serial, std::make_shared<const std::string>(std::move(document))));
}

void CExplorer_content::goToMessage(std::int64_t ordinal, std::string_view find) {
    m_goToSerial = m_serial;
    m_goToOrdinal = ordinal;
    m_goToFind = QString::fromUtf8(find.data(), static_cast<qsizetype>(find.size()));
    // Before its first frame the document may not have its scripts yet; painting runs it then.
    if (m_paintedSerial == m_serial)
        runGoTo();
}

void CExplorer_content::runGoTo() {
    // The text goes as a JSON string, which is a script string whatever it holds.
    const QByteArray find = QJsonDocument(QJsonArray{m_goToFind}).toJson(QJsonDocument::Compact);
    m_page->runJavaScript(QStringLiteral("window.__talvioGoTo && __talvioGoTo(%1, %2[0])")
                              .arg(m_goToOrdinal)
                              .arg(QString::fromUtf8(find)));
}

void CExplorer_content::cutInBackground(int serial, std::shared_ptr<const std::string> text) {
    struct Layout {
        std::shared_ptr<const PageBlocks> blocks;
        std::string units;
    };
    // Cutting a quarter of a million blocks takes longer than input may wait, so it runs on a
    // pool thread over the shared, unchanging copy. The watcher goes with the view: a cut that
    // ends after the view is gone is dropped.
    auto* watcher = new QFutureWatcher<Layout>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, serial] {
        Layout layout = watcher->result();
        watcher->deleteLater();
        m_pageChannel->setLayout(serial, std::move(layout.blocks), layout.units);
    });
    watcher->setFuture(QtConcurrent::run([text = std::move(text)] {
        auto blocks = std::make_shared<const PageBlocks>(text);
        std::string units = encodedWidthUnits(*blocks);
        return Layout{std::move(blocks), std::move(units)};
    }));
}

void CExplorer_content::renderProcessEnded(int status) {
    if (status == QWebEnginePage::NormalTerminationStatus || m_reloadedAfterCrash)
        return;
    // Once per page: a page that kills its renderer every time stays blank rather than looping.
    m_reloadedAfterCrash = true;
    QTimer::singleShot(0, this, [this] { setUrl(ChatSchemeHandler::address(m_serial)); });
}

bool CExplorer_content::isBlockedKey(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_F5 || key == Qt::Key_Backspace)
        return true;
    return (modifiers & Qt::ControlModifier) != 0 &&
           (key == Qt::Key_O || key == Qt::Key_P || key == Qt::Key_N);
}

bool CExplorer_content::event(QEvent* event) {
    // Keys go to the render widget, which WebEngine replaces whenever it starts a new render
    // process: every new child gets the key filter.
    if (event->type() == QEvent::ChildPolished) {
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) {
            child->installEventFilter(this);
        }
    }
    return QWebEngineView::event(event);
}

bool CExplorer_content::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isBlockedKey(key->key(), key->modifiers()))
            return true;
    }
    return QWebEngineView::eventFilter(watched, event);
}

}  // namespace talvio
