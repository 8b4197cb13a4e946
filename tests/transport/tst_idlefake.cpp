// IDLE connections against scripted servers: the normal dialogue, leaving
// and re-entering IDLE, refusals, faults that end in a reconnect, floods,
// overlong lines, the account list deciding which connections run, and the
// poll rounds they ask for.
#include <QElapsedTimer>
#include <QtTest>

#include <memory>

#include "accountsupport.h"
#include "fakeserver.h"
#include "mail/mailstore.h"
#include "support/isolatedsettings.h"
#include "servers/tlsfixture.h"
#include "transport/idlesession.h"
#include "transport/idlewatcher.h"
#include "transport/imapclient.h"

namespace {
QByteArray literal(const QByteArray &data)
{
    return "{" + QByteArray::number(data.size()) + "}\r\n" + data;
}

// A server that can IDLE and also answers a poll of one unseen code mail.
// Tests replace single answers through `override`.
struct Script
{
    QByteArray idleTag;
    std::function<QByteArray(const QByteArray &line, const QByteArray &tag)> override;

    QByteArray answer(const QByteArray &line)
    {
        const QByteArray tag = line.left(line.indexOf(' '));
        if (override) {
            const QByteArray special = override(line, tag);
            if (!special.isNull())
                return special;
        }
        if (line == "DONE")
            return idleTag + " OK Idle completed\r\n";
        if (line.contains(" LOGIN "))
            return tag + " OK [CAPABILITY IMAP4rev1 IDLE] Logged in\r\n";
        if (line.endsWith(" EXAMINE INBOX"))
            return "* 1 EXISTS\r\n* 0 RECENT\r\n" + tag + " OK [READ-ONLY] done\r\n";
        if (line.endsWith(" IDLE")) {
            idleTag = tag;
            return "+ idling\r\n";
        }
        if (line.endsWith(" CAPABILITY"))
            return "* CAPABILITY IMAP4rev1 IDLE\r\n" + tag + " OK\r\n";
        if (line.endsWith("SELECT INBOX"))
            return "* 1 EXISTS\r\n* OK [UIDVALIDITY 7] ok\r\n" + tag + " OK\r\n";
        if (line.contains("SEARCH"))
            return "* SEARCH 1\r\n" + tag + " OK\r\n";
        if (line.contains("HEADER.FIELDS"))
            return "* 1 FETCH (UID 42 BODY[HEADER.FIELDS (FROM SUBJECT DATE)] "
                + literal("From: Banka <no-reply@bank.test>\r\nSubject: Kod\r\n\r\n") + ")\r\n" + tag + " OK\r\n";
        if (line.contains("BODY.PEEK[TEXT]"))
            return "* 1 FETCH (BODY[TEXT]<0> " + literal("Kodunuz 123456\r\n") + ")\r\n" + tag + " OK\r\n";
        if (line.endsWith("LOGOUT"))
            return "* BYE bye\r\n" + tag + " OK\r\n";
        return tag + " BAD what\r\n";
    }
};

IdleOptions quickIdle()
{
    IdleOptions o;
    o.handshakeMs = 2000;
    o.replyMs = 300;
    o.reidleMs = 60000;
    o.retryFirstMs = 40;
    o.retryCapMs = 160;
    o.noticeGapMs = 50;
    o.random = [] { return 0.0; };
    // These cases are about the announcing connection (servers the poll
    // serves); the fetching one has its own below.
    o.fetchNew = false;
    return o;
}

ImapTimeouts quickPoll()
{
    ImapTimeouts t;
    t.handshakeMs = 3000;
    t.replyChunkMs = 300;
    t.greetingFirstMs = 300;
    t.greetingMoreMs = 50;
    return t;
}

int count(const FakeServer &s, const QByteArray &needle)
{
    int n = 0;
    for (const QByteArray &l : s.lines) {
        if (l.contains(needle))
            ++n;
    }
    return n;
}

QStringList texts(const QSignalSpy &spy, int arg)
{
    QStringList out;
    for (const auto &args : spy)
        out << args.at(arg).toString();
    return out;
}
} // namespace

class IdleFakeTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeServer> server(const std::shared_ptr<Script> &script,
                                       const QByteArray &greeting = "* OK [CAPABILITY IMAP4rev1 IDLE] ready\r\n")
    {
        auto s = std::make_unique<FakeServer>(FakeServer::Tls, m_tls.serverCertificate(), m_tls.serverKey());
        s->greeting = greeting;
        s->reply = [script](const QByteArray &line) { return script->answer(line); };
        return s;
    }
    static EmailAccount accountFor(const FakeServer &s, const QString &pass = QStringLiteral("secret"))
    {
        return makeAccount(QStringLiteral("ali@fake.test"), QStringLiteral("127.0.0.1"), s.serverPort(),
                           QStringLiteral("ali"), pass);
    }

    TlsFixture m_tls;

