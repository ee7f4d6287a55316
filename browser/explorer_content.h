// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/chat_page.h"

#include <QWebEngineView>

#include <memory>

class QWebChannel;

namespace talvio {

class ChatWebPage;
class PageChannel;
class ScriptBridgeChannel;

// The main window's chat view. ShowChatPage lands in showChatPage(), which replaces the document
// by the new page; the page reaches the program through window.external. The view keeps the
// browser's own interface out of the way: no context menu, and the refresh, open, print and
// new-window keys and Backspace never reach the page.
class CExplorer_content : public QWebEngineView, public ChatPageView {
    Q_OBJECT
public:
    explicit CExplorer_content(QWidget* parent = nullptr);
    ~CExplorer_content() override;

    void showChatPage(std::shared_ptr<const std::string> utf8Page) override;
    void goToMessage(std::int64_t ordinal, std::string_view find = {}) override;

    // The number of the page last given to showChatPage (pages are numbered as they come).
    int currentSerial() const { return m_serial; }
    // Whether that page started as a window rather than as one whole document.
    bool isWindowed() const { return m_windowed; }

    static bool isBlockedKey(int key, Qt::KeyboardModifiers modifiers);

signals:
    // The first frame of page serial is on screen.
    void chatPagePainted(int serial);
    // Every block of page serial is in the document and drawn (never, for a chat held as a
    // window of a few screens).
    void chatPageComplete(int serial);
    // A windowed page has its blocks in place and drawn for the viewport at scrollY.
    void viewportSettled(int serial, double scrollY);
    // The message gone to is on screen and highlighted.
    void messageShown(int serial, std::int64_t ordinal);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cutInBackground(int serial, std::shared_ptr<const std::string> text);
    void renderProcessEnded(int status);
    void runGoTo();

    ChatWebPage* m_page = nullptr;
    QWebChannel* m_channel = nullptr;
    PageChannel* m_pageChannel = nullptr;
    ScriptBridgeChannel* m_bridge = nullptr;
    int m_serial = 0;
    bool m_windowed = false;
    bool m_reloadedAfterCrash = false;
    int m_paintedSerial = 0;
    // The message to go to on page m_goToSerial, again if its document has to be loaded anew.
    int m_goToSerial = 0;
    std::int64_t m_goToOrdinal = -1;
    QString m_goToFind;
};

}  // namespace talvio
