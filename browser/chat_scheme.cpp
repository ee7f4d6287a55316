// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/chat_scheme.h"

#include <QIODevice>
#include <QWebEngineUrlRequestJob>

#include <algorithm>
#include <cstring>

namespace talvio {
namespace {

constexpr char kHost[] = "chat";
constexpr char kPathPrefix[] = "/page/";

// A document handed to WebEngine without a copy. WebEngine reads it on its IO thread, hence the
// lock around the position; unbuffered, so that Qt keeps no second copy of what was read.
class DocumentReply : public QIODevice {
public:
    DocumentReply(std::shared_ptr<const std::string> document, QObject* parent)
        : QIODevice(parent), m_document(std::move(document)) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    qint64 size() const override { return static_cast<qint64>(m_document->size()); }
    qint64 bytesAvailable() const override {
        const std::lock_guard lock(m_mutex);
        return static_cast<qint64>(m_document->size() - m_position) + QIODevice::bytesAvailable();
    }
    bool atEnd() const override {
        const std::lock_guard lock(m_mutex);
        return m_position >= m_document->size();
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const std::lock_guard lock(m_mutex);
        if (m_position >= m_document->size())
            return -1;
        const std::size_t n =
            std::min<std::size_t>(static_cast<std::size_t>(maxSize), m_document->size() - m_position);
        std::memcpy(data, m_document->data() + m_position, n);
        m_position += n;
        return static_cast<qint64>(n);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::shared_ptr<const std::string> m_document;
    mutable std::mutex m_mutex;
    std::size_t m_position = 0;
};

}  // namespace

int ChatSchemeHandler::nextSerial() {
    const std::lock_guard lock(m_mutex);
    return ++m_lastSerial;
}

QUrl ChatSchemeHandler::address(int serial) {
    return QUrl(QStringLiteral("%1://%2%3%4")
                    .arg(QLatin1String(kChatScheme), QLatin1String(kHost), QLatin1String(kPathPrefix))
                    .arg(serial));
}

int ChatSchemeHandler::serialOf(const QUrl& address, bool* ok) {
    const QString path = address.path();
    if (address.scheme() != QLatin1String(kChatScheme) || address.host() != QLatin1String(kHost) ||
        !path.startsWith(QLatin1String(kPathPrefix))) {
        if (ok != nullptr)
            *ok = false;
        return 0;
    }
    return path.mid(static_cast<qsizetype>(std::strlen(kPathPrefix))).toInt(ok);
}

QUrl ChatSchemeHandler::publish(int serial, std::shared_ptr<const std::string> document) {
    const std::lock_guard lock(m_mutex);
    m_documents[serial] = std::move(document);
    return address(serial);
}

void ChatSchemeHandler::withdraw(int serial) {
    const std::lock_guard lock(m_mutex);
    m_documents.erase(serial);
}

void ChatSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    bool isNumber = false;
    const int serial = serialOf(job->requestUrl(), &isNumber);
    std::shared_ptr<const std::string> document;
    {
        const std::lock_guard lock(m_mutex);
        const auto found = isNumber ? m_documents.find(serial) : m_documents.end();
        if (found != m_documents.end())
            document = found->second;
    }
    if (!document) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* reply = new DocumentReply(std::move(document), nullptr);
    // WebEngine may still be reading on its own thread while the job goes: delete later.
    connect(job, &QObject::destroyed, reply, &QObject::deleteLater);
    job->reply(QByteArrayLiteral("text/html;charset=UTF-8"), reply);
}

}  // namespace talvio
