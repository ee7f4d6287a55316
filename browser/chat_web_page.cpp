// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/chat_web_page.h"

#include "browser/chat_scheme.h"
#include "platform/desktop.h"
#include "sources/folder_boundary.h"
#include "sources/program_state.h"

#include <QLoggingCategory>
#include <QWebEngineView>

namespace talvio {
namespace {

Q_LOGGING_CATEGORY(pageConsole, "talvio.browser.console", QtWarningMsg)

}  // namespace

ChatWebPage::ChatWebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

void ChatWebPage::showBrowserMessage(const QString& message) {
    // Whatever caption, buttons or icon the page asked for, the box is the same.
    platform::desktop().message(QWebEngineView::forPage(this), message, QStringLiteral("Custom Browser"),
                                platform::Buttons::Ok, platform::Icon::Error);
}

void ChatWebPage::javaScriptAlert(const QUrl&, const QString& message) {
    showBrowserMessage(message);
}

// A box with only an OK button answers no question: a confirm or a prompt counts as declined.
bool ChatWebPage::javaScriptConfirm(const QUrl&, const QString& message) {
    showBrowserMessage(message);
    return false;
}

bool ChatWebPage::javaScriptPrompt(const QUrl&, const QString& message, const QString&, QString*) {
    showBrowserMessage(message);
    return false;
}

void ChatWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                           int lineNumber, const QString& sourceId) {
    // A script error is the browser's message to the reader, as in a calling page's missing
    // window.external member; the rest of the console is for developers and stays quiet.
    if (level == ErrorMessageLevel && message.startsWith(QLatin1String("Uncaught"))) {
        showBrowserMessage(message);
        return;
    }
    qCDebug(pageConsole, "%s:%d: %s", qPrintable(sourceId), lineNumber, qPrintable(message));
}

bool ChatWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    // A document's link opens the file with the desktop's own program, and only a file of the
    // phone's media folder: the page never leaves for it.
    if (isMainFrame && type == NavigationTypeLinkClicked && url.isLocalFile()) {
        const std::string path = url.toLocalFile().toStdString();
        const std::string& media = programState().resourceFolder;
        if (!media.empty() && FolderBoundary(media).holdsFile(path))
            platform::desktop().openAddress(url.toLocalFile());
        else
            platform::desktop().message(QWebEngineView::forPage(this), QStringLiteral("File lost."),
                                        QString());
        return false;
    }
    // A place's map opens in the user's browser; no other address on the web does, so a page
    // cannot send the reader anywhere else.
    if (isMainFrame && type == NavigationTypeLinkClicked && url.scheme() == QLatin1String("https") &&
        url.host() == QLatin1String("www.openstreetmap.org")) {
        platform::desktop().openAddress(url.toString());
        return false;
    }
    // The chat view has no way back: a page that left would leave the reader without the chat.
    return !isMainFrame || url.scheme() == QLatin1String(kChatScheme);
}

QWebEnginePage* ChatWebPage::createWindow(WebWindowType) {
    return nullptr;
}

}  // namespace talvio
