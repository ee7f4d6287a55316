// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "version_check.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

#include <climits>
#include <memory>

namespace talvio {
namespace {

// The first line never needs more; a server that sends more is not read further.
constexpr qint64 kMostBodyBytes = 4096;

// The desktop's proxy settings (http_proxy, no_proxy and the like), as a preconfigured connection.
class SystemProxies final : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        return systemProxyForQuery(query);
    }
};

}  // namespace

int parseVersionText(std::string_view body) {
    // A byte-order mark from an editor is not part of the number.
    if (body.substr(0, 3) == "\xEF\xBB\xBF")
        body.remove_prefix(3);
    body = body.substr(0, body.find('\n'));
    std::size_t i = body.find_first_not_of(" \t\r\v\f");
    if (i == std::string_view::npos)
        return 0;
    const bool negative = body[i] == '-';
    if (body[i] == '-' || body[i] == '+')
        ++i;
    long long value = 0;
    for (; i < body.size() && body[i] >= '0' && body[i] <= '9'; ++i) {
        value = value * 10 + (body[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int CheckForNewVersion(const std::string& address, std::chrono::milliseconds timeout) {
    if (QCoreApplication::instance() == nullptr)
        return -1;
    QNetworkAccessManager manager;
    manager.setProxyFactory(new SystemProxies);
    QNetworkRequest request(QUrl(QString::fromStdString(address)));
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    const std::unique_ptr<QNetworkReply> reply(manager.get(request));

    // The loop ends at the first line break, at the end of the answer or at the deadline, whichever
    // comes first; a server that accepts and then says nothing costs the timeout and no more.
    QEventLoop loop;
    QByteArray body;
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        body += reply->read(kMostBodyBytes - body.size());
        if (body.contains('\n') || body.size() >= kMostBodyBytes)
            loop.quit();
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(timeout);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool finished = reply->isFinished();
    if (finished)
        body += reply->read(kMostBodyBytes - body.size());
    const bool wholeLine = body.contains('\n') || body.size() >= kMostBodyBytes;
    const bool complete = wholeLine || (finished && reply->error() == QNetworkReply::NoError);
    reply->disconnect(&loop);
    if (!finished)
        reply->abort();
    if (status != 200 || !complete)
        return -1;
    return parseVersionText(std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
}

}  // namespace talvio
