// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/web_engine_setup.h"

#include "browser/chat_scheme.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QWebEngineUrlScheme>

#include <unistd.h>

#include <optional>

namespace talvio {
namespace {

// The flags as the process found them; nullopt when they were not set.
std::optional<QByteArray>& originalFlags() {
    static std::optional<QByteArray> flags;
    return flags;
}

}  // namespace

void prepareWebEngine() {
    QWebEngineUrlScheme scheme(kChatScheme);
    // With a host every chat page is of one site, so WebEngine keeps one render process for them
    // all; host-less addresses each got a new process, a fifth of a second per chat.
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Lets the page show pictures from local files; the page itself comes from memory.
    scheme.setFlags(QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    // Chromium refuses to start as root with its sandbox on. The documented switch,
    // QTWEBENGINE_DISABLE_SANDBOX, also prints "Sandboxing disabled by user" on every start,
    // which is not what happened; the Chromium flag does the same quietly.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        originalFlags() = flags;
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX") &&
        !flags.contains("--no-sandbox"))
        flags += " --no-sandbox";
    // Each chat page collects the garbage of the chat before it once it is on screen (painted.js).
    // Engine flags of the user's own stay as they are, without it.
    if (!flags.contains("--js-flags"))
        flags += " --js-flags=--expose-gc";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());

    // Qt 6.4 reports its graphics set-up at info level on every start (later versions log it as
    // debug); QT_LOGGING_RULES still brings it back.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}

void restoreEnvironmentAfterWebEngineStart() {
    if (originalFlags()) {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", *originalFlags());
    } else {
        qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    }
}

}  // namespace talvio
