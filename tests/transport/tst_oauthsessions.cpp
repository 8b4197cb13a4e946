// Sessions that sign in with a bearer token against real servers: Dovecot
// checking tokens at the tests' authorization server (XOAUTH2, OAUTHBEARER,
// the poll, IDLE), aiosmtpd with its XOAUTH2 handler, and the client that
// refreshes tokens and marks an account whose grant was revoked.
#include <QElapsedTimer>
#include <QSettings>
#include <QtTest>

#include "accountsupport.h"
#include "mail/mailstore.h"
#include "servers/dovecotserver.h"
#include "support/isolatedsettings.h"
#include "servers/oauthtestserver.h"
#include "servers/smtpserver.h"
#include "servers/tlsfixture.h"
#include "transport/idlewatcher.h"
#include "transport/imapclient.h"
#include "transport/smtpclient.h"
#include "transport/smtpworker.h"

namespace {

int issued(const OAuthTestServer &server)
{
    const QByteArray stats = server.admin(QStringLiteral("stats"));
    const qsizetype at = stats.indexOf("\"issued\": ");
    return at < 0 ? -1 : stats.mid(at + 10).split(',').first().trimmed().toInt();
}

} // namespace

class OAuthSessionsTest : public QObject
{
    Q_OBJECT

    TlsFixture m_tls;
    OAuthTestServer m_auth;
    std::unique_ptr<DovecotServer> m_imap;
    std::unique_ptr<SmtpTestServer> m_smtp;
    std::unique_ptr<IsolatedSettings> m_settings;

    EmailAccount account(const QString &user, MailAuth auth, const TokenReply &tokens)
    {
        EmailAccount acc = makeAccount(user, m_imap->host(), m_imap->port(), QString(), QString());
        acc.auth = auth;
        acc.refreshToken = tokens.refreshToken;
        acc.accessToken = tokens.accessToken;
        return acc;
    }
    TokenReply signIn(const QString &user)
    {
        const TokenReply tokens = m_auth.signIn(user);
        [&] { QVERIFY2(tokens.error.isEmpty(), qPrintable(tokens.error)); }();
        return tokens;
    }
    TokenServiceOptions tokenOptions()
    {
        TokenServiceOptions o;
        const OAuthEndpoints endpoints = m_auth.endpoints();
        o.endpoints = [endpoints](const EmailAccount &) { return endpoints; };
        return o;
    }

private slots:
    void initTestCase()
    {
        registerMailMetaTypes();
        QVERIFY2(m_tls.isValid(), qPrintable(m_tls.error()));
        m_tls.trustInProcess();
        QVERIFY2(m_auth.start(), qPrintable(m_auth.error()));
        m_imap = std::make_unique<DovecotServer>(m_tls);
        m_imap->setOAuthIntrospection(m_auth.introspectionUrl());
        for (const char *user : {"xo@localhost", "ob@localhost", "idle@localhost", "poll@localhost", "pw"})
            QVERIFY(m_imap->addUser(QString::fromLatin1(user), QStringLiteral("secret")));
        QVERIFY2(m_imap->start(), qPrintable(m_imap->error()));
        m_smtp = std::make_unique<SmtpTestServer>(m_tls);
        m_smtp->setOAuthIntrospection(m_auth.introspectionUrl());
        QVERIFY2(m_smtp->start(SmtpTestServer::ImplicitTls, QStringLiteral("pw"), QStringLiteral("secret")),
                 qPrintable(m_smtp->error()));
    }
    void cleanupTestCase()
    {
        m_imap.reset();
        m_smtp.reset();
    }
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { m_settings.reset(); }

