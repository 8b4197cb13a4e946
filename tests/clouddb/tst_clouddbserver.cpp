#include "clouddb/clouddbserver.h"
#include "clouddb/clouddbstore.h"
#include "clouddb/clouddbtree.h"
#include "servers/clouddbfixture.h"
#include "support/httpcall.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QtTest>

namespace {

// What a restarted server would find: the data file with its log replayed.
QJsonValue readDataFile(const QString &path)
{
    CloudDbStore store(path);
    QString error;
    if (!store.load(&error))
        return QJsonValue(QJsonValue::Undefined);
    return store.root();
}

} // namespace

class TstCloudDbServer : public QObject
{
    Q_OBJECT
private slots:
    void semanticsOverHttp();
    void encodedSlashStaysInItsSegment();
    void largeBodyIsRefused();
    void rawGarbageDoesNotKillIt();
    void survivesRestart();
    void survivesKillDuringWrites();
    void inProcessServerAnswers();

private:
    QNetworkAccessManager nam;
};

void TstCloudDbServer::semanticsOverHttp()
{
    CloudDbFixture db;
    QVERIFY2(db.start(), qPrintable(db.errorText()));
    const QString u = db.baseUrl();
    HttpAnswer a = httpCall(nam, u + "/mirelo_link/s.json", "GET");
    QCOMPARE(a.status, 200);
    QCOMPARE(a.body, QByteArray("null"));
    a = httpCall(nam, u + "/mirelo_link/s/inbox/m1.json", "PUT", "{\"box\":\"TVJDMQ==\"}");
    QCOMPARE(a.status, 200);
    QCOMPARE(a.body, QByteArray("{\"box\":\"TVJDMQ==\"}"));
    QCOMPARE(httpCall(nam, u + "/mirelo_link/s.json", "GET").body,
             QByteArray("{\"inbox\":{\"m1\":{\"box\":\"TVJDMQ==\"}}}"));
    a = httpCall(nam, u + "/mirelo_link/s.json", "DELETE");
    QCOMPARE(a.status, 200);
    QCOMPARE(a.body, QByteArray("null"));
    QCOMPARE(httpCall(nam, u + "/mirelo_link/s/inbox/m1.json", "GET").body, QByteArray("null"));

    QCOMPARE(httpCall(nam, u + "/mirelo_users/ayse.json", "PUT", "{\"pass\":\"x\"}").status, 200);
    a = httpCall(nam, u + "/mirelo_users/ayse.json", "PUT", "{\"pass\":\"y\"}");
    QCOMPARE(a.status, 401);
    QCOMPARE(a.body, QByteArray("{\"error\" : \"Permission denied\"}"));
    a = httpCall(nam, u + "/mirelo_link/a.json", "PUT", "{\"a\":");
    QCOMPARE(a.status, 400);
    QVERIFY(QJsonDocument::fromJson(a.body).object().contains("error"));
}

void TstCloudDbServer::encodedSlashStaysInItsSegment()
{
    CloudDbFixture db;
    QVERIFY2(db.start(), qPrintable(db.errorText()));
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_link/a/b.json", "PUT", "1").status, 200);
    const HttpAnswer a = httpCall(nam, db.baseUrl() + "/mirelo_link/a%2Fb.json", "PUT", "2");
    QCOMPARE(a.status, 400);
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_link/a/b.json", "GET").body, QByteArray("1"));
    // A percent-encoded ordinary character is just that character.
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_link/%61/b.json", "GET").body, QByteArray("1"));
}

void TstCloudDbServer::largeBodyIsRefused()
{
    CloudDbFixture db;
    QVERIFY2(db.start(), qPrintable(db.errorText()));
    const QByteArray big = "\"" + QByteArray(1024 * 1024, 'a') + "\"";
    const HttpAnswer a = httpCall(nam, db.baseUrl() + "/mirelo_link/big.json", "PUT", big);
    QCOMPARE(a.status, 413);
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_link/big.json", "GET").body, QByteArray("null"));
}

