// ImapClient on the GUI side: the worker thread, the store and the status
// texts, against a real Dovecot.
#include <QRegularExpression>
#include <QtTest>

#include "accountsupport.h"
#include "mail/mailstore.h"
#include "router/coderouter.h"
#include "servers/dovecotusers.h"
#include "support/isolatedsettings.h"
#include "transport/imapclient.h"

class ImapClientTest : public QObject
{
    Q_OBJECT

private:
    EmailAccount newAccount()
    {
        const QString user = m_dovecot.nextUser();
        return makeAccount(user + QStringLiteral("@localhost"), m_imap->host(), m_imap->port(), user,
                           QStringLiteral("secret"));
    }
    void deliver(const EmailAccount &acc, const QString &subject, const QString &body, bool seen = false)
    {
        QVERIFY(!m_imap->deliver(acc.user, DovecotServer::message(QStringLiteral("Servis <no-reply@svc.test>"),
                                                                  subject, body),
                                 seen)
                     .isEmpty());
    }
    static EmailAccount held(const MailStore &store, const QString &address)
    {
        for (const EmailAccount &a : store.accounts()) {
            if (sameAccount(a.address, address))
                return a;
        }
        return EmailAccount();
    }
    static QStringList texts(const QSignalSpy &spy)
    {
        QStringList out;
        for (const auto &args : spy)
            out << args.at(0).toString();
        return out;
    }

