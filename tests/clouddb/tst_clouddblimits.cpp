// The database server under abusive clients, in this process with short
// limits. Every client here is a blocking socket on the test's own thread:
// the server must answer without this thread running an event loop.
#include "clouddb/clouddbserver.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

struct Response
{
    int status = 0;
    QByteArray head;
    QByteArray body;
};

// Reads one response (status line, header, Content-Length body).
Response readResponse(QTcpSocket &s, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray data;
    Response r;
    while (clock.elapsed() < timeoutMs) {
        const qsizetype end = data.indexOf("\r\n\r\n");
        if (end >= 0) {
            r.head = data.left(end);
            const QList<QByteArray> lines = r.head.split('\n');
            r.status = lines.first().split(' ').value(1).toInt();
            qsizetype length = 0;
            for (const QByteArray &line : lines)
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            if (data.size() >= end + 4 + length) {
                r.body = data.mid(end + 4, length);
                return r;
            }
        }
        if (s.bytesAvailable() == 0 && !s.waitForReadyRead(50) && s.state() != QAbstractSocket::ConnectedState)
            break;
        data += s.readAll();
    }
    return r;
}

bool connectTo(QTcpSocket &s, quint16 port)
{
    s.connectToHost(QHostAddress::LocalHost, port);
    return s.waitForConnected(3000);
}

// True when the server closes the connection within the time.
bool closedWithin(QTcpSocket &s, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (s.state() == QAbstractSocket::UnconnectedState)
            return true;
        s.waitForReadyRead(20);
        s.readAll();
    }
    return s.state() == QAbstractSocket::UnconnectedState;
}

} // namespace

class TstCloudDbLimits : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { server.reset(); }

    void answersWhileThisThreadIsBusy();
    void bodyOverTheLimitIsRefusedFromItsHeader();
    void chunkedBodiesAreCountedAsRead();
    void slowHeaderIsCutOff();
    void idleConnectionIsClosed();
    void connectionsAreCapped();
    void onlyItsOwnHostNames();

private:
    QByteArray request(const QByteArray &method, const QByteArray &path, const QByteArray &body = {},
                       const QByteArray &extra = {}) const
    {
        return method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(server->port()) + "\r\n"
               + extra + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }

    QTemporaryDir dir;
    CloudDbServerLimits limits;
    std::unique_ptr<CloudDbServer> server;
};

void TstCloudDbLimits::init()
{
    limits = CloudDbServerLimits();
    limits.maxBodyBytes = 1000;
    limits.headerTimeoutMs = 400;
    limits.idleTimeoutMs = 10000;
    limits.maxConnections = 4;
    limits.maxConnectionsPerPeer = 4;
    const QString name = QString::fromLatin1(QTest::currentTestFunction());
    server = std::make_unique<CloudDbServer>(dir.path() + "/" + name + ".json", limits);
    QString error;
    QVERIFY2(server->start(QHostAddress::LocalHost, 0, &error), qPrintable(error));
}

void TstCloudDbLimits::answersWhileThisThreadIsBusy()
{
    QTcpSocket s;
    QVERIFY(connectTo(s, server->port()));
    s.write(request("PUT", "/mirelo_link/s/code.json", "\"123456\""));
    Response r = readResponse(s);
    QCOMPARE(r.status, 200);
    QCOMPARE(r.body, QByteArray("\"123456\""));
    // Kept alive, and a second request on it is answered too.
    s.write(request("GET", "/mirelo_link/s.json"));
    r = readResponse(s);
    QCOMPARE(r.body, QByteArray("{\"code\":\"123456\"}"));
    s.write(request("GET", "/mirelo_link.json"));
    QCOMPARE(readResponse(s).status, 401);
}

void TstCloudDbLimits::bodyOverTheLimitIsRefusedFromItsHeader()
{
    QTcpSocket s;
    QVERIFY(connectTo(s, server->port()));
    // Announces 300 MB and sends none of it: the answer cannot wait for the body.
    s.write("PUT /mirelo_link/big.json HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(server->port())
            + "\r\nContent-Length: 314572800\r\n\r\n");
    const Response r = readResponse(s, 3000);
    QCOMPARE(r.status, 413);
    QVERIFY(r.head.toLower().contains("connection: close"));
    QVERIFY(closedWithin(s, 5000));

    // At the limit it is still taken.
    QTcpSocket ok;
    QVERIFY(connectTo(ok, server->port()));
    QByteArray body(1000, ' ');
    body[0] = '1';
    ok.write(request("PUT", "/mirelo_link/fits.json", body));
    QCOMPARE(readResponse(ok).status, 200);
}

