// mirelo-peer as a separate process against mirelo-clouddb: it joins a
// session opened by a LinkManager in this process and prints the codes
// pushed to it; the database in between holds only sealed boxes.
#include "link/linkmanager.h"
#include "mail/mailrecords.h"

#include "link/linktestsupport.h"
#include "servers/clouddbfixture.h"
#include "support/isolatedsettings.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

#ifdef Q_OS_WIN
const QString kPeer = QStringLiteral(MIRELO_TEST_BIN_DIR "/mirelo-peer.exe");
#else
const QString kPeer = QStringLiteral(MIRELO_TEST_BIN_DIR "/mirelo-peer");
#endif

struct PeerRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

PeerRun runPeer(const QStringList &args)
{
    QProcess peer;
    peer.start(kPeer, args);
    PeerRun run;
    if (!peer.waitForFinished(30000)) {
        peer.kill();
        peer.waitForFinished();
        run.err = QStringLiteral("<timed out>");
        return run;
    }
    run.exitCode = peer.exitStatus() == QProcess::NormalExit ? peer.exitCode() : -1;
    run.out = QString::fromUtf8(peer.readAllStandardOutput());
    run.err = QString::fromUtf8(peer.readAllStandardError());
    return run;
}

} // namespace

class TestLinkPeer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(kPeer), qPrintable(kPeer));
        QVERIFY2(m_db.start(), qPrintable(m_db.errorText()));
    }
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { m_settings.reset(); }

    void codePushedHereIsPrintedByThePeer()
    {
        LinkOptions options;
        options.databaseBaseUrl = m_db.baseUrl();
        options.pollMs = 30;
        LinkManager host(nullptr, options);
        host.startPairing();
        const QString sid = host.sessionId();
        QTRY_VERIFY(!rawRequest(m_db.baseUrl(), QStringLiteral("/mirelo_link/") + sid).startsWith("null"));

        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("peer.json"));
        const PeerRun join = runPeer({QStringLiteral("join"), host.pairingUri(), QStringLiteral("--name"),
                                      QStringLiteral("Peer One"), QStringLiteral("--state"), state,
                                      QStringLiteral("--db"), m_db.baseUrl()});
        QVERIFY2(join.exitCode == 0, qPrintable(join.err));
        QVERIFY(join.out.contains(sid));