    DovecotUsers m_dovecot{12};
    DovecotServer *const m_imap = &m_dovecot.server();
    std::unique_ptr<IsolatedSettings> m_settings;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_dovecot.start(), qPrintable(m_dovecot.error()));
    }
    void cleanupTestCase() { m_imap->stop(); }
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { m_settings.reset(); }

    void newCodesReachTheStoreOnce()
    {
        const EmailAccount acc = newAccount();
        deliver(acc, QStringLiteral("Giris kodu"), QStringLiteral("Dogrulama kodunuz: 482913"));
        deliver(acc, QStringLiteral("Steam Guard"), QStringLiteral("Hesabina giris icin kodun: 847204"));
        MailStore store;
        store.addOrUpdateAccount(acc);
        ImapClient client(&store);
        QCOMPARE(client.pollInterval(), 25000);
        QSignalSpy status(&client, &ImapClient::status);
        QSignalSpy codes(&store, &MailStore::newCode);
        client.pollNow();
        QTRY_COMPARE_WITH_TIMEOUT(store.mails().size(), 2, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(texts(status).contains(QStringLiteral("2 yeni mail: ") + acc.address), 5000);
        QCOMPARE(texts(status).first(), QStringLiteral("Yoklaniyor: 127.0.0.1"));
        QCOMPARE(codes.size(), 2);
        QStringList found;
        for (const MailItem &m : store.mails())
            found << m.code;
        found.sort();
        QCOMPARE(found, (QStringList{"482913", "847204"}));
        // The round's end comes after its mails.
        QTRY_VERIFY_WITH_TIMEOUT(!held(store, acc.address).lastOk.isEmpty(), 5000);
        const EmailAccount after = held(store, acc.address);
        QVERIFY(after.lastError.isEmpty());
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$")).match(after.lastOk).hasMatch(),
                 qPrintable(after.lastOk));

        // The mails stay unseen on the server; the next poll brings them again
        // under the same ids, and nothing is announced twice: not as codes,
        // not as "2 yeni mail" on the status line.
        // A poll asked for while one is under way is not dropped: the first
        // one may have fetched already, so a second round follows.
        status.clear();
        QSignalSpy roundDone(&store, &MailStore::accountsChanged);
        client.pollNow();
        client.pollNow();
        QTRY_VERIFY_WITH_TIMEOUT(roundDone.size() >= 2, 20000);
        QCOMPARE(texts(status).count(QStringLiteral("Yoklaniyor: 127.0.0.1")), 2);
        QCOMPARE(store.mails().size(), 2);
        QCOMPARE(codes.size(), 2);
        for (const QString &line : texts(status))
            QVERIFY2(!line.contains(QStringLiteral("yeni mail")), qPrintable(line));
        // Those were in the mailbox at start; a mail arriving later is not.
        for (const auto &args : codes)
            QVERIFY(args.at(0).value<MailItem>().firstRound);
        deliver(acc, QStringLiteral("Yeni kod"), QStringLiteral("Dogrulama kodunuz: 135790"));
        client.pollNow();
        QTRY_COMPARE_WITH_TIMEOUT(codes.size(), 3, 10000);
        QCOMPARE(codes.at(2).at(0).value<MailItem>().code, QStringLiteral("135790"));
        QVERIFY(texts(status).contains(QStringLiteral("1 yeni mail: ") + acc.address));
        QVERIFY(!codes.at(2).at(0).value<MailItem>().firstRound);

        // Stopped (signed out): no round is asked for, none brings anything.
        client.stop();
        deliver(acc, QStringLiteral("Bir kod daha"), QStringLiteral("Dogrulama kodunuz: 246802"));
        status.clear();
        client.pollNow();
        QTest::qWait(300);
        QVERIFY(status.isEmpty());
        QCOMPARE(codes.size(), 3);
    }

    // An old code mail: the status line ends on why nothing was copied, not
    // on the round's count said after it.
    void heldBackCodeHasTheLastWord()
    {
        const EmailAccount acc = newAccount();
        QVERIFY(!m_imap->deliver(acc.user, QByteArray("From: Servis <no-reply@svc.test>\r\nSubject: Giris kodu\r\n"
                                                      "Date: Mon, 1 Jan 2024 10:00:00 +0000\r\n\r\n"
                                                      "Dogrulama kodunuz: 482913\r\n"))
                     .isEmpty());
        MailStore store;
        store.addOrUpdateAccount(acc);
        ImapClient client(&store);
        CodeRouterOptions options;
        options.quietSeconds = 0;
        CodeRouter router(options);
        connect(&store, &MailStore::newCode, &router, &CodeRouter::onNewCode);
        QStringList line;
        connect(&client, &ImapClient::status, this, [&line](const QString &s) { line << s; });
        connect(&router, &CodeRouter::status, this, [&line](const QString &s) { line << s; });
        QSignalSpy roundDone(&store, &MailStore::accountsChanged);
        client.pollNow();
        QTRY_VERIFY_WITH_TIMEOUT(!roundDone.isEmpty(), 10000);
        QVERIFY2(line.size() >= 2 && line.last().startsWith(QStringLiteral("Kod kopyalanmadi: eski posta (")),
                 qPrintable(line.join(QLatin1String(" | "))));
    }

    void failureAndRecoveryOfAnAccount()
    {
        EmailAccount acc = newAccount();
        acc.pass = QStringLiteral("yanlis");
        MailStore store;
        store.addOrUpdateAccount(acc);
        ImapClient client(&store);
        QSignalSpy status(&client, &ImapClient::status);
        client.pollNow();
        const QString refused = QStringLiteral("Sifre reddedildi. Uygulama sifresi kullandigindan emin ol.");
        QTRY_COMPARE_WITH_TIMEOUT(held(store, acc.address).lastError, refused, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(texts(status).contains(acc.address + QStringLiteral(": ") + refused), 5000);

        // Fixed password, empty mailbox: the error goes, the time is set and
        // no count line is shown.
        acc.pass = QStringLiteral("secret");
        store.addOrUpdateAccount(acc);
        status.clear();
        // The refused round may still be ending; the ask waits for its end.
        client.pollNow();
        QTRY_VERIFY_WITH_TIMEOUT(!held(store, acc.address).lastOk.isEmpty(), 10000);
        QVERIFY(held(store, acc.address).lastError.isEmpty());
        QTest::qWait(100);
        QCOMPARE(texts(status), QStringList{QStringLiteral("Yoklaniyor: 127.0.0.1")});
    }

    void refusedLoginStopsPollingUntilResumed()
    {
        EmailAccount acc = newAccount();
        acc.pass = QStringLiteral("yanlis");
        MailStore store;
        store.addOrUpdateAccount(acc);
        ImapClient client(&store);
        QSignalSpy status(&client, &ImapClient::status);
        client.pollNow();
        QTRY_VERIFY_WITH_TIMEOUT(held(store, acc.address).loginRefused, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!held(store, acc.address).lastError.isEmpty(), 5000);
        // kept over a restart
        QVERIFY(held(MailStore(), acc.address).loginRefused);

        // no more sessions with the refused password
        status.clear();
        client.pollNow();
        client.start();
        QTest::qWait(300);
        QVERIFY2(!texts(status).contains(QStringLiteral("Yoklaniyor: 127.0.0.1")), qPrintable(texts(status).join('|')));

        // "Devam et" tries again
        store.setAccountEnabled(acc.address, true);
        QVERIFY(!held(store, acc.address).loginRefused);
        client.pollNow();
        QTRY_VERIFY_WITH_TIMEOUT(texts(status).contains(QStringLiteral("Yoklaniyor: 127.0.0.1")), 10000);
    }

    void readMarksAndTrueTimesSurviveARestart()
    {
        const EmailAccount acc = newAccount();
        const QByteArray old = "From: Servis <no-reply@svc.test>\r\nTo: test@localhost\r\nSubject: Eski kod\r\n"
                               "Date: Tue, 1 Dec 2026 08:30:00 +0000\r\n\r\nKodunuz 551122\r\n";
        QVERIFY(!m_imap->deliver(acc.user, old).isEmpty());
        deliver(acc, QStringLiteral("Yeni kod"), QStringLiteral("Kodunuz 667788"));
        const QDateTime oldDate(QDate(2026, 12, 1), QTime(8, 30), Qt::UTC);
        {
            MailStore store;
            store.addOrUpdateAccount(acc);
            ImapClient client(&store);
            client.pollNow();
            QTRY_COMPARE_WITH_TIMEOUT(store.mails().size(), 2, 10000);
            // newest first by the mails' own Date, whatever order they came in
            QCOMPARE(store.mails().last().subject, QStringLiteral("Eski kod"));
            QCOMPARE(store.mails().last().sent, oldDate);
            store.markSeen(store.mails().last().id);
        }
        // a restart: the mails are fetched again, the read mark waits in the settings
        MailStore store;
        QCOMPARE(store.pollableAccounts().value(0).pendingActions.size(), 1);
        ImapClient client(&store);
        client.pollNow();
        QTRY_VERIFY_WITH_TIMEOUT(store.pollableAccounts().value(0).pendingActions.isEmpty(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(store.mails().size(), 1, 10000);
        // the server kept it: only the unread one comes back
        QCOMPARE(store.mails().first().subject, QStringLiteral("Yeni kod"));
    }

    void firstRunWaitsForAPollableAccount()
    {
        EmailAccount acc = newAccount();
        for (int i = 1; i <= 4; ++i)
            deliver(acc, QStringLiteral("Eski %1").arg(i), QStringLiteral("kod %1").arg(700000 + i), true);
        EmailAccount noPass = acc;
        noPass.pass.clear();
        MailStore store;
        store.addOrUpdateAccount(noPass);
        ImapClient client(&store);
        QSignalSpy status(&client, &ImapClient::status);
        client.pollNow();
        client.pollNow();
        QTest::qWait(300);
        QCOMPARE(status.size(), 0);

        // The first poll that has an account still is the first run.
        store.addOrUpdateAccount(acc);
        client.pollNow();
        QTRY_COMPARE_WITH_TIMEOUT(store.mails().size(), 3, 10000);
        QStringList subjects;
        for (const MailItem &m : store.mails())
            subjects << m.subject;
        subjects.sort();
        QCOMPARE(subjects, (QStringList{"Eski 2", "Eski 3", "Eski 4"}));
    }

    void timerPollsAgainAndAgain()
    {
        const EmailAccount acc = newAccount();
        MailStore store;
        store.addOrUpdateAccount(acc);
        ImapClient client(&store);
        client.setPollInterval(200);
        QSignalSpy status(&client, &ImapClient::status);
        client.start();
        QTRY_VERIFY_WITH_TIMEOUT(status.size() >= 3, 10000);
    }

    void accountTestReportsThroughTheClient()
    {
        const EmailAccount acc = newAccount();
        deliver(acc, QStringLiteral("X"), QStringLiteral("1"));
        MailStore store;
        ImapClient client(&store);
        QSignalSpy log(&client, &ImapClient::testLog);
        QSignalSpy done(&client, &ImapClient::testFinished);
        QSignalSpy status(&client, &ImapClient::status);
        client.testAccount(acc);
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 10000);
        QCOMPARE(done.at(0), (QList<QVariant>{acc.address, true, QStringLiteral("Baglanti basarili. Okunmamis: 1")}));
        QCOMPARE(log.size(), 4);
        QCOMPARE(texts(status).last(), QStringLiteral("Baglanti basarili. Okunmamis: 1"));
        // Not in the store: nothing recorded.
        QVERIFY(store.accounts().isEmpty());

        EmailAccount wrong = newAccount();
        wrong.pass = QStringLiteral("yanlis");
        store.addOrUpdateAccount(wrong);
        client.testAccount(wrong);
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 10000);
        QCOMPARE(done.at(1).at(1).toBool(), false);
        QCOMPARE(held(store, wrong.address).lastError, done.at(1).at(2).toString());
    }

    void withoutAStoreNothingIsPolled()
    {
        ImapClient client(nullptr);
        QSignalSpy status(&client, &ImapClient::status);
        client.pollNow();
        client.onPollDone(QStringLiteral("a@b"), false, QStringLiteral("x"), 0);
        QTest::qWait(100);
        QCOMPARE(status.size(), 0);
    }
};

QTEST_GUILESS_MAIN(ImapClientTest)
#include "tst_imapclient.moc"