    void imapTakesBothMechanismsAndRefusesADeadToken_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("auth");
        QTest::newRow("xoauth2") << "xo@localhost" << int(MailAuth::XOAuth2);
        QTest::newRow("oauthbearer") << "ob@localhost" << int(MailAuth::OAuthBearer);
    }
    void imapTakesBothMechanismsAndRefusesADeadToken()
    {
        QFETCH(QString, user);
        QFETCH(int, auth);
        const EmailAccount acc = account(user, MailAuth(auth), signIn(user));
        QVERIFY(!m_imap->deliver(user, DovecotServer::message(QStringLiteral("a@svc.test"), QStringLiteral("Kod"),
                                                             QStringLiteral("Kodunuz 613204")))
                     .isEmpty());
        ImapWorker worker;
        WorkerRecord rec(worker);
        QSignalSpy refusedToken(&worker, &ImapWorker::tokenRefused);
        QSignalSpy refusedLogin(&worker, &ImapWorker::loginRefused);
        worker.runAccountTest(acc);
        QCOMPARE(rec.testDone.size(), 1);
        QVERIFY2(rec.testDone.at(0).at(1).toBool(), qPrintable(rec.testDone.at(0).at(2).toString()));
        worker.runPoll({acc}, true);
        QCOMPARE(rec.subjects(), QStringList{QStringLiteral("Kod")});

        // The token dies at the provider: the server's error report is
        // answered at once, and the refusal is the token's, not a password's.
        m_auth.admin(QStringLiteral("expire"));
        QElapsedTimer clock;
        clock.start();
        worker.runAccountTest(acc);
        QVERIFY2(clock.elapsed() < 2500, "the continuation of a refused token was left unanswered");
        QCOMPARE(rec.testDone.size(), 2);
        QVERIFY(!rec.testDone.at(1).at(1).toBool());
        QVERIFY(rec.testDone.at(1).at(2).toString().startsWith(QStringLiteral("Erisim anahtari reddedildi")));
        worker.runPoll({acc}, false);
        QCOMPARE(refusedToken.size(), 2);
        QCOMPARE(refusedLogin.size(), 0);
        QCOMPARE(rec.done.last().at(1).toBool(), false);
    }

    void idleSignsInWithTheTokenAndStopsOnARefusal()
    {
        const QString user = QStringLiteral("idle@localhost");
        EmailAccount acc = account(user, MailAuth::XOAuth2, signIn(user));
        IdleOptions fast;
        fast.retryFirstMs = 50;
        IdleWatcher watcher(fast);
        QSignalSpy mail(&watcher, &IdleWatcher::newMail);
        QSignalSpy refused(&watcher, &IdleWatcher::tokenRefused);
        watcher.setAccounts({acc});
        QTRY_VERIFY_WITH_TIMEOUT(watcher.isInstant(user), 10000);
        QVERIFY(!m_imap->deliver(user, DovecotServer::message(QStringLiteral("a@svc.test"), QStringLiteral("Kod"),
                                                             QStringLiteral("Kodunuz 551200")))
                     .isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(mail.size() >= 1, 10000);

        // A revoked token: the connection is refused at login and says so.
        m_auth.admin(QStringLiteral("expire"));
        acc.accessToken = QStringLiteral("dead-token");
        watcher.setAccounts({acc}); // only the token changed: the live connection keeps its session
        EmailAccount renewing = acc;
        renewing.accessToken.clear(); // the token service is renewing it
        watcher.setAccounts({renewing});
        QTest::qWait(300);
        QVERIFY(watcher.isInstant(user));
        QCOMPARE(refused.size(), 0);
        IdleWatcher second(fast);
        QSignalSpy refusedSecond(&second, &IdleWatcher::tokenRefused);
        second.setAccounts({acc});
        QTRY_COMPARE_WITH_TIMEOUT(refusedSecond.size(), 1, 10000);
        QVERIFY(!second.isInstant(user));
        QCOMPARE(refused.size(), 0);

        // A fresh token starts the refused connection again.
        acc.accessToken = signIn(user).accessToken;
        second.setAccounts({acc});
        QTRY_VERIFY_WITH_TIMEOUT(second.isInstant(user), 10000);
    }

    void clientRefreshesRetriesAndMarksARevokedGrant()
    {
        const QString user = QStringLiteral("poll@localhost");
        EmailAccount acc = account(user, MailAuth::XOAuth2, signIn(user));
        acc.accessToken.clear(); // never stored: the client's token service gets one
        MailStore store;
        store.addOrUpdateAccount(acc);
        QVERIFY(!m_imap->deliver(user, DovecotServer::message(QStringLiteral("a@svc.test"), QStringLiteral("Kod"),
                                                             QStringLiteral("Kodunuz 700431")))
                     .isEmpty());
        ImapClient client(&store);
        client.setTokenOptions(tokenOptions());
        client.setPollInterval(3600 * 1000);
        client.start();
        QTRY_VERIFY_WITH_TIMEOUT(!store.mails().isEmpty(), 10000);
        QCOMPARE(store.mails().first().code, QStringLiteral("700431"));
        QTRY_VERIFY_WITH_TIMEOUT(client.isInstant(user), 10000);
        // The access token lives in memory only.
        const QString held = client.tokens()->heldToken(store.accounts().value(0));
        QVERIFY(!held.isEmpty());
        const QSettings settings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
        QVERIFY(settings.value(QStringLiteral("accounts")).toByteArray().contains("refreshToken"));
        QVERIFY(!settings.value(QStringLiteral("accounts")).toByteArray().contains(held.toUtf8()));

        // The provider voids the access tokens early: the refused one is
        // replaced once, and the account goes on without a mark.
        m_auth.admin(QStringLiteral("expire"));
        const int before = issued(m_auth);
        client.pollNow();
        QTRY_VERIFY_WITH_TIMEOUT(issued(m_auth) == before + 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!store.accounts().value(0).lastOk.isEmpty()
                                     && store.accounts().value(0).lastError.isEmpty(),
                                 10000);
        QVERIFY(!store.accounts().value(0).loginRefused);

        // The grant is revoked: the account is marked for a new sign-in,
        // drops out of polling, and the provider is not asked again.
        m_auth.admin(QStringLiteral("revoke"));
        client.pollNow();
        QTRY_VERIFY_WITH_TIMEOUT(store.accounts().value(0).loginRefused, 10000);
        QVERIFY(store.accounts().value(0).lastError.startsWith(QStringLiteral("Yeniden oturum acilmali")));
        QVERIFY(store.pollableAccounts().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!client.isInstant(user), 10000);
        const int afterMark = issued(m_auth);
        for (int i = 0; i < 3; ++i)
            client.pollNow();
        QTest::qWait(300);
        QCOMPARE(issued(m_auth), afterMark);
    }

    void smtpSendsWithTheTokenAndReportsARefusal()
    {
        const QString user = QStringLiteral("xo@localhost");
        EmailAccount acc = account(user, MailAuth::XOAuth2, signIn(user));
        const quint16 port = m_smtp->port();
        SmtpServerResolver local = [port](const EmailAccount &) {
            return SmtpServer{QStringLiteral("127.0.0.1"), port, false};
        };
        TokenService tokens(tokenOptions());
        tokens.signedIn(user, TokenReply{acc.accessToken, acc.refreshToken, 3600, {}, false});
        acc.accessToken.clear();
        SmtpClient client(local, SmtpTimeouts());
        client.setTokenService(&tokens);
        QSignalSpy done(&client, &SmtpClient::replyFinished);
        const int first = client.sendReply(acc, QStringLiteral("veli@example.test"), QStringLiteral("Re: Kod"),
                                           QStringLiteral("Tesekkurler"));
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 10000);
        QCOMPARE(done.at(0).at(0).toInt(), first);
        QVERIFY2(done.at(0).at(1).toBool(), qPrintable(done.at(0).at(2).toString()));
        QVERIFY(m_smtp->waitForMessages(1, 5000));
        QCOMPARE(m_smtp->messages().last().login, user);

        // A dead token: the 334 report is answered, the 535 reported as the
        // token's refusal, and the next send fetches a fresh token.
        m_auth.admin(QStringLiteral("expire"));
        SmtpWorker worker(local);
        QSignalSpy refused(&worker, &SmtpWorker::tokenRefused);
        QSignalSpy finished(&worker, &SmtpWorker::sendFinished);
        EmailAccount dead = acc;
        dead.accessToken = QStringLiteral("dead");
        QElapsedTimer clock;
        clock.start();
        worker.workSend(dead, QStringLiteral("veli@example.test"), QStringLiteral("Re"), QStringLiteral("x"));
        QVERIFY(clock.elapsed() < 2500);
        QCOMPARE(refused.size(), 1);
        QCOMPARE(finished.at(0).at(1).toBool(), false);
        QVERIFY(finished.at(0).at(2).toString().startsWith(QStringLiteral("Erisim anahtari reddedildi")));

        tokens.dropToken(user);
        const int before = issued(m_auth);
        client.sendReply(acc, QStringLiteral("veli@example.test"), QStringLiteral("Re"), QStringLiteral("y"));
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 10000);
        QVERIFY2(done.at(1).at(1).toBool(), qPrintable(done.at(1).at(2).toString()));
        QCOMPARE(issued(m_auth), before + 1);
    }
};

QTEST_GUILESS_MAIN(OAuthSessionsTest)
#include "tst_oauthsessions.moc"
