// LinkManager without a database: everything here either fails before any
// request or meets a closed port.
#include "link/linkmanager.h"
#include "link/linkpayload.h"
#include "mail/mailrecords.h"

#include "link/linktestsupport.h"
#include "support/isolatedsettings.h"

#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

QByteArray storedDevices()
{
    return QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"))
        .value(QStringLiteral("link/devices"))
        .toByteArray();
}

void storeDevices(const QByteArray &json)
{
    QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"))
        .setValue(QStringLiteral("link/devices"), QString::fromUtf8(json));
}

// A database that answers every request with "null" at once, except PUTs
// while `holdPuts` is set: those wait until release(). Records the request
// lines in the order they arrive.
class HoldingDatabase : public QTcpServer
{
public:
    HoldingDatabase() { listen(QHostAddress::LocalHost, 0); }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
    void release()
    {
        holdPuts = false;
        for (QTcpSocket *socket : std::as_const(held))
            answer(socket);
        held.clear();
    }

    bool holdPuts = true;
    QStringList requests;

protected:
    void incomingConnection(qintptr fd) override
    {
        auto *socket = new QTcpSocket(this);
        socket->setSocketDescriptor(fd);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            QByteArray &buffer = buffers[socket];
            buffer += socket->readAll();
            const qsizetype end = buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = buffer.left(end);
            const qsizetype lengthAt = head.toLower().indexOf("content-length:");
            const int length = lengthAt < 0 ? 0 : head.mid(lengthAt + 15).split('\r').first().trimmed().toInt();
            if (buffer.size() < end + 4 + length)
                return;
            buffer.remove(0, end + 4 + length);
            const QByteArray line = head.left(head.indexOf("\r\n"));
            requests << QString::fromLatin1(line.left(line.lastIndexOf(' ')));
            if (holdPuts && line.startsWith("PUT "))
                held << socket;
            else
                answer(socket);
        });
    }

private:
    static void answer(QTcpSocket *socket)
    {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 4\r\n\r\nnull");
    }

    QHash<QTcpSocket *, QByteArray> buffers;
    QList<QTcpSocket *> held;
};

QStringList logsOf(const QSignalSpy &spy)
{
    QStringList out;
    for (const QList<QVariant> &args : spy)
        out << args.at(0).toString();
    return out;
}

} // namespace