private slots:
    void initTestCase()
    {
        registerMailMetaTypes();
        QVERIFY2(m_tls.isValid(), qPrintable(m_tls.error()));
        m_tls.trustInProcess();
    }

    void idlesAndAnnouncesNewMailOncePerDelivery()
    {
        auto script = std::make_shared<Script>();
        auto s = server(script);
        IdleSession session(accountFor(*s), quickIdle());
        QSignalSpy mail(&session, &IdleSession::newMail);
        QSignalSpy log(&session, &IdleSession::log);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(session.instant(), 5000);
        QCOMPARE(s->lines.value(0), QByteArray("i1 LOGIN \"ali\" \"secret\""));
        QCOMPARE(s->lines.value(1), QByteArray("i2 EXAMINE INBOX"));
        QCOMPARE(s->lines.value(2), QByteArray("i3 IDLE"));
        // The counts of EXAMINE are no news.
        QCOMPARE(mail.size(), 0);

        s->push("* 2 EXISTS\r\n* 1 RECENT\r\n");
        QTRY_COMPARE(mail.size(), 1);
        QCOMPARE(mail.at(0).at(0).toString(), QStringLiteral("ali@fake.test"));
        s->push("* 0 RECENT\r\n* 1 EXPUNGE\r\n");
        QTest::qWait(150);
        QCOMPARE(mail.size(), 1);
        s->push("* 3 EXISTS\r\n");
        QTRY_COMPARE(mail.size(), 2);
        QCOMPARE(log.size(), 0);
        QCOMPARE(s->connections, 1);
    }

    void leavesAndReentersIdle()
    {
        auto script = std::make_shared<Script>();
        auto s = server(script);
        IdleOptions o = quickIdle();
        o.reidleMs = 80;
        IdleSession session(accountFor(*s), o);
        QSignalSpy changes(&session, &IdleSession::instantChanged);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(count(*s, "DONE") >= 3, 5000);
        QTRY_VERIFY(count(*s, " IDLE") >= 4);
        // One connection throughout, a fresh tag each time, and the account
        // counts as instant all along.
        QCOMPARE(s->connections, 1);
        QCOMPARE(s->lines.at(3), QByteArray("DONE"));
        QCOMPARE(s->lines.at(4), QByteArray("i4 IDLE"));
        QCOMPARE(changes.size(), 1);
        // New mail told between DONE and its OK still counts.
        script->override = [](const QByteArray &line, const QByteArray &) {
            return line == "DONE" ? QByteArray("* 9 EXISTS\r\n") : QByteArray();
        };
        QSignalSpy mail(&session, &IdleSession::newMail);
        QTRY_VERIFY_WITH_TIMEOUT(mail.size() >= 1, 3000);
    }

    void silenceAfterIdleIsFoundAtTheRenewal()
    {
        auto script = std::make_shared<Script>();
        script->override = [](const QByteArray &line, const QByteArray &) {
            return line == "DONE" ? QByteArray("") : QByteArray();
        };
        auto s = server(script);
        IdleOptions o = quickIdle();
        o.reidleMs = 80;
        IdleSession session(accountFor(*s), o);
        QSignalSpy log(&session, &IdleSession::log);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(s->connections >= 3, 10000);
        QCOMPARE(log.size(), 1);
        QVERIFY(log.at(0).at(1).toString().contains(QStringLiteral("sunucu yanit vermedi")));
        QTRY_VERIFY(s->closed >= 2);
    }

    void faultsAreReportedOnceAndRetried_data()
    {
        QTest::addColumn<QByteArray>("idleAnswer");
        QTest::addColumn<bool>("silentServer");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("reachesIdle");
        QTest::newRow("IDLE never answered") << QByteArray("") << false
                                             << QStringLiteral("sunucu IDLE komutuna yanit vermedi") << false;
        QTest::newRow("BYE while idling") << QByteArray("+ idling\r\n* BYE going down\r\n") << false
                                          << QStringLiteral("sunucu baglantiyi kapatti (BYE)") << true;
        QTest::newRow("overlong line") << (QByteArray("+ idling\r\n* 1 FETCH ") + QByteArray(20000, 'x')) << false
                                       << QStringLiteral("sunucu satiri 4096 bayt sinirini asti") << true;
        QTest::newRow("IDLE ended by the server") << QByteArray("+ idling\r\nIDLETAG OK done\r\n") << false
                                                  << QStringLiteral("sunucu IDLE'i kendisi bitirdi") << true;
        QTest::newRow("silent from the first byte") << QByteArray() << true
                                                    << QStringLiteral("baglanti kurulamadi (zaman asimi)") << false;
    }

    void faultsAreReportedOnceAndRetried()
    {
        QFETCH(QByteArray, idleAnswer);
        QFETCH(bool, silentServer);
        QFETCH(QString, text);
        QFETCH(bool, reachesIdle);
        auto script = std::make_shared<Script>();
        script->override = [idleAnswer](const QByteArray &line, const QByteArray &tag) {
            if (!line.endsWith(" IDLE"))
                return QByteArray();
            QByteArray a = idleAnswer;
            a.replace("IDLETAG", tag);
            return a.isEmpty() ? QByteArray("") : a;
        };
        std::unique_ptr<FakeServer> s =
            silentServer ? std::make_unique<FakeServer>(FakeServer::Silent) : server(script);
        IdleOptions o = quickIdle();
        o.lineLimit = 4096;
        o.handshakeMs = 200;
        EmailAccount acc = accountFor(*s);
        IdleSession session(acc, o);
        QSignalSpy log(&session, &IdleSession::log);
        QSignalSpy mail(&session, &IdleSession::newMail);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(s->connections >= 4, 10000);
        QCOMPARE(log.size(), 1);
        const QString line = log.at(0).at(1).toString();
        QVERIFY2(line.startsWith(QStringLiteral("Anlik izleme (ali@fake.test): ") + text), qPrintable(line));
        QVERIFY(!session.stopped());
        // Each connection that got back into IDLE asks for a round, in case
        // mail came while it was down.
        if (reachesIdle)
            QTRY_VERIFY(mail.size() >= 1);
        else
            QCOMPARE(mail.size(), 0);
        QTRY_VERIFY(s->closed >= 3);
    }

    void refusalsStopForGood_data()
    {
        QTest::addColumn<QByteArray>("greeting");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("text");
        const QByteArray greet = "* OK [CAPABILITY IMAP4rev1 IDLE] ready\r\n";
        QTest::newRow("login refused") << greet << QByteArray(" LOGIN ")
                                       << QByteArray("TAG NO [AUTHENTICATIONFAILED] no\r\n") << QString();
        QTest::newRow("IDLE answered NO") << greet << QByteArray(" IDLE") << QByteArray("TAG NO not now\r\n")
                                          << QStringLiteral("sunucu IDLE komutunu reddetti");
        QTest::newRow("IDLE answered BAD") << greet << QByteArray(" IDLE") << QByteArray("TAG BAD what\r\n")
                                           << QStringLiteral("sunucu IDLE komutunu reddetti");
        QTest::newRow("IDLE answered OK at once") << greet << QByteArray(" IDLE") << QByteArray("TAG OK sure\r\n")
                                                  << QStringLiteral("sunucu IDLE komutunu reddetti");
        QTest::newRow("no IDLE capability") << QByteArray("* OK ready\r\n") << QByteArray(" LOGIN ")
                                            << QByteArray("TAG OK Logged in\r\n")
                                            << QStringLiteral("sunucu IDLE desteklemiyor");
    }

    void refusalsStopForGood()
    {
        QFETCH(QByteArray, greeting);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, answer);
        QFETCH(QString, text);
        auto script = std::make_shared<Script>();
        script->override = [&](const QByteArray &line, const QByteArray &tag) {
            if (line.endsWith(" CAPABILITY"))
                return "* CAPABILITY IMAP4rev1 LITERAL+\r\n" + tag + " OK\r\n";
            if (!line.contains(command))
                return QByteArray();
            QByteArray a = answer;
            a.replace("TAG", tag);
            return a;
        };
        auto s = server(script, greeting);
        IdleSession session(accountFor(*s), quickIdle());
        QSignalSpy log(&session, &IdleSession::log);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(session.stopped(), 5000);
        // Several retry delays pass: no second connection, nothing more sent.
        const int sent = int(s->lines.size());
        QTest::qWait(400);
        QCOMPARE(s->connections, 1);
        QCOMPARE(int(s->lines.size()), sent);
        QVERIFY(!session.instant());
        QTRY_COMPARE(s->closed, 1);
        if (text.isEmpty()) {
            // The poll reports a refused login; the connection says nothing.
            QCOMPARE(log.size(), 0);
            QCOMPARE(count(*s, " IDLE"), 0);
        } else {
            QCOMPARE(log.size(), 1);
            QVERIFY2(log.at(0).at(1).toString().contains(text), qPrintable(log.at(0).at(1).toString()));
        }
        if (greeting == "* OK ready\r\n") {
            QCOMPARE(count(*s, " CAPABILITY"), 1);
            QCOMPARE(count(*s, " IDLE"), 0);
        }
    }

    void unsafeOrUntrustedNeverGetsThePassword()
    {
        auto script = std::make_shared<Script>();
        auto s = server(script);
        EmailAccount acc = accountFor(*s, QStringLiteral("x\r\ni9 DELETE INBOX"));
        IdleSession broken(acc, quickIdle());
        broken.start();
        QVERIFY(broken.stopped());
        QTest::qWait(100);
        QCOMPARE(s->connections, 0);

        TlsFixture stranger;
        QVERIFY(stranger.isValid());
        FakeServer evil(FakeServer::Tls, stranger.serverCertificate(), stranger.serverKey());
        evil.greeting = "* OK [CAPABILITY IMAP4rev1 IDLE] evil\r\n";
        evil.reply = [script](const QByteArray &line) { return script->answer(line); };
        IdleSession session(accountFor(evil), quickIdle());
        QSignalSpy log(&session, &IdleSession::log);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(evil.connections >= 3, 5000);
        QVERIFY(evil.lines.isEmpty());
        QCOMPARE(log.size(), 1);
        // The certificate's fault in Turkish, Qt's words only after it.
        QVERIFY2(log.at(0).at(1).toString().contains(
                     QStringLiteral("guvenli baglanti kurulamadi: sunucu sertifikasi guvenilir bir yayinciya dayanmiyor (")),
                 qPrintable(log.at(0).at(1).toString()));
    }

    void floodIsFoldedAndReportedOnce()
    {
        auto script = std::make_shared<Script>();
        auto s = server(script);
        IdleOptions o = quickIdle();
        o.noticeGapMs = 200;
        IdleSession session(accountFor(*s), o);
        QSignalSpy mail(&session, &IdleSession::newMail);
        QSignalSpy log(&session, &IdleSession::log);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(session.instant(), 5000);
        QElapsedTimer clock;
        clock.start();
        QByteArray burst;
        for (int i = 0; i < 4000; ++i)
            burst += "* " + QByteArray::number(i + 2) + " EXISTS\r\n";
        QTimer pump;
        int sentLines = 0;
        connect(&pump, &QTimer::timeout, this, [&] {
            s->push(burst);
            sentLines += 4000;
        });
        pump.start(20);
        QTRY_VERIFY_WITH_TIMEOUT(sentLines >= 40000, 10000);
        pump.stop();
        QTRY_VERIFY(!log.isEmpty());
        QTest::qWait(250);
        const qint64 took = clock.elapsed();
        QCOMPARE(log.size(), 1);
        QVERIFY(log.at(0).at(1).toString().contains(QStringLiteral("bildirimler birlestiriliyor")));
        // Tens of thousands of lines, at most one notice per gap.
        QVERIFY2(mail.size() >= 1 && mail.size() <= took / o.noticeGapMs + 2,
                 qPrintable(QStringLiteral("%1 notices in %2 ms").arg(mail.size()).arg(took)));
        QVERIFY(session.instant());
        QCOMPARE(s->connections, 1);
    }

    void watcherFollowsTheAccountList()
    {
        auto script = std::make_shared<Script>();
        script->override = [](const QByteArray &line, const QByteArray &tag) {
            return line.contains("\"wrong\"") ? tag + " NO [AUTHENTICATIONFAILED] no\r\n" : QByteArray();
        };
        auto s = server(script);
        EmailAccount acc = accountFor(*s);
        auto watcher = std::make_unique<IdleWatcher>(quickIdle());
        QSignalSpy changes(watcher.get(), &IdleWatcher::instantChanged);
        watcher->setAccounts({acc});
        QTRY_VERIFY_WITH_TIMEOUT(watcher->isInstant(QStringLiteral("ALI@fake.test")), 5000);

        // Results of polls change the record but not the connection.
        EmailAccount polled = acc;
        polled.lastOk = QStringLiteral("10:00");
        watcher->setAccounts({polled});
        QTest::qWait(100);
        QCOMPARE(s->connections, 1);

        acc.enabled = false;
        watcher->setAccounts({acc});
        QTRY_COMPARE(s->closed, 1);
        QTRY_VERIFY(!watcher->isInstant(acc.address));
        acc.enabled = true;
        watcher->setAccounts({acc});
        QTRY_VERIFY(watcher->isInstant(acc.address));
        QCOMPARE(s->connections, 2);

        // A refused login stays down until the settings change.
        acc.pass = QStringLiteral("wrong");
        watcher->setAccounts({acc});
        QTRY_COMPARE(s->connections, 3);
        QTRY_VERIFY(!watcher->isInstant(acc.address));
        watcher->setAccounts({acc});
        QTest::qWait(300);
        QCOMPARE(s->connections, 3);
        acc.pass = QStringLiteral("secret");
        watcher->setAccounts({acc});
        QTRY_VERIFY(watcher->isInstant(acc.address));
        QCOMPARE(s->connections, 4);

        watcher->setAccounts({});
        QTRY_COMPARE(s->closed, 4);
        QTRY_VERIFY(!watcher->isInstant(acc.address));

        // Ending the watcher while idling is prompt and closes the connection.
        watcher->setAccounts({acc});
        QTRY_VERIFY(watcher->isInstant(acc.address));
        QElapsedTimer clock;
        clock.start();
        watcher.reset();
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE(s->closed, 5);
    }

    void roundsOfAnAccountNeverOverlap()
    {
        IsolatedSettings settings;
        auto script = std::make_shared<Script>();
        // A slow round: the poll's SELECT gets no answer for a while.
        script->override = [](const QByteArray &line, const QByteArray &) {
            return line.endsWith("SELECT INBOX") ? QByteArray("") : QByteArray();
        };
        auto s = server(script);
        MailStore store;
        store.addOrUpdateAccount(accountFor(*s));
        ImapClient client(&store, quickPoll(), quickIdle());
        QSignalSpy status(&client, &ImapClient::status);
        // Ticks while a round is under way add nothing.
        for (int i = 0; i < 5; ++i)
            client.onTick();
        QTRY_COMPARE_WITH_TIMEOUT(store.mails().size(), 1, 10000);
        QTRY_COMPARE(count(*s, "a99 LOGOUT"), 1);
        QTest::qWait(200);
        QCOMPARE(count(*s, "a02 LOGIN"), 1);

        // Mail announced during a round: exactly one more round after it.
        client.pollNow();
        QTRY_COMPARE(count(*s, "a02 LOGIN"), 2);
        client.onIdleMail(QStringLiteral("ALI@fake.test"));
        client.onIdleMail(QStringLiteral("ali@fake.test"));
        client.pollNow();
        QTRY_COMPARE_WITH_TIMEOUT(count(*s, "a99 LOGOUT"), 3, 10000);
        QTest::qWait(300);
        QCOMPARE(count(*s, "a02 LOGIN"), 3);
        // Idle again: a notice starts a round at once.
        client.onIdleMail(QStringLiteral("ali@fake.test"));
        QTRY_COMPARE(count(*s, "a02 LOGIN"), 4);
    }

    void idleNoticeFetchesAtOnceAndPollsSurviveAFlood()
    {
        IsolatedSettings settings;
        auto script = std::make_shared<Script>();
        auto s = server(script);
        MailStore store;
        store.addOrUpdateAccount(accountFor(*s));
        ImapClient client(&store, quickPoll(), quickIdle());
        QSignalSpy status(&client, &ImapClient::status);
        QSignalSpy instant(&client, &ImapClient::instantChanged);
        client.setPollInterval(3600 * 1000);
        client.start();
        QTRY_VERIFY_WITH_TIMEOUT(client.isInstant(QStringLiteral("ali@fake.test")), 5000);
        QCOMPARE(instant.size(), 1);
        QTRY_COMPARE(count(*s, "a99 LOGOUT"), 1);

        // Only the server's notice can start the next round.
        s->push("* 2 EXISTS\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(count(*s, "a99 LOGOUT"), 2, 5000);

        // A flood on the IDLE connection: polls still run, the log has it once.
        client.setPollInterval(100);
        QByteArray burst;
        for (int i = 0; i < 2000; ++i)
            burst += "* 5 EXISTS\r\n";
        QTimer pump;
        connect(&pump, &QTimer::timeout, this, [&] { s->push(burst); });
        pump.start(10);
        const int before = count(*s, "a99 LOGOUT");
        QTRY_VERIFY_WITH_TIMEOUT(count(*s, "a99 LOGOUT") >= before + 5, 10000);
        pump.stop();
        const QStringList lines = texts(status, 0).filter(QStringLiteral("Anlik izleme"));
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.at(0).contains(QStringLiteral("birlestiriliyor")));

        // Pausing the account ends its connection at once.
        store.setAccountEnabled(QStringLiteral("ali@fake.test"), false);
        QTRY_VERIFY(!client.isInstant(QStringLiteral("ali@fake.test")));
    }
};

QTEST_GUILESS_MAIN(IdleFakeTest)
#include "tst_idlefake.moc"
