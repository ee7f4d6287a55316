// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/chat_profile.h"

#include "browser/chat_scheme.h"
#include "browser/script_dispatch.h"
#include "browser/view_document.h"
#include "sources/html_escape.h"
#include "sources/page_presentation.h"

#include <QCoreApplication>
#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace talvio {
namespace {

QByteArray resource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing resource %s", qPrintable(path));
    return file.readAll();
}

// The bridge's names, ids and, for properties, the value a property read answers.
std::string vocabulary() {
    std::string out = "[";
    for (const DispatchName& entry : CImpIDispatch::names()) {
        if (out.size() > 1)
            out += ',';
        out += '[';
        appendScriptString(out, entry.name);
        out += ',' + std::to_string(entry.id) + (entry.method ? ",true," : ",false,");
        DispatchValue value;
        if (!entry.method)
            scriptBridge().Invoke(entry.id, DISPATCH_PROPERTYGET, {}, &value);
        out += value.type == DispatchValue::Type::Bool ? (value.boolValue != 0 ? "true" : "false") : "null";
        out += ']';
    }
    return out + "]";
}

struct ChatProfile {
    QWebEngineProfile* profile = nullptr;
    ChatSchemeHandler* handler = nullptr;
};

ChatProfile makeProfile() {
    auto* profile = new QWebEngineProfile(QCoreApplication::instance());
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    auto* handler = new ChatSchemeHandler(profile);
    profile->installUrlSchemeHandler(kChatScheme, handler);

    QWebEngineSettings* settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    settings->setAttribute(QWebEngineSettings::ScrollAnimatorEnabled, false);

    return {profile, handler};
}

const ChatProfile& theProfile() {
    static const ChatProfile profile = makeProfile();
    return profile;
}

// A script element around source; "</script" inside it could only be in a string or a comment,
// where "<\/script" means the same.
std::string scriptElement(QByteArray source) {
    source.replace("</script", "<\\/script");
    return "<script>" + source.toStdString() + "</script>";
}

DocumentScripts makeScripts() {
    static const std::string before = [] {
        QByteArray source = resource(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
        source += '\n';
        source += resource(QStringLiteral(":/talvio/browser/bridge.js"));
        source += '(';
        source += QByteArray::fromStdString(vocabulary());
        source += ");\ndocument.currentScript.remove();\n";
        // The view's presentation of every chat rides ahead of the page's head, like the bridge.
        return std::string(kPagePresentationStyle) + scriptElement(source);
    }();
    static const std::string after =
        scriptElement(resource(QStringLiteral(":/talvio/browser/painted.js"))) +
        scriptElement(resource(QStringLiteral(":/talvio/browser/message_goto.js")));
    static const std::string window =
        scriptElement(resource(QStringLiteral(":/talvio/browser/chat_window.js")));
    return {before, after, window};
}

}  // namespace

const DocumentScripts& chatDocumentScripts() {
    static const DocumentScripts scripts = makeScripts();
    return scripts;
}

QWebEngineProfile* chatProfile() {
    return theProfile().profile;
}

ChatSchemeHandler& chatSchemeHandler() {
    return *theProfile().handler;
}

}  // namespace talvio
