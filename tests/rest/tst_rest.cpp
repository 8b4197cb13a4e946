// The database calls against a scripted HTTP peer: what counts as ok, what
// is sent, and that a caller that goes away is never called back.
#include "rest/neterrors.h"
#include "rest/rest.h"

#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

// Answers every request with one canned response, or never when `answer` is empty.
class ScriptedServer : public QTcpServer
{
public:
    QByteArray answer;
    QByteArray lastRequest;

    ScriptedServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket]() {
                    lastRequest += socket->readAll();
                    if (!answer.isEmpty() && lastRequest.contains("\r\n\r\n"))
                        socket->write(answer);
                });
            }
        });
        listen(QHostAddress::LocalHost, 0);
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
};

QByteArray response(int status, const QByteArray &body)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: application/json\r\nContent-Length: "
           + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace

class TestRest : public QObject
{
    Q_OBJECT
private slots:
    void getTreatsNullAsMissing()
    {
        ScriptedServer server;
        QNetworkAccessManager nam;
        QObject context;
        server.answer = response(200, " null\n");
        bool called = false, ok = true;
        restGet(&nam, &context, server.base() + "/", "/a/b", [&](bool r, const QByteArray &) { called = true; ok = r; });
        QTRY_VERIFY(called);
        QVERIFY(!ok);
        QVERIFY(server.lastRequest.startsWith("GET /a/b.json HTTP/1.1"));

        server.lastRequest.clear();
        server.answer = response(200, "{\"x\":1}");
        called = false;
        QByteArray body;
        restGet(&nam, &context, server.base(), "/a", [&](bool r, const QByteArray &b) { called = true; ok = r; body = b; });
        QTRY_VERIFY(called);
        QVERIFY(ok);
        QCOMPARE(body, QByteArray("{\"x\":1}"));
    }

    void putSendsCompactJsonAndReportsHttpErrors()
    {
        ScriptedServer server;
        QNetworkAccessManager nam;
        QObject context;
        server.answer = response(401, "{ \"error\" : \"Permission denied\" }");
        bool called = false, ok = true;
        QByteArray body;
        restPut(&nam, &context, server.base(), "/u/x", QJsonDocument::fromJson("{ \"a\" : [1, 2] }"),
                [&](bool r, const QByteArray &b) { called = true; ok = r; body = b; });
        QTRY_VERIFY(called);
        QVERIFY(!ok);
        QVERIFY(body.contains("Permission denied"));
        QVERIFY(server.lastRequest.startsWith("PUT /u/x.json HTTP/1.1"));
        QVERIFY(server.lastRequest.toLower().contains("content-type: application/json"));
        QVERIFY(server.lastRequest.endsWith("{\"a\":[1,2]}"));

        RestResult raw;
        called = false;
        restRequest(&nam, &context, server.base(), "/u/x", "GET", {}, [&](const RestResult &r) { called = true; raw = r; });
        QTRY_VERIFY(called);
        QCOMPARE(raw.httpStatus, 401);
        QVERIFY(!raw.networkOk);
        QVERIFY2(raw.errorText.startsWith(QStringLiteral("sunucu erisimi reddetti")), qPrintable(raw.errorText));
    }

    void deleteAndRefusedConnection()
    {
        ScriptedServer server;
        QNetworkAccessManager nam;
        QObject context;
        server.answer = response(200, "null");
        bool called = false, ok = false;
        restDelete(&nam, &context, server.base(), "/x", [&](bool r) { called = true; ok = r; });
        QTRY_VERIFY(called);
        QVERIFY(ok);
        QVERIFY(server.lastRequest.startsWith("DELETE /x.json HTTP/1.1"));

        const QString closed = server.base();
        server.close();
        called = false;
        ok = true;
        restDelete(&nam, &context, closed, "/x", [&](bool r) { called = true; ok = r; });
        QTRY_VERIFY(called);
        QVERIFY(!ok);
        RestResult refused;
        called = false;
        restRequest(&nam, &context, closed, "/x", "GET", {}, [&](const RestResult &r) { called = true; refused = r; });
        QTRY_VERIFY(called);
        QVERIFY2(refused.errorText.startsWith(QStringLiteral("baglanti reddedildi (port dogru mu?) (")),
                 qPrintable(refused.errorText));
    }

    // Every kind Qt can report reads as Turkish words, never as Qt's English.
    void everyFailureKindHasTurkishText()
    {
        const QRegularExpression english(QStringLiteral("\\b(error|host|not|found|refused|connection|unknown)\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
        QStringList texts;
        for (int e = QAbstractSocket::UnknownSocketError; e <= QAbstractSocket::OperationError + 10; ++e)
            texts << socketErrorText(QAbstractSocket::SocketError(e));
        for (int e = QSslError::UnableToGetIssuerCertificate; e <= QSslError::OcspStatusUnknown; ++e)
            texts << sslErrorText(QSslError::SslError(e));
        for (int e = QNetworkReply::ConnectionRefusedError; e <= QNetworkReply::UnknownServerError; ++e)
            texts << networkErrorText(QNetworkReply::NetworkError(e));
        for (const QString &t : texts) {
            QVERIFY(!t.isEmpty());
            QVERIFY2(!english.match(t).hasMatch(), qPrintable(t));
        }
        QCOMPARE(networkErrorText(QNetworkReply::HostNotFoundError), socketErrorText(QAbstractSocket::HostNotFoundError));
        QCOMPARE(socketErrorText(QAbstractSocket::UnknownSocketError, true),
                 socketErrorText(QAbstractSocket::SocketTimeoutError));
        QVERIFY(tlsSocketErrorText(QAbstractSocket::SslHandshakeFailedError, {QSslError(QSslError::HostNameMismatch)})
                    .endsWith(sslErrorText(QSslError::HostNameMismatch)));
        QCOMPARE(withQtDetail(QStringLiteral("a"), QStringLiteral(" Host not found ")), QStringLiteral("a (Host not found)"));
        QCOMPARE(withQtDetail(QStringLiteral("a"), QString()), QStringLiteral("a"));
    }

    void aCallerThatGoesAwayIsNeverCalledBack()
    {
        ScriptedServer server; // accepts, never answers
        QNetworkAccessManager nam;
        int calls = 0;
        auto *context = new QObject;
        restGet(&nam, context, server.base(), "/slow", [&](bool, const QByteArray &) { ++calls; });
        restPut(&nam, context, server.base(), "/slow", QJsonDocument(QJsonObject{}), [&](bool, const QByteArray &) { ++calls; });
        restDelete(&nam, context, server.base(), "/slow", [&](bool) { ++calls; });
        QTRY_VERIFY(!server.lastRequest.isEmpty());
        delete context;
        QTest::qWait(100);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(calls, 0);
        QCOMPARE(nam.findChildren<QNetworkReply *>().size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRest)
#include "tst_rest.moc"