class TestLinkManager : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { m_settings.reset(); }

    void joinRefusesBadInputBeforeAnyRequest()
    {
        LinkManager link(nullptr, closedPortUrl());
        QSignalSpy fail(&link, &LinkManager::joinFail);
        link.joinSession(QStringLiteral("  "), QStringLiteral("123456"), QStringLiteral("P"));
        link.joinSession(QStringLiteral("ABCDEFGH"), QStringLiteral(" "), QStringLiteral("P"));
        for (const char *sid : {"../mirelo_users", "ABCD/EFG", "ABCDEFG?", "ABCDEFGH#x", "ABCDEFGO"})
            link.joinSession(QString::fromLatin1(sid), QStringLiteral("123456"), QStringLiteral("P"));
        // All answered at once, without waiting for any network.
        QCOMPARE(logsOf(fail), QStringList({QStringLiteral("Oturum ve kod gerekli."),
                                            QStringLiteral("Oturum ve kod gerekli."),
                                            QStringLiteral("Oturum gecersiz."), QStringLiteral("Oturum gecersiz."),
                                            QStringLiteral("Oturum gecersiz."), QStringLiteral("Oturum gecersiz."),
                                            QStringLiteral("Oturum gecersiz.")}));
        QVERIFY(link.devices().isEmpty());
    }

    void joinWithDatabaseDown()
    {
        LinkManager link(nullptr, closedPortUrl());
        QSignalSpy fail(&link, &LinkManager::joinFail);
        link.joinSession(QStringLiteral("abcdefgh"), QStringLiteral("123456"), QStringLiteral("P"));
        QVERIFY(fail.isEmpty());
        QTRY_COMPARE(fail.size(), 1);
        // An unreachable database is told as a network fault naming where, not as a missing session.
        const QString text = fail.at(0).at(0).toString();
        QVERIFY2(text.startsWith(QStringLiteral("Veritabanina ulasilamadi: 127.0.0.1:")), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("(ag hatasi).")), qPrintable(text));
    }

    void registryLoadUnpairAndPushWithDatabaseDown()
    {
        storeDevices(R"([{"sid":"ABCDEFGH","name":"Pixel","key":"k1","at":"a"},)"
                     R"({"sid":"JKLMNPQR","name":"Telefon"},)"
                     R"({"sid":"STUVWXYZ","name":"Tablet","key":"k2","at":"b"}])");
        LinkManager link(nullptr, closedPortUrl());
        QCOMPARE(link.devices().size(), 2);
        QSignalSpy log(&link, &LinkManager::linkLog);
        QSignalSpy changed(&link, &LinkManager::devicesChanged);

        // Nothing to send: no request, hence no failure line either.
        MailItem noCode;
        noCode.from = QStringLiteral("x@y");
        link.pushCode(noCode);
        MailItem item;
        item.code = QStringLiteral("123456");
        link.pushCode(item);
        QTRY_COMPARE(log.size(), 2);
        QStringList lines = logsOf(log);
        lines.sort();
        QCOMPARE(lines, QStringList({QStringLiteral("Pixel: gonderilemedi (ag)."),
                                     QStringLiteral("Tablet: gonderilemedi (ag).")}));
        log.clear();

        link.unpair(QStringLiteral("ABCDEFGH"));
        QCOMPARE(changed.size(), 1); // at once, not after the DELETE
        QCOMPARE(link.devices().size(), 1);
        QCOMPARE(parsePairedDevices(storedDevices()).size(), 1);
        QTRY_COMPARE(log.size(), 1);
        QCOMPARE(log.at(0).at(0).toString(), QStringLiteral("Silinemedi (ag). Liste temizlendi."));

        // Unknown sid: still saved, signalled and deleted remotely.
        link.unpair(QStringLiteral("ZZZZZZZZ"));
        QCOMPARE(changed.size(), 2);
        QTRY_COMPARE(log.size(), 2);

        link.unpair(QStringLiteral("STUVWXYZ"));
        QCOMPARE(storedDevices(), QByteArray("[]"));
        QTRY_COMPARE(log.size(), 3);
        link.pushCode(item);
        QVERIFY(link.devices().isEmpty());

        // A new manager sees the same (empty) list.
        LinkManager again(nullptr, closedPortUrl());
        QVERIFY(again.devices().isEmpty());
    }

    void malformedStoredSidIsNeverAPath()
    {
        storeDevices(R"([{"sid":"../mirelo_users","name":"Bad","key":"k1"}])");
        LinkManager link(nullptr, closedPortUrl());
        QCOMPARE(link.devices().size(), 1);
        QSignalSpy log(&link, &LinkManager::linkLog);
        MailItem item;
        item.code = QStringLiteral("1");
        link.pushCode(item);
        QCOMPARE(logsOf(log), QStringList({QStringLiteral("Bad: gonderilemedi (oturum gecersiz).")}));
        link.unpair(QStringLiteral("../mirelo_users"));
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.at(1).at(0).toString(), QStringLiteral("Oturum gecersiz. Liste temizlendi."));
        QVERIFY(link.devices().isEmpty());
    }

    void startPairingStateAndFailedPut()
    {
        TestClock clock;
        TestRandom random;
        random.queued = {0u, 1u << 27, 2u << 27, 3u << 27, 4u << 27, 5u << 27, 6u << 27, 7u << 27, 1u << 22};
        LinkOptions options;
        options.databaseBaseUrl = closedPortUrl();
        options.clock = clock.fn();
        options.random = random.fn();
        LinkManager link(nullptr, options);
        QVERIFY(link.pairingUri().isEmpty());
        QCOMPARE(link.secondsLeft(), 0);

        QSignalSpy log(&link, &LinkManager::linkLog);
        QSignalSpy changed(&link, &LinkManager::pairingChanged);
        link.startPairing();
        // Ready at once, without waiting for the write.
        QVERIFY(link.isPairing());
        QCOMPARE(link.sessionId(), QStringLiteral("ABCDEFGH"));
        QCOMPARE(link.pairingCode(), QStringLiteral("000976"));
        QCOMPARE(link.pairingUri(), QStringLiteral("MIRELOPLUS://pair?s=ABCDEFGH&c=000976"));
        QCOMPARE(link.secondsLeft(), 600);
        clock.now = clock.now.addSecs(601);
        QCOMPARE(link.secondsLeft(), 0);
        QCOMPARE(logsOf(log), QStringList({QStringLiteral("QR + kod hazir (10 dk gecerli).")}));
        QCOMPARE(changed.size(), 1);

        QTRY_VERIFY(!link.isPairing());
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.at(1).at(0).toString(), QStringLiteral("Eslestirme baslatilamadi: ag hatasi."));
        QCOMPARE(changed.size(), 2);
        QCOMPARE(link.secondsLeft(), 0);
        QVERIFY(link.pairingUri().isEmpty());
    }

    void cancelledBeforeItsRecordWasWrittenIsDeletedAfterwards()
    {
        // The DELETE of a cancel can overtake the first PUT; the record that
        // PUT then writes must not stay behind.
        HoldingDatabase db;
        LinkManager link(nullptr, db.url());
        link.startPairing();
        const QString path = QStringLiteral("/mirelo_link/") + link.sessionId() + QStringLiteral(".json");
        QTRY_COMPARE(db.requests, QStringList({QStringLiteral("PUT ") + path}));
        link.cancelPairing();
        QTRY_COMPARE(db.requests.size(), 2);
        QCOMPARE(db.requests.at(1), QStringLiteral("DELETE ") + path);
        db.release();
        QTRY_COMPARE(db.requests.size(), 3);
        QCOMPARE(db.requests.at(2), QStringLiteral("DELETE ") + path);
        // Done: nothing is left for the next run.
        QTRY_VERIFY(QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"))
                        .value(QStringLiteral("link/cleanup"))
                        .toStringList()
                        .isEmpty());
    }

    void destroyedWithRequestsInFlight()
    {
        // A database that accepts and never answers keeps every request open.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        storeDevices(R"([{"sid":"ABCDEFGH","name":"Pixel","key":"k1"}])");
        auto *link = new LinkManager(nullptr, QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort()));
        QObject guard;
        int callbacks = 0;
        for (auto signal : {&LinkManager::joinFail, &LinkManager::linkLog})
            connect(link, signal, &guard, [&callbacks] { ++callbacks; });
        connect(link, &LinkManager::pairingChanged, &guard, [&callbacks] { ++callbacks; });
        link->startPairing();
        link->joinSession(QStringLiteral("JKLMNPQR"), QStringLiteral("123456"), QStringLiteral("P"));
        MailItem item;
        item.code = QStringLiteral("1");
        link->pushCode(item);
        link->pollInbox();
        QTRY_VERIFY(silent.hasPendingConnections());
        callbacks = 0;
        delete link; // must not answer from a half-destroyed manager
        QCoreApplication::processEvents();
        QCOMPARE(callbacks, 0);
    }

private:
    std::unique_ptr<IsolatedSettings> m_settings;
};

QTEST_GUILESS_MAIN(TestLinkManager)
#include "tst_linkmanager.moc"