void TstCloudDbLimits::chunkedBodiesAreCountedAsRead()
{
    auto chunked = [this](const QList<QByteArray> &chunks) {
        QByteArray req = "PUT /mirelo_link/c.json HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(server->port())
                         + "\r\nTransfer-Encoding: chunked\r\n\r\n";
        for (const QByteArray &chunk : chunks)
            req += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
        return req + "0\r\n\r\n";
    };
    QTcpSocket small;
    QVERIFY(connectTo(small, server->port()));
    small.write(chunked({"{\"a\":", "1}"}));
    Response r = readResponse(small);
    QCOMPARE(r.status, 200);
    QCOMPARE(r.body, QByteArray("{\"a\":1}"));

    // Each chunk is small, together they pass the limit.
    QTcpSocket big;
    QVERIFY(connectTo(big, server->port()));
    big.write(chunked({"\"" + QByteArray(600, 'x'), QByteArray(600, 'x') + "\""}));
    QCOMPARE(readResponse(big).status, 413);
    QTcpSocket check;
    QVERIFY(connectTo(check, server->port()));
    check.write(request("GET", "/mirelo_link/c.json"));
    QCOMPARE(readResponse(check).body, QByteArray("{\"a\":1}"));
}

void TstCloudDbLimits::slowHeaderIsCutOff()
{
    QTcpSocket s;
    QVERIFY(connectTo(s, server->port()));
    // One byte every 100 ms keeps any per-read time-out happy; the header
    // as a whole must still be in within its time.
    const QByteArray header = "GET /mirelo_link/s.json HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: "
                              + QByteArray(100, 'a');
    QElapsedTimer clock;
    clock.start();
    bool cut = false;
    for (qsizetype i = 0; i < header.size() && !cut; ++i) {
        s.write(header.mid(i, 1));
        s.waitForBytesWritten(100);
        cut = closedWithin(s, 100);
    }
    QVERIFY(cut);
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
}

void TstCloudDbLimits::idleConnectionIsClosed()
{
    limits.idleTimeoutMs = 200;
    server = std::make_unique<CloudDbServer>(dir.path() + "/idle2.json", limits);
    QString error;
    QVERIFY(server->start(QHostAddress::LocalHost, 0, &error));
    QTcpSocket s;
    QVERIFY(connectTo(s, server->port()));
    s.write(request("GET", "/mirelo_link/s.json"));
    QCOMPARE(readResponse(s).status, 200);
    QVERIFY(closedWithin(s, 3000));
}

void TstCloudDbLimits::connectionsAreCapped()
{
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < limits.maxConnections; ++i) {
        held.push_back(std::make_unique<QTcpSocket>());
        QVERIFY(connectTo(*held.back(), server->port()));
    }
    QTRY_COMPARE(server->openConnections(), limits.maxConnections);
    QTcpSocket extra;
    QVERIFY(connectTo(extra, server->port()));
    QVERIFY(closedWithin(extra, 3000));
    QCOMPARE(server->openConnections(), limits.maxConnections);

    // A freed place is given to the next client.
    held.front()->abort();
    held.erase(held.begin());
    QTRY_COMPARE(server->openConnections(), limits.maxConnections - 1);
    QTcpSocket next;
    QVERIFY(connectTo(next, server->port()));
    next.write(request("GET", "/mirelo_link/s.json"));
    QCOMPARE(readResponse(next).status, 200);
}

void TstCloudDbLimits::onlyItsOwnHostNames()
{
    const QByteArray port = QByteArray::number(server->port());
    auto statusFor = [&](const QByteArray &hostLine) {
        QTcpSocket s;
        if (!connectTo(s, server->port()))
            return -1;
        s.write("GET /mirelo_link/s.json HTTP/1.1\r\n" + hostLine + "Content-Length: 0\r\n\r\n");
        return readResponse(s).status;
    };
    QCOMPARE(statusFor("Host: 127.0.0.1:" + port + "\r\n"), 200);
    QCOMPARE(statusFor("Host: LocalHost:" + port + "\r\n"), 200);
    // A name rebound to 127.0.0.1 by a web page's DNS, another port, none.
    QCOMPARE(statusFor("Host: evil.example:" + port + "\r\n"), 403);
    QCOMPARE(statusFor("Host: 127.0.0.1:1\r\n"), 403);
    QCOMPARE(statusFor(""), 403);
}

QTEST_GUILESS_MAIN(TstCloudDbLimits)
#include "tst_clouddblimits.moc"