#ifdef Q_OS_UNIX
        // File modes are Unix's; on Windows the profile folder is the user's own.
        QCOMPARE(QFileInfo(state).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
#endif
        QTRY_COMPARE(host.devices().size(), 1);
        QCOMPARE(host.devices().at(0).name, QStringLiteral("Peer One"));

        MailItem item;
        item.from = QStringLiteral("Banka <guvenlik@banka.example>");
        item.subject = QStringLiteral("Giris dogrulama");
        item.code = QStringLiteral("482913");
        host.pushCode(item);
        const QString inbox = QStringLiteral("/mirelo_link/") + sid + QStringLiteral("/inbox");
        QTRY_VERIFY(!rawRequest(m_db.baseUrl(), inbox).startsWith("null"));

        // On the wire and at rest: a sealed box and a time, nothing else.
        const QByteArray raw = rawRequest(m_db.baseUrl(), inbox);
        QVERIFY2(!raw.contains("482913"), raw.constData());
        QVERIFY(!raw.contains("banka.example"));
        QVERIFY(!raw.contains("Giris"));
        const QJsonObject message = QJsonDocument::fromJson(raw).object().begin().value().toObject();
        const QString clearTs = message.value(QLatin1String("ts")).toString();
        QVERIFY(!clearTs.isEmpty());

        QProcess watch;
        watch.start(kPeer, {QStringLiteral("watch"), QStringLiteral("--state"), state, QStringLiteral("--db"),
                            m_db.baseUrl(), QStringLiteral("--interval"), QStringLiteral("0.1")});
        QVERIFY(watch.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(watch.canReadLine(), 15000);
        const QJsonObject line = QJsonDocument::fromJson(watch.readLine()).object();
        QCOMPARE(line.value(QLatin1String("code")).toString(), QStringLiteral("482913"));
        QCOMPARE(line.value(QLatin1String("from")).toString(), item.from);
        QCOMPARE(line.value(QLatin1String("subject")).toString(), item.subject);
        QCOMPARE(line.value(QLatin1String("ts")).toString(), clearTs);
        QTRY_VERIFY(rawRequest(m_db.baseUrl(), inbox).startsWith("null"));

        // It keeps watching.
        item.code = QStringLiteral("000017");
        host.pushCode(item);
        QTRY_VERIFY_WITH_TIMEOUT(watch.canReadLine(), 15000);
        QCOMPARE(QJsonDocument::fromJson(watch.readLine()).object().value(QLatin1String("code")).toString(),
                 QStringLiteral("000017"));
        QCOMPARE(watch.state(), QProcess::Running);
        // terminate() on Windows only asks a program's windows to close.
#ifdef Q_OS_WIN
        watch.kill();
#else
        watch.terminate();
#endif
        QVERIFY(watch.waitForFinished(10000));
    }

    void badInputGivesTheJoinersMessages()
    {
        LinkOptions options;
        options.databaseBaseUrl = m_db.baseUrl();
        LinkManager host(nullptr, options);
        host.startPairing();
        QTRY_VERIFY(!rawRequest(m_db.baseUrl(), QStringLiteral("/mirelo_link/") + host.sessionId()).startsWith("null"));
        const QString wrongCode = host.pairingCode() == QLatin1String("111111") ? QStringLiteral("222222")
                                                                                 : QStringLiteral("111111");

        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("peer.json"));
        const QStringList common{QStringLiteral("--name"), QStringLiteral("P"), QStringLiteral("--state"), state};
        const QStringList db{QStringLiteral("--db"), m_db.baseUrl()};
        const QStringList down{QStringLiteral("--db"), closedPortUrl()};

        struct Case
        {
            QStringList args;
            QString message;
        };
        const QList<Case> cases = {
            {QStringList{QStringLiteral("join"), QStringLiteral("MIRELOPLUS://pair?s=..%2Fmirelo_users&c=1")} + common + db,
             QStringLiteral("Oturum gecersiz.")},
            {QStringList{QStringLiteral("join"), QStringLiteral("not-a-link")} + common + db,
             QStringLiteral("Oturum gecersiz.")},
            {QStringList{QStringLiteral("join"), QStringLiteral("MYSSNGXX"), QStringLiteral("123456")} + common + db,
             QStringLiteral("Oturum bulunamadi (sure dolmus ya da oturum kimligi yanlis).")},
            {QStringList{QStringLiteral("join"), host.sessionId(), wrongCode} + common + db,
             QStringLiteral("Kod yanlis.")},
            {QStringList{QStringLiteral("join"), host.pairingUri()} + common + down,
             QStringLiteral("Veritabanina ulasilamadi: 127.0.0.1:")},
        };
        for (const Case &c : cases) {
            const PeerRun run = runPeer(c.args);
            QVERIFY2(run.exitCode > 0, qPrintable(c.args.join(QLatin1Char(' '))));
            QVERIFY2(run.err.contains(c.message), qPrintable(run.err));
        }
        QVERIFY(!QFileInfo::exists(state));
        QCOMPARE(host.devices().size(), 0);

        const PeerRun help = runPeer({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains(QLatin1String("mirelo-peer watch --state DOSYA --db URL")));
        // No English left in the help (its option names aside).
        for (const char *word : {"Usage", "Options", "joins", "reads", "file", "the "})
            QVERIFY2(!help.out.contains(QLatin1String(word)), word);

        const PeerRun noDevices = runPeer(QStringList{QStringLiteral("watch"), QStringLiteral("--state"), state} + db);
        QVERIFY(noDevices.exitCode > 0);
        const PeerRun noDb = runPeer({QStringLiteral("join"), host.pairingUri(), QStringLiteral("--name"),
                                      QStringLiteral("P"), QStringLiteral("--state"), state});
        QVERIFY(noDb.exitCode > 0);
        QVERIFY(noDb.err.contains(QLatin1String("--db")));
        host.cancelPairing();
    }

private:
    CloudDbFixture m_db;
    std::unique_ptr<IsolatedSettings> m_settings;
};

QTEST_GUILESS_MAIN(TestLinkPeer)
#include "tst_linkpeer.moc"