void TstCloudDbServer::rawGarbageDoesNotKillIt()
{
    CloudDbFixture db;
    QVERIFY2(db.start(), qPrintable(db.errorText()));
    const QUrl url(db.baseUrl());
    static const char binary[] = "\x00\xff garbage\r\n\r\n";
    for (const QByteArray &junk : {QByteArray(binary, sizeof binary - 1),
                                  QByteArray("PUT /mirelo_link/x.json HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n{"),
                                  QByteArray("GET /%zz%.json HTTP/1.1\r\nHost: x\r\n\r\n")}) {
        QTcpSocket s;
        s.connectToHost(url.host(), quint16(url.port()));
        QVERIFY(s.waitForConnected(5000));
        s.write(junk);
        s.waitForBytesWritten(2000);
        s.waitForReadyRead(300);
        s.abort();
    }
    QVERIFY(db.isRunning());
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_link/x.json", "GET").status, 200);
}

void TstCloudDbServer::survivesRestart()
{
    CloudDbFixture db;
    QVERIFY2(db.start(), qPrintable(db.errorText()));
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_users/kalici.json", "PUT", "{\"pass\":\"p\"}").status, 200);
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_link/s/code.json", "PUT", "\"123456\"").status, 200);
    db.stop();
    QVERIFY2(db.start(), qPrintable(db.errorText()));
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_users/kalici/pass.json", "GET").body, QByteArray("\"p\""));
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_link/s/code.json", "GET").body, QByteArray("\"123456\""));
    // The create-only rule still holds for records read back from disk.
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_users/kalici.json", "PUT", "{\"pass\":\"q\"}").status, 401);
}

void TstCloudDbServer::survivesKillDuringWrites()
{
    CloudDbFixture db;
    // A few rounds, killing at different moments of the write stream.
    for (int round = 0; round < 4; ++round) {
        QVERIFY2(db.start(), qPrintable(db.errorText()));
        // One session per write: a single session would soon meet its quota.
        const QString base = db.baseUrl() + QStringLiteral("/mirelo_link/r%1k").arg(round);
        QList<int> acknowledged;
        int next = 0;
        int failed = 0;
        // Several writes in flight and bodies of some size keep the server
        // saving nearly all the time, so the kill lands inside a save.
        const int streams = 4;
        const QByteArray filler = "\"" + QByteArray(40000, 'x') + "\"";
        std::function<void()> send = [&]() {
            const int n = next++;
            QNetworkRequest request{QUrl(base + QString::number(n) + ".json")};
            request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
            QNetworkReply *reply = nam.put(request, "{\"n\":" + QByteArray::number(n) + ",\"f\":" + filler + "}");
            QObject::connect(reply, &QNetworkReply::finished, [&, reply, n]() {
                reply->deleteLater();
                if (reply->error() == QNetworkReply::NoError
                    && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200) {
                    acknowledged.append(n);
                    send();
                } else {
                    ++failed;
                }
            });
        };
        for (int i = 0; i < streams; ++i)
            send();
        QTRY_VERIFY_WITH_TIMEOUT(acknowledged.size() >= 15 + 7 * round, 30000);
        db.kill();
        QTRY_COMPARE_WITH_TIMEOUT(failed, streams, 30000);

        const QJsonValue data = readDataFile(db.dataFile());
        QVERIFY2(!data.isUndefined(), "data file or log does not load after the kill");
        for (int n : acknowledged) {
            const QJsonValue node = cloudDbNode(data, {"mirelo_link", QStringLiteral("r%1k%2").arg(round).arg(n)});
            QVERIFY2(node.toObject().value("n").toInt(-1) == n, qPrintable(QStringLiteral("lost write %1").arg(n)));
        }
    }
    // And the server starts again from that file.
    QVERIFY2(db.start(), qPrintable(db.errorText()));
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_link/r0k0/n.json", "GET").body, QByteArray("0"));
}

void TstCloudDbServer::inProcessServerAnswers()
{
    CloudDbFixture db;
    QVERIFY2(db.startInProcess(), qPrintable(db.errorText()));
    QCOMPARE(db.processId(), 0);
    // A second server cannot take the same file meanwhile.
    CloudDbServer rival(db.dataFile());
    QString error;
    QVERIFY(!rival.start(QHostAddress::LocalHost, 0, &error));
    QVERIFY(rival.dataFileInUse());
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_link/i.json", "PUT", "[1,2]").body, QByteArray("[1,2]"));
    QCOMPARE(httpCall(nam, db.baseUrl() + "/mirelo_link/i/1.json", "GET").body, QByteArray("2"));
    db.stop();
    QVERIFY(!httpCall(nam, db.baseUrl() + "/mirelo_link/i.json", "GET").ok);
}

QTEST_GUILESS_MAIN(TstCloudDbServer)
#include "tst_clouddbserver.moc"
