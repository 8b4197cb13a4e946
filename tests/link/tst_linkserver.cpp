// LinkManager against the local realtime database (mirelo-clouddb as a
// child process): pairing between a host and a joiner, expiry, cancel,
// push, inbox polling and unpairing.
#include "link/linkmanager.h"
#include "link/linkpayload.h"
#include "mail/mailrecords.h"
#include "vault/sealedbox.h"

#include "link/linktestsupport.h"
#include "servers/clouddbfixture.h"
#include "support/isolatedsettings.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTcpServer>
#include <QtTest>

#include <memory>

namespace {

// Draws that make generateSessionId give exactly `sid`.
QList<quint32> drawsFor(const QString &sid)
{
    QList<quint32> draws;
    const QLatin1String alphabet(kSessionIdAlphabet);
    for (const QChar c : sid)
        draws << (quint32(alphabet.indexOf(c)) << 27);
    return draws;
}

QJsonObject rawObject(const QString &baseUrl, const QString &path)
{
    return QJsonDocument::fromJson(rawRequest(baseUrl, path)).object();
}

bool rawIsNull(const QString &baseUrl, const QString &path)
{
    return rawRequest(baseUrl, path).trimmed() == "null";
}

QStringList storedCleanups()
{
    return QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"))
        .value(QStringLiteral("link/cleanup"))
        .toStringList();
}

void storeDevices(const QList<PairedDevice> &devices)
{
    QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"))
        .setValue(QStringLiteral("link/devices"), QString::fromUtf8(serializePairedDevices(devices)));
}

} // namespace

class TestLinkServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.start(), qPrintable(m_db.errorText()));
        m_url = m_db.baseUrl();
    }
    void init()
    {
        m_settings = std::make_unique<IsolatedSettings>();
        m_clock = TestClock();
        m_random = TestRandom();
    }
    void cleanup() { m_settings.reset(); }

    void fullPairingAndOneCode()
    {
        m_random.queued = drawsFor(QStringLiteral("PAKRFULL")) << 0x80000000u;
        LinkOptions hostOptions = options();
        hostOptions.pollMs = 30;
        LinkManager host(nullptr, hostOptions);
        QSignalSpy hostDevices(&host, &LinkManager::devicesChanged);
        QSignalSpy hostLog(&host, &LinkManager::linkLog);
        host.startPairing();
        QCOMPARE(host.sessionId(), QStringLiteral("PAKRFULL"));
        QCOMPARE(host.pairingCode(), QStringLiteral("500000"));

        QTRY_VERIFY(!rawIsNull(m_url, QStringLiteral("/mirelo_link/PAKRFULL")));
        const QJsonObject waiting = rawObject(m_url, QStringLiteral("/mirelo_link/PAKRFULL"));
        QCOMPARE(waiting.value(QLatin1String("status")).toString(), QStringLiteral("waiting"));
        QCOMPARE(waiting.value(QLatin1String("codeHash")).toString(), sha256Hex("500000"));
        QCOMPARE(waiting.value(QLatin1String("created")).toString(), isoUtc(m_clock.now));
        QVERIFY(host.isPairing());

        QTemporaryDir peerDir;
        LinkOptions joinOptions;
        joinOptions.databaseBaseUrl = m_url;
        joinOptions.devicesFile = peerDir.filePath(QStringLiteral("peer.json"));
        LinkManager joiner(nullptr, joinOptions);
        QSignalSpy ok(&joiner, &LinkManager::joinOk);
        QSignalSpy fail(&joiner, &LinkManager::joinFail);
        joiner.joinSession(QStringLiteral(" pakrfull "), QStringLiteral(" 500000 "), QStringLiteral("Pixel 8"));
        QTRY_COMPARE(ok.size() + fail.size(), 1);
        QCOMPARE(ok.size(), 1);
        QCOMPARE(ok.at(0).at(0).toString(), QStringLiteral("PAKRFULL"));
        QCOMPARE(joiner.devices().size(), 1);
        QCOMPARE(joiner.devices().at(0).key, linkKeyFor(QStringLiteral("PAKRFULL"), QStringLiteral("500000")));
#ifdef Q_OS_UNIX
        QCOMPARE(QFileInfo(joinOptions.devicesFile).permissions() & (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
#endif

        QTRY_COMPARE(hostDevices.size(), 1);
        QVERIFY(!host.isPairing());
        QVERIFY(host.pairingUri().isEmpty());
        QCOMPARE(host.devices().size(), 1);
        QCOMPARE(host.devices().at(0).name, QStringLiteral("Pixel 8"));
        QCOMPARE(host.devices().at(0).key, joiner.devices().at(0).key);
        QVERIFY(hostLog.contains(QVariantList{QStringLiteral("Eslesme tamam: Pixel 8")}));
        // Once paired the host takes the code's hash away: it would give the
        // code, and with it the key, to anyone who reads the record.
        QTRY_VERIFY(!rawObject(m_url, QStringLiteral("/mirelo_link/PAKRFULL")).contains(QLatin1String("codeHash")));
        const QJsonObject paired = rawObject(m_url, QStringLiteral("/mirelo_link/PAKRFULL"));
        QCOMPARE(paired.value(QLatin1String("status")).toString(), QStringLiteral("paired"));
        QCOMPARE(paired.value(QLatin1String("device")).toString(), QStringLiteral("Pixel 8"));

        // Both lists survive a restart.
        QCOMPARE(LinkManager(nullptr, options()).devices().at(0).key, joiner.devices().at(0).key);
        QCOMPARE(LinkManager(nullptr, joinOptions).devices().at(0).sid, QStringLiteral("PAKRFULL"));

        // The paired session is now the joiner's mailbox.
        MailItem item;
        item.from = QStringLiteral("Bank <no-reply@bank.example>");
        item.subject = QStringLiteral("Dogrulama kodunuz");
        item.code = QStringLiteral("739154");
        host.pushCode(item);
        QTRY_VERIFY(!rawIsNull(m_url, QStringLiteral("/mirelo_link/PAKRFULL/inbox")));
        QSignalSpy received(&joiner, &LinkManager::codeReceived);
        joiner.pollInbox();
        QTRY_COMPARE(received.size(), 1);
        const LinkCode code = received.at(0).at(0).value<LinkCode>();
        QCOMPARE(code.code, QStringLiteral("739154"));
        QCOMPARE(code.from, item.from);
        QCOMPARE(code.subject, item.subject);
        QCOMPARE(code.ts, isoUtc(m_clock.now));
        QCOMPARE(code.sessionId, QStringLiteral("PAKRFULL"));
        QTRY_VERIFY(rawIsNull(m_url, QStringLiteral("/mirelo_link/PAKRFULL/inbox")));
    }

    void joinerFailures()
    {
        LinkManager host(nullptr, options());
        host.startPairing();
        const QString sid = host.sessionId();
        QTRY_VERIFY(!rawIsNull(m_url, QStringLiteral("/mirelo_link/") + sid));

        // An upper-case hash written by another host is accepted.
        QJsonObject upper = newSessionRecord(sha256Hex("424242").toUpper(), QStringLiteral("x"));
        QCOMPARE(rawRequest(m_url, QStringLiteral("/mirelo_link/UPPERHSH"), "PUT",
                            QJsonDocument(upper).toJson()).isEmpty(), false);
        QCOMPARE(rawRequest(m_url, QStringLiteral("/mirelo_link/NXHASHXX"), "PUT", R"({"status":"waiting"})"),
                 QByteArray(R"({"status":"waiting"})"));

        LinkManager joiner(nullptr, options());
        QSignalSpy fail(&joiner, &LinkManager::joinFail);
        QSignalSpy ok(&joiner, &LinkManager::joinOk);
        const QString wrong = host.pairingCode() == QLatin1String("111111") ? QStringLiteral("222222")
                                                                             : QStringLiteral("111111");
        joiner.joinSession(sid, wrong, QStringLiteral("P"));
        QTRY_COMPARE(fail.size(), 1);
        joiner.joinSession(QStringLiteral("MYSSNGXX"), QStringLiteral("123456"), QStringLiteral("P"));
        QTRY_COMPARE(fail.size(), 2);
        joiner.joinSession(QStringLiteral("NXHASHXX"), QStringLiteral("123456"), QStringLiteral("P"));
        QTRY_COMPARE(fail.size(), 3);
        QCOMPARE(fail.at(0).at(0).toString(), QStringLiteral("Kod yanlis."));
        QCOMPARE(fail.at(1).at(0).toString(), QStringLiteral("Oturum bulunamadi (sure dolmus ya da oturum kimligi yanlis)."));
        QCOMPARE(fail.at(2).at(0).toString(), QStringLiteral("Oturum gecersiz."));
        QVERIFY(joiner.devices().isEmpty());
        QCOMPARE(rawObject(m_url, QStringLiteral("/mirelo_link/") + sid).value(QLatin1String("status")).toString(),
                 QStringLiteral("waiting"));

        joiner.joinSession(QStringLiteral("UPPERHSH"), QStringLiteral("424242"), QString(80, QLatin1Char('d')));
        QTRY_COMPARE(ok.size(), 1);
        QCOMPARE(joiner.devices().at(0).name, QString(64, QLatin1Char('d')));
        QCOMPARE(rawObject(m_url, QStringLiteral("/mirelo_link/UPPERHSH")).value(QLatin1String("device")).toString(),
                 QString(64, QLatin1Char('d')));
        host.cancelPairing();
    }

    void hostAcceptsOnlyExactPairedAndKeepsOneEntryPerSid()
    {
        LinkOptions opts = options();
        m_random.queued = drawsFor(QStringLiteral("SAMESJDX")) << 7u;
        LinkManager host(nullptr, opts);
        QSignalSpy devicesSpy(&host, &LinkManager::devicesChanged);
        host.startPairing();
        const QString path = QStringLiteral("/mirelo_link/SAMESJDX");
        QTRY_VERIFY(!rawIsNull(m_url, path));

        rawRequest(m_url, path, "PUT", R"({"codeHash":"h","status":"Paired","device":"Wrong"})");
        host.onPairPoll();
        rawRequest(m_url, path); // lets the host's answer arrive meanwhile
        rawRequest(m_url, path, "PUT", R"({"codeHash":"h","status":"paired"})");
        host.onPairPoll();
        QTRY_COMPARE(devicesSpy.size(), 1);
        QCOMPARE(host.devices().size(), 1);
        QCOMPARE(host.devices().at(0).name, QStringLiteral("Telefon"));
        const QString firstKey = host.devices().at(0).key;

        // The same sid paired again replaces its entry.
        m_random.queued = drawsFor(QStringLiteral("SAMESJDX")) << 0xFFFFFFFFu;
        host.startPairing();
        QCOMPARE(host.sessionId(), QStringLiteral("SAMESJDX"));
        QTRY_COMPARE(rawObject(m_url, path).value(QLatin1String("status")).toString(), QStringLiteral("waiting"));
        rawRequest(m_url, path, "PUT", R"({"status":"paired","device":"Second"})");
        host.onPairPoll();
        QTRY_COMPARE(devicesSpy.size(), 2);
        QCOMPARE(host.devices().size(), 1);
        QCOMPARE(host.devices().at(0).name, QStringLiteral("Second"));
        QVERIFY(host.devices().at(0).key != firstKey);
        QCOMPARE(parsePairedDevices(QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"))
                                        .value(QStringLiteral("link/devices"))
                                        .toByteArray())
                     .size(),
                 1);
    }

    void expiresAfterTenMinutesOfInjectedTime()
    {
        LinkOptions opts = options();
        opts.tickMs = 20;
        LinkManager host(nullptr, opts);
        QSignalSpy changed(&host, &LinkManager::pairingChanged);
        QSignalSpy log(&host, &LinkManager::linkLog);
        host.startPairing();
        const QString path = QStringLiteral("/mirelo_link/") + host.sessionId();
        QTRY_VERIFY(!rawIsNull(m_url, path));

        m_clock.now = m_clock.now.addSecs(599);
        QCOMPARE(host.secondsLeft(), 1);
        const qsizetype before = changed.size();
        QTRY_VERIFY(changed.size() > before + 2); // the tick redraws
        QVERIFY(host.isPairing());

        m_clock.now = m_clock.now.addSecs(1);
        QTRY_VERIFY(!host.isPairing());
        QCOMPARE(host.secondsLeft(), 0);
        QVERIFY(log.contains(QVariantList{QStringLiteral("Sure doldu, yeni kod uret.")}));
        QTRY_VERIFY(rawIsNull(m_url, path));
    }

    void cancelAndPairAgain()
    {
        LinkOptions opts = options();
        opts.pollMs = 30;
        LinkManager host(nullptr, opts);
        host.startPairing();
        const QString first = host.sessionId();
        QTRY_VERIFY(!rawIsNull(m_url, QStringLiteral("/mirelo_link/") + first));

        QSignalSpy changed(&host, &LinkManager::pairingChanged);
        host.startPairing(); // replaces the open session
        const QString second = host.sessionId();
        QVERIFY(second != first);
        QTRY_VERIFY(rawIsNull(m_url, QStringLiteral("/mirelo_link/") + first));
        QTRY_VERIFY(!rawIsNull(m_url, QStringLiteral("/mirelo_link/") + second));

        host.cancelPairing();
        QVERIFY(!host.isPairing());
        QVERIFY(host.pairingUri().isEmpty());
        QCOMPARE(changed.size(), 3); // cancel, start, cancel
        QTRY_VERIFY(rawIsNull(m_url, QStringLiteral("/mirelo_link/") + second));

        LinkManager joiner(nullptr, options());
        QSignalSpy fail(&joiner, &LinkManager::joinFail);
        QSignalSpy ok(&joiner, &LinkManager::joinOk);
        joiner.joinSession(second, QStringLiteral("000000"), QStringLiteral("P"));
        QTRY_COMPARE(fail.size(), 1);
        QCOMPARE(fail.at(0).at(0).toString(), QStringLiteral("Oturum bulunamadi (sure dolmus ya da oturum kimligi yanlis)."));

        host.startPairing();
        QTRY_VERIFY(!rawIsNull(m_url, QStringLiteral("/mirelo_link/") + host.sessionId()));
        QSignalSpy devices(&host, &LinkManager::devicesChanged);
        joiner.joinSession(host.sessionId(), host.pairingCode(), QStringLiteral("Again"));
        QTRY_COMPARE(ok.size(), 1);
        QTRY_COMPARE(devices.size(), 1);
        QCOMPARE(host.devices().at(0).name, QStringLiteral("Again"));
    }

    void sessionsLeftBehindAreCleanedUpOnTheNextRun()
    {
        const QString waiting = QStringLiteral("/mirelo_link/LEFTWAXT");
        const QString paired = QStringLiteral("/mirelo_link/LEFTPAXR");
        {
            m_random.queued = drawsFor(QStringLiteral("LEFTWAXT"));
            LinkManager host(nullptr, options());
            host.startPairing();
            QTRY_VERIFY(!rawIsNull(m_url, waiting));
        } // closed while waiting: the record is still there
        QVERIFY(!rawIsNull(m_url, waiting));
        QVERIFY(!storedCleanups().isEmpty());

        // A device paired just before the database went out of reach keeps its hash for now.
        {
            m_random.queued = drawsFor(QStringLiteral("LEFTPAXR"));
            LinkManager host(nullptr, options());
            host.startPairing();
            QTRY_VERIFY(!rawIsNull(m_url, paired));
            rawRequest(m_url, paired, "PUT",
                       R"({"codeHash":"abc","status":"paired","device":"P","inbox":{"m":{"ts":"t","data":"x"}}})");
            host.onPairPoll();
            host.setDatabaseBaseUrl(closedPortUrl()); // the poll is on its way, the clean-up will not be
            QTRY_COMPARE(host.devices().size(), 1);
        }
        QVERIFY(rawObject(m_url, paired).contains(QLatin1String("codeHash")));
        QCOMPARE(storedCleanups().size(), 2);

        LinkManager next(nullptr, options());
        next.cleanUpLeftSessions();
        QTRY_VERIFY(rawIsNull(m_url, waiting));
        QTRY_VERIFY(!rawObject(m_url, paired).contains(QLatin1String("codeHash")));
        // The paired device's mailbox stays.
        QCOMPARE(rawObject(m_url, paired).value(QLatin1String("status")).toString(), QStringLiteral("paired"));
        QVERIFY(rawObject(m_url, paired).contains(QLatin1String("inbox")));
        QTRY_VERIFY(storedCleanups().isEmpty());
    }

    void pushSealsOneMessagePerDevice()
    {
        const PairedDevice a{QStringLiteral("PUSHAAAA"), QStringLiteral("A"),
                             linkKeyFor(QStringLiteral("PUSHAAAA"), QStringLiteral("123456")), QString()};
        const PairedDevice b{QStringLiteral("PUSHBBBB"), QStringLiteral("B"),
                             linkKeyFor(QStringLiteral("PUSHBBBB"), QStringLiteral("654321")), QString()};
        storeDevices({a, b});
        LinkManager host(nullptr, options());
        MailItem item;
        item.from = QString(130, QLatin1Char('f'));
        item.subject = QString(200, QLatin1Char('s'));
        item.code = QStringLiteral("918273");
        host.pushCode(item);
        QTRY_VERIFY(!rawIsNull(m_url, QStringLiteral("/mirelo_link/PUSHAAAA/inbox")));
        QTRY_VERIFY(!rawIsNull(m_url, QStringLiteral("/mirelo_link/PUSHBBBB/inbox")));

        // Nothing of the mail is readable in the database.
        const QByteArray all = rawRequest(m_url, QStringLiteral("/mirelo_link/PUSHAAAA"))
                               + rawRequest(m_url, QStringLiteral("/mirelo_link/PUSHBBBB"));
        QVERIFY(!all.contains("918273"));
        QVERIFY(!all.contains("ffffffffff"));
        QVERIFY(!all.contains("ssssssssss"));

        const QJsonObject inboxA = rawObject(m_url, QStringLiteral("/mirelo_link/PUSHAAAA/inbox"));
        const QJsonObject inboxB = rawObject(m_url, QStringLiteral("/mirelo_link/PUSHBBBB/inbox"));
        QCOMPARE(inboxA.size(), 1);
        QCOMPARE(inboxB.size(), 1);
        QVERIFY(inboxA.keys() != inboxB.keys());
        const QList<InboxEntry> entryA = parseInbox(QJsonDocument(inboxA).toJson());
        const QList<InboxEntry> entryB = parseInbox(QJsonDocument(inboxB).toJson());
        QCOMPARE(entryA.size(), 1);
        QCOMPARE(entryB.size(), 1);
        QVERIFY(entryA.at(0).box.mid(4, 16) != entryB.at(0).box.mid(4, 16)); // fresh salt each

        LinkCode code;
        QVERIFY(!openLinkMessage(entryA.at(0).box, b.key, &code));
        QVERIFY(!openLinkMessage(entryB.at(0).box, a.key, &code));
        QVERIFY(openLinkMessage(entryB.at(0).box, b.key, &code));
        QVERIFY(openLinkMessage(entryA.at(0).box, a.key, &code));
        QCOMPARE(code.code, QStringLiteral("918273"));
        QCOMPARE(code.from.size(), 120);
        QCOMPARE(code.subject.size(), 160);
        QCOMPARE(inboxA.begin().value().toObject().value(QLatin1String("ts")).toString(), code.ts);
    }

    void pollReportsAndDeletesOnlyWhatOpens()
    {
        const PairedDevice dev{QStringLiteral("PQLLPQLL"), QStringLiteral("P"),
                               linkKeyFor(QStringLiteral("PQLLPQLL"), QStringLiteral("123456")), QString()};
        storeDevices({dev});
        LinkManager link(nullptr, options());
        const QString inbox = QStringLiteral("/mirelo_link/PQLLPQLL/inbox");

        MailItem item;
        item.code = QStringLiteral("55");
        const QByteArray payload = buildLinkPayload(item, QStringLiteral("t"));
        const QByteArray foreign = QJsonDocument(sealLinkMessage(payload, QStringLiteral("t"),
                                                                 QStringLiteral("other-key"), generateSalt()))
                                       .toJson();
        const QByteArray oddKey = QJsonDocument(sealLinkMessage(payload, QStringLiteral("t"), dev.key,
                                                                generateSalt()))
                                      .toJson();
        rawRequest(m_url, inbox + QStringLiteral("/bad1"), "PUT", foreign);
        rawRequest(m_url, inbox + QStringLiteral("/odd%20key"), "PUT", oddKey);
        rawRequest(m_url, inbox + QStringLiteral("/junk"), "PUT", R"({"data":"not base64!"})");
        link.pushCode(item);
        QTRY_COMPARE(rawObject(m_url, inbox).size(), 4);

        QSignalSpy received(&link, &LinkManager::codeReceived);
        link.pollInbox();
        link.pollInbox(); // overlapping reads report a message once
        QTRY_COMPARE(rawObject(m_url, inbox).size(), 3);
        QCOMPARE(received.size(), 1);
        const LinkCode code = received.at(0).at(0).value<LinkCode>();
        QCOMPARE(code.code, QStringLiteral("55"));
        QCOMPARE(code.sessionId, QStringLiteral("PQLLPQLL"));
        QVERIFY(isPlainInboxKey(code.inboxKey));
        const QJsonObject left = rawObject(m_url, inbox);
        QVERIFY(left.contains(QLatin1String("bad1")));
        QVERIFY(left.contains(QLatin1String("odd key")));
        QVERIFY(left.contains(QLatin1String("junk")));
        QVERIFY(!left.contains(code.inboxKey));

        link.pollInbox();
        QTRY_VERIFY(rawObject(m_url, inbox).size() == 3);
        QCOMPARE(received.size(), 1);
    }

    // A burst of codes comes out at the peer in the order it was pushed.
    void codesArriveInTheOrderSent()
    {
        const PairedDevice dev{QStringLiteral("LLPQLLPQ"), QStringLiteral("P"),
                               linkKeyFor(QStringLiteral("LLPQLLPQ"), QStringLiteral("123456")), QString()};
        storeDevices({dev});
        LinkManager link(nullptr, options());
        QStringList sent;
        for (int i = 0; i < 12; ++i) {
            MailItem item;
            item.code = QString::number(100000 + i * 7919);
            sent << item.code;
            link.pushCode(item);
        }
        QTRY_COMPARE(rawObject(m_url, QStringLiteral("/mirelo_link/LLPQLLPQ/inbox")).size(), 12);
        QSignalSpy received(&link, &LinkManager::codeReceived);
        link.pollInbox();
        QTRY_COMPARE(received.size(), 12);
        QStringList got;
        for (const auto &args : received)
            got << args.at(0).value<LinkCode>().code;
        QCOMPARE(got, sent);
    }

    // A watcher against a dead database says so at once and once a minute
    // (injected time) while it lasts, and says when it answers again.
    void unreachableDatabaseIsReportedOncePerMinute()
    {
        const PairedDevice dev{QStringLiteral("LQLQLQLQ"), QStringLiteral("P"),
                               linkKeyFor(QStringLiteral("LQLQLQLQ"), QStringLiteral("123456")), QString()};
        storeDevices({dev});
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QString dead = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
        probe.close();
        LinkOptions opts = options();
        opts.databaseBaseUrl = dead;
        LinkManager link(nullptr, opts);
        QSignalSpy log(&link, &LinkManager::linkLog);
        auto pollAt = [&](int secs, int expected) {
            m_clock.now = m_clock.now.addSecs(secs);
            link.pollInbox();
            QTRY_COMPARE(log.size(), expected);
            QTest::qWait(50); // no second line for the same read
            QCOMPARE(log.size(), expected);
        };
        pollAt(0, 1);
        QVERIFY2(log.at(0).at(0).toString().startsWith(QStringLiteral("Veritabanina ulasilamadi: ") + dead + " (baglanti reddedildi"),
                 qPrintable(log.at(0).at(0).toString()));
        pollAt(3, 1);
        pollAt(50, 1);
        pollAt(10, 2);
        pollAt(30, 2);
        link.setDatabaseBaseUrl(m_url);
        pollAt(3, 3);
        QVERIFY(log.at(2).at(0).toString().startsWith(QStringLiteral("Veritabanina yeniden ulasildi")));
        link.setDatabaseBaseUrl(dead);
        pollAt(3, 4); // a new outage is told at once
    }

    void unpairWithServerUpThenDown()
    {
        CloudDbFixture db;
        QVERIFY2(db.start(), qPrintable(db.errorText()));
        const PairedDevice one{QStringLiteral("UNPAJRXA"), QStringLiteral("A"), QStringLiteral("k"), QString()};
        const PairedDevice two{QStringLiteral("UNPAJRXB"), QStringLiteral("B"), QStringLiteral("k"), QString()};
        storeDevices({one, two});
        rawRequest(db.baseUrl(), QStringLiteral("/mirelo_link/UNPAJRXA"), "PUT",
                   R"({"status":"paired","inbox":{"m":{"ts":"t","data":"x"}}})");
        LinkOptions opts = options();
        opts.databaseBaseUrl = db.baseUrl();
        LinkManager link(nullptr, opts);
        QSignalSpy log(&link, &LinkManager::linkLog);

        link.unpair(one.sid);
        QTRY_COMPARE(log.size(), 1);
        QCOMPARE(log.at(0).at(0).toString(), QStringLiteral("Cihaz baglantisi kesildi."));
        QVERIFY(rawIsNull(db.baseUrl(), QStringLiteral("/mirelo_link/UNPAJRXA")));

        db.stop();
        link.unpair(two.sid);
        QVERIFY(link.devices().isEmpty());
        QTRY_COMPARE(log.size(), 2);
        QCOMPARE(log.at(1).at(0).toString(), QStringLiteral("Silinemedi (ag). Liste temizlendi."));
        QCOMPARE(QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"))
                     .value(QStringLiteral("link/devices"))
                     .toString(),
                 QStringLiteral("[]"));
    }

private:
    LinkOptions options()
    {
        LinkOptions opts;
        opts.databaseBaseUrl = m_url;
        opts.clock = m_clock.fn();
        opts.random = m_random.fn();
        opts.tickMs = 3600000;
        opts.pollMs = 3600000;
        return opts;
    }

    CloudDbFixture m_db;
    QString m_url;
    std::unique_ptr<IsolatedSettings> m_settings;
    TestClock m_clock;
    TestRandom m_random;
};

QTEST_GUILESS_MAIN(TestLinkServer)
#include "tst_linkserver.moc"
