#include "clouddb/embeddeddb.h"
#include "core/settingsfile.h"
#include "support/httpcall.h"
#include "support/isolatedsettings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QtTest>

#include <memory>

class TstEmbeddedDb : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("MIRELOPLUS");
        QCoreApplication::setApplicationName("MireloPlus");
    }
    void init() { settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { settings.reset(); }

    void hostedUrlFromSettings()
    {
        QSettings("MIRELOPLUS", "MireloPlus").setValue("cloud/url", " https://proje.example.com/ ");
        QObject owner;
        QCOMPARE(startCloudDatabase(&owner), QString("https://proje.example.com"));
        QVERIFY(owner.children().isEmpty());
    }

    void embeddedServerKeepsDataInAppData()
    {
        const QString dataFile = dataFolder() + "/clouddb.json";
        QVERIFY(dataFile.startsWith(settings->path()));
        QString url;
        {
            QObject owner;
            url = startCloudDatabase(&owner);
            QVERIFY(url.startsWith("http://127.0.0.1:"));
            QCOMPARE(httpCall(url + "/mirelo_link/e.json", "PUT", "{\"v\":1}").body, QByteArray("{\"v\":1}"));
            QVERIFY(QFile::exists(dataFile) || QFile::exists(dataFile + ".log"));
#ifdef Q_OS_UNIX
            for (const QString &file : {dataFile, dataFile + ".log"})
                QVERIFY(!QFile::exists(file)
                        || !(QFile::permissions(file) & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
#endif
        }
        // The server goes with its owner...
        QVERIFY(!httpCall(url + "/mirelo_link/e.json").ok);
        // ...and the next start finds the data again.
        QObject owner;
        const QString again = startCloudDatabase(&owner);
        QCOMPARE(httpCall(again + "/mirelo_link/e/v.json", "GET").body, QByteArray("1"));
    }

    // A peer's URL survives a restart: the port is kept, and only a port that
    // something else holds now makes it move (and the new one is kept).
    void portIsKeptAcrossStarts()
    {
        QString first;
        {
            QObject owner;
            first = startCloudDatabase(&owner);
            QVERIFY(!first.isEmpty());
        }
        const quint16 port = quint16(QUrl(first).port());
        {
            QObject owner;
            QCOMPARE(startCloudDatabase(&owner), first);
        }
        QTcpServer squatter;
        QVERIFY(squatter.listen(QHostAddress::LocalHost, port));
        QString moved;
        {
            QObject owner;
            moved = startCloudDatabase(&owner);
            QVERIFY(!moved.isEmpty());
            QVERIFY(QUrl(moved).port() != port);
        }
        squatter.close();
        QObject owner;
        QCOMPARE(startCloudDatabase(&owner), moved);
    }

    void secondCopySharesTheRunningServer()
    {
        QObject first;
        const QString url = startCloudDatabase(&first);
        QVERIFY(!url.isEmpty());
        QObject second;
        QCOMPARE(startCloudDatabase(&second), url);
        QVERIFY(second.children().isEmpty());
        QCOMPARE(httpCall(url + "/mirelo_link/ortak.json", "PUT", "1").body, QByteArray("1"));
    }

    void foreignHostNamesAreRefused()
    {
        QObject owner;
        const QUrl url(startCloudDatabase(&owner));
        QVERIFY(url.isValid());
        auto statusFor = [&](const QByteArray &host) {
            QTcpSocket s;
            s.connectToHost(url.host(), quint16(url.port()));
            if (!s.waitForConnected(3000))
                return QByteArray();
            s.write("GET /mirelo_link/x.json HTTP/1.1\r\nHost: " + host + "\r\n\r\n");
            QByteArray answer;
            while (!answer.contains("\r\n") && s.waitForReadyRead(3000))
                answer += s.readAll();
            return answer.left(answer.indexOf("\r\n"));
        };
        const QByteArray port = QByteArray::number(url.port());
        QCOMPARE(statusFor("localhost:" + port), QByteArray("HTTP/1.1 200 OK"));
        // A page on attacker.example whose name now points at 127.0.0.1.
        QCOMPARE(statusFor("attacker.example:" + port), QByteArray("HTTP/1.1 403 Forbidden"));
    }

    void brokenDataFileIsKeptAside()
    {
        const QString dir = dataFolder();
        QVERIFY(QDir().mkpath(dir));
        QFile broken(dir + "/clouddb.json");
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("{\"mirelo_users\":{\"x\":");
        broken.close();
        QObject owner;
        const QString url = startCloudDatabase(&owner);
        QVERIFY(!url.isEmpty());
        QCOMPARE(httpCall(url + "/mirelo_users/yeni.json", "PUT", "{\"pass\":\"p\"}").body,
                 QByteArray("{\"pass\":\"p\"}"));
        const QStringList aside = QDir(dir).entryList({"clouddb.json.broken-*"});
        QCOMPARE(aside.size(), 1);
        QFile kept(dir + "/" + aside.first());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("{\"mirelo_users\":{\"x\":"));
    }

private:
    std::unique_ptr<IsolatedSettings> settings;
};

QTEST_GUILESS_MAIN(TstEmbeddedDb)
#include "tst_embeddeddb.moc"
