// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QByteArray>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace talvio {

// Chat pages reach the view under this scheme, served from memory: setHtml() fails on pages above
// about 1.4 MB, and a page never passes through a file.
inline constexpr char kChatScheme[] = "talvio-chat";

// Serves the documents that the chat views publish, each under an address of its own.
class ChatSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // A new number for a page; never reused, so that a view never gets an older page's answer.
    int nextSerial();
    // Makes document the answer for serial's address and returns the address.
    QUrl publish(int serial, std::shared_ptr<const std::string> document);
    void withdraw(int serial);
    static QUrl address(int serial);
    // The serial an address names; 0 for any other address.
    static int serialOf(const QUrl& address, bool* ok = nullptr);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    std::mutex m_mutex;
    std::map<int, std::shared_ptr<const std::string>> m_documents;
    int m_lastSerial = 0;
};

}  // namespace talvio
