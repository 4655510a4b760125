#include "netinspect/tcpclient.h"

#include "qtprinters.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

using namespace qev;

namespace {

// Processes events until the condition holds or the time is up.
bool waitFor(const std::function<bool()> &condition, int ms = 3000) {
    const QDeadlineTimer deadline(ms);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

struct Events {
    QStringList seen;
    QList<int> errors;
    void attach(TCustomWSocket &client) {
        client.OnConnect = [this](TCustomWSocket *, int) {
            seen << QStringLiteral("connect");
        };
        client.OnData = [this](TCustomWSocket *, int) {
            seen << QStringLiteral("data");
        };
        client.OnClose = [this](TCustomWSocket *, int) {
            seen << QStringLiteral("close");
        };
        client.OnError = [this](TCustomWSocket *, int code, const QString &text) {
            errors << code;
            seen << QStringLiteral("error ") + text;
        };
    }
};

quint16 closedPort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

} // namespace

TEST(TcpClient, ConnectsWithoutBlockingAndRaisesItsEvents) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    TTCPClient client;
    Events events;
    events.attach(client);
    client.Host = QStringLiteral("127.0.0.1");
    client.Port = QString::number(server.serverPort());

    char buffer[16] = {};
    EXPECT_EQ(client.Send("x", 1), 0); // no socket yet: reported, nothing raised
    EXPECT_EQ(events.errors, QList<int>{EBADF});
    events.errors.clear();
    ASSERT_TRUE(client.Connect());
    EXPECT_EQ(client.state(), TCustomWSocket::State::Connecting);
    EXPECT_FALSE(client.Connect()); // only from idle

    ASSERT_TRUE(waitFor([&] { return events.seen.contains(QStringLiteral("connect")); }));
    EXPECT_EQ(client.state(), TCustomWSocket::State::Connected);
    ASSERT_TRUE(waitFor([&] { return server.hasPendingConnections(); }));
    QTcpSocket *peer = server.nextPendingConnection();

    // Nothing has arrived: at once, 0, and no error.
    EXPECT_EQ(client.Receive(buffer, sizeof buffer), 0);
    EXPECT_EQ(client.Send("ping", 4), 4);
    ASSERT_TRUE(waitFor([&] { return peer->bytesAvailable() >= 4; }));
    EXPECT_EQ(peer->readAll(), QByteArray("ping"));

    peer->write("pong");
    ASSERT_TRUE(waitFor([&] { return events.seen.contains(QStringLiteral("data")); }));
    EXPECT_EQ(client.Receive(buffer, sizeof buffer), 4);
    EXPECT_EQ(QByteArray(buffer, 4), QByteArray("pong"));

    peer->close();
    ASSERT_TRUE(waitFor([&] { return events.seen.contains(QStringLiteral("close")); }));
    EXPECT_EQ(client.state(), TCustomWSocket::State::Idle);
    EXPECT_TRUE(events.errors.isEmpty()) << events.seen.join(u',').toStdString();
}

TEST(TcpClient, RefusedConnectionIsReportedAndMayBeClosedFromTheHandler) {
    const quint16 port = closedPort();
    ASSERT_NE(port, 0);
    TTCPClient client;
    Events events;
    events.attach(client);
    client.OnError = [&](TCustomWSocket *sender, int code, const QString &text) {
        events.errors << code;
        events.seen << text;
        sender->Close();
    };
    client.Host = QStringLiteral("127.0.0.1");
    client.Port = QString::number(port);
    ASSERT_TRUE(client.Connect());
    ASSERT_TRUE(waitFor([&] { return !events.errors.isEmpty(); }));
    EXPECT_EQ(events.errors.first(), ECONNREFUSED);
    EXPECT_EQ(events.seen.first(), QStringLiteral("Connection refused"));
    EXPECT_EQ(client.state(), TCustomWSocket::State::Idle);
    // Idle again: a new attempt may start.
    EXPECT_TRUE(client.Connect());
}

TEST(TcpClient, UnknownServiceOrHostFailsAtOnce) {
    TTCPClient client;
    Events events;
    events.attach(client);
    client.Host = QStringLiteral("127.0.0.1");
    client.Port = QStringLiteral("no-such-service-qev");
    EXPECT_FALSE(client.Connect());
    EXPECT_EQ(events.errors, QList<int>{EINVAL});
    client.Port = QStringLiteral("70000");
    EXPECT_FALSE(client.Connect());
    EXPECT_EQ(client.state(), TCustomWSocket::State::Idle);
}
