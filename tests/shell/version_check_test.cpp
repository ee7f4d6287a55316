// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/version_check.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace talvio {
namespace {

using namespace std::chrono_literals;

TEST(ParseVersionText, LeadingIntegerOfTheFirstLine) {
    EXPECT_EQ(parseVersionText("221\n"), 221);
    EXPECT_EQ(parseVersionText("220"), 220);
    EXPECT_EQ(parseVersionText("  \t-7 beta\n300"), -7);
    EXPECT_EQ(parseVersionText("+15\r\n"), 15);
    EXPECT_EQ(parseVersionText("\xEF\xBB\xBF"
                               "230\r\n"),
              230);
    EXPECT_EQ(parseVersionText("99999999999"), 2147483647);
    // No number at the start of the first line: 0, even when a later line has one.
    EXPECT_EQ(parseVersionText("<html>221</html>"), 0);
    EXPECT_EQ(parseVersionText("\n221\n"), 0);
    EXPECT_EQ(parseVersionText("- 5"), 0);
    EXPECT_EQ(parseVersionText(""), 0);
}

TEST(ShouldOfferUpdate, OnlyAboveThisVersion) {
    EXPECT_FALSE(shouldOfferUpdate(220));
    EXPECT_TRUE(shouldOfferUpdate(221));
    EXPECT_FALSE(shouldOfferUpdate(0));
    EXPECT_FALSE(shouldOfferUpdate(-1));
}

// A one-page web server on 127.0.0.1 that answers every request with the same bytes, or never.
class TinyServer {
public:
    explicit TinyServer(QByteArray answer, bool closeAfter = true)
        : m_answer(std::move(answer)), m_closeAfter(closeAfter) {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_request += socket->readAll();
                    if (!m_request.contains("\r\n\r\n") || m_answer.isNull())
                        return;
                    socket->write(m_answer);
                    if (m_closeAfter)
                        socket->disconnectFromHost();
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }
    std::string address() const {
        return "http://127.0.0.1:" + std::to_string(m_server.serverPort()) + "/version.txt";
    }
    const QByteArray& request() const { return m_request; }

private:
    QTcpServer m_server;
    QByteArray m_answer;
    bool m_closeAfter;
    QByteArray m_request;
};

QByteArray http(const char* status, const QByteArray& body) {
    return QByteArray("HTTP/1.1 ") + status +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

class VersionCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The desktop's proxy must not stand between the check and the local server.
        for (const char* name :
             {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
            qunsetenv(name);
        }
    }
    int check(const std::string& address, std::chrono::milliseconds timeout = 2000ms) {
        return CheckForNewVersion(address, timeout);
    }
};

TEST_F(VersionCheckTest, ReadsTheNumberOfA200Answer) {
    TinyServer newer(http("200 OK", "221\nrelease notes\n"));
    EXPECT_EQ(check(newer.address()), 221);
    EXPECT_TRUE(newer.request().startsWith("GET /version.txt HTTP/1.1\r\n"));
    TinyServer same(http("200 OK", "220"));
    EXPECT_EQ(check(same.address()), 220);
    TinyServer garbage(http("200 OK", "<!doctype html><p>Not a number</p>"));
    EXPECT_EQ(check(garbage.address()), 0);
}

TEST_F(VersionCheckTest, AnyOtherStatusIsMinusOne) {
    TinyServer missing(http("404 Not Found", "999\n"));
    EXPECT_EQ(check(missing.address()), -1);
    TinyServer failing(http("500 Internal Server Error", "999\n"));
    EXPECT_EQ(check(failing.address()), -1);
    TinyServer noContent(http("204 No Content", ""));
    EXPECT_EQ(check(noContent.address()), -1);
}

// The servers below never finish their answer: that the check returns at all shows its time limit.
TEST_F(VersionCheckTest, NoAnswerIsMinusOneWithinTheTimeout) {
    // Accepts the connection and never says a word.
    TinyServer silent{QByteArray()};
    EXPECT_EQ(check(silent.address(), 500ms), -1);
    // Headers and half a line, then silence: no whole first line, no number.
    TinyServer stalled(QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n22"), false);
    EXPECT_EQ(check(stalled.address(), 500ms), -1);
    // Hangs up at once.
    TinyServer rude(QByteArray(""));
    EXPECT_EQ(check(rude.address(), 500ms), -1);
}

TEST_F(VersionCheckTest, NothingListeningIsMinusOneAtOnce) {
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
    }
    // A refused connection ends the check; it does not wait for the time limit of an hour.
    EXPECT_EQ(check("http://127.0.0.1:" + std::to_string(port) + "/version.txt", 3600s), -1);
    EXPECT_EQ(check("not an address"), -1);
}

TEST_F(VersionCheckTest, TheFirstLineIsEnoughWhileTheServerKeepsTalking) {
    // No length and the connection kept open: the line break ends the wait. Were it the time limit
    // of an hour, the test would not end.
    TinyServer chatty(QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n230\nmore to come"),
                      false);
    EXPECT_EQ(check(chatty.address(), 3600s), 230);
}

TEST(VersionCheck, StartUpNeverWaitsLong) {
    EXPECT_LE(kVersionCheckTimeout, 3000ms);
}

}  // namespace
}  // namespace talvio
