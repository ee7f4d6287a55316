// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QWebEnginePage>

namespace talvio {

// The browser policy of the chat view's page: script messages in "Custom Browser" error boxes,
// no windows of its own, and no navigation away from the chat.
class ChatWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit ChatWebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceId) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    void showBrowserMessage(const QString& message);
};

}  // namespace talvio
