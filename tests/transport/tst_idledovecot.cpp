// IDLE against a real Dovecot: a delivered code mail reaches the store while
// the poll timer is far away, accounts follow pause and password changes,
// and every account keeps its own connection.
#include <QElapsedTimer>
#include <QtTest>

#include "accountsupport.h"
#include "mail/mailstore.h"
#include "servers/dovecotusers.h"
#include "support/isolatedsettings.h"
#include "transport/imapclient.h"

namespace {
bool holdsCode(const MailStore &store, const QString &code)
{
    for (const MailItem &m : store.mails()) {
        if (m.code == code)
            return true;
    }
    return false;
}
} // namespace

class IdleDovecotTest : public QObject
{
    Q_OBJECT

private:
    EmailAccount newAccount()
    {
        const QString user = m_dovecot.nextUser();
        return makeAccount(user + QStringLiteral("@localhost"), m_imap->host(), m_imap->port(), user,
                           QStringLiteral("secret"));
    }
    void deliver(const EmailAccount &acc, const QString &subject, const QString &body)
    {
        QVERIFY(!m_imap->deliver(acc.user, DovecotServer::message(QStringLiteral("Servis <no-reply@svc.test>"),
                                                                  subject, body))
                     .isEmpty());
    }
    // A client whose timer never fires during a test: whatever arrives came
    // through IDLE (or the first poll of start()).
    std::unique_ptr<ImapClient> startedClient(MailStore &store)
    {
        auto client = std::make_unique<ImapClient>(&store);
        client->setPollInterval(3600 * 1000);
        client->start();
        return client;
    }

    DovecotUsers m_dovecot{8};
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

    void deliveredCodeArrivesWithoutThePollTimer()
    {
        const EmailAccount acc = newAccount();
        MailStore store;
        store.addOrUpdateAccount(acc);
        QSignalSpy codes(&store, &MailStore::newCode);
        auto client = startedClient(store);
        QTRY_VERIFY_WITH_TIMEOUT(client->isInstant(acc.address), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!store.accounts().value(0).lastOk.isEmpty(), 10000);
        QCOMPARE(store.mails().size(), 0);

        for (const QString &code : {QStringLiteral("482913"), QStringLiteral("591037")}) {
            QElapsedTimer clock;
            clock.start();
            deliver(acc, QStringLiteral("Giris kodu"), QStringLiteral("Dogrulama kodunuz: ") + code);
            QTRY_VERIFY_WITH_TIMEOUT(holdsCode(store, code), 5000);
            qInfo("delivery to store: %lld ms", static_cast<long long>(clock.elapsed()));
        }
        QCOMPARE(codes.size(), 2);
        QCOMPARE(client->pollInterval(), 3600 * 1000);
    }

    void laterMailComesOnTheOpenConnectionOnce()
    {
        const EmailAccount acc = newAccount();
        MailStore store;
        store.addOrUpdateAccount(acc);
        QSignalSpy codes(&store, &MailStore::newCode);
        auto client = startedClient(store);
        const QString login = QStringLiteral("Login: user=<%1>").arg(acc.user);
        const auto logins = [&] { return int(m_imap->log().count(login)); };
        // A poll round says LOGOUT only after handing on its mails.
        const auto roundsEnded = [&] {
            int n = 0;
            for (const QString &line : m_imap->log().split(QLatin1Char('\n')))
                n += line.contains(QStringLiteral("imap(%1)").arg(acc.user)) && line.contains(QStringLiteral("Logged out"));
            return n;
        };
        QTRY_VERIFY_WITH_TIMEOUT(client->isInstant(acc.address), 10000);
        // The start's poll, the round the new connection asks for, the connection.
        QTRY_COMPARE_WITH_TIMEOUT(logins(), 3, 10000);

        deliver(acc, QStringLiteral("Kod"), QStringLiteral("Kodunuz 318274"));
        QTRY_VERIFY_WITH_TIMEOUT(holdsCode(store, QStringLiteral("318274")), 5000);
        deliver(acc, QStringLiteral("Kod"), QStringLiteral("Kodunuz 427391"));
        QTRY_VERIFY_WITH_TIMEOUT(holdsCode(store, QStringLiteral("427391")), 5000);
        QCOMPARE(logins(), 3);

        // The poll finds both unseen mails again; they stay one card each.
        client->pollNow();
        QTRY_COMPARE_WITH_TIMEOUT(logins(), 4, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(roundsEnded(), 3, 10000);
        QCoreApplication::processEvents();
        QCOMPARE(store.mails().size(), 2);
        QCOMPARE(codes.size(), 2);
        QVERIFY(!store.mails().at(0).firstRound);
    }

    // Queued commands go on the open connection: no new LOGIN for them.
    void usedMailsAreMarkedAndMovedOnTheOpenConnection()
    {
        const EmailAccount acc = newAccount();
        MailStore store;
        store.addOrUpdateAccount(acc);
        auto client = startedClient(store);
        const QString login = QStringLiteral("Login: user=<%1>").arg(acc.user);
        const auto logins = [&] { return int(m_imap->log().count(login)); };
        QTRY_VERIFY_WITH_TIMEOUT(client->isInstant(acc.address), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(logins(), 3, 10000);
        const QString seenKey = m_imap->deliver(acc.user, DovecotServer::message(QStringLiteral("a@svc.test"),
                                                                                  QStringLiteral("Kod"),
                                                                                  QStringLiteral("Kodunuz 318274")));
        QTRY_VERIFY_WITH_TIMEOUT(holdsCode(store, QStringLiteral("318274")), 5000);
        deliver(acc, QStringLiteral("Kod"), QStringLiteral("Kodunuz 427391"));
        QTRY_VERIFY_WITH_TIMEOUT(holdsCode(store, QStringLiteral("427391")), 5000);
        const auto idOf = [&](const char *code) {
            for (const MailItem &m : store.mails())
                if (m.code == QLatin1String(code))
                    return m.id;
            return QString();
        };

        QVERIFY(store.requestAction(idOf("318274"), MailActionKind::MarkSeen));
        QVERIFY(store.requestAction(idOf("427391"), MailActionKind::MoveToTrash));
        QTRY_VERIFY_WITH_TIMEOUT(store.mail(idOf("427391"))->inTrash, 5000);
        QVERIFY(m_imap->isSeen(acc.user, seenKey));
        QCOMPARE(m_imap->messageCount(acc.user, QStringLiteral("Trash")), 1);
        QVERIFY(store.undoMove(idOf("427391")));
        QTRY_VERIFY_WITH_TIMEOUT(!store.mail(idOf("427391"))->inTrash, 5000);
        QCOMPARE(m_imap->messageCount(acc.user), 2);
        QCOMPARE(m_imap->messageCount(acc.user, QStringLiteral("Trash")), 0);
        QVERIFY(store.pendingActions(acc.address).isEmpty());
        QCOMPARE(logins(), 3);
        // The mail back in INBOX is still the one card, and IDLE goes on.
        deliver(acc, QStringLiteral("Kod"), QStringLiteral("Kodunuz 590142"));
        QTRY_VERIFY_WITH_TIMEOUT(holdsCode(store, QStringLiteral("590142")), 5000);
        QCOMPARE(store.mails().size(), 3);
        QCOMPARE(logins(), 3);
    }

    void accountsFollowPauseAndPassword()
    {
        EmailAccount a = newAccount();
        EmailAccount b = newAccount();
        b.pass = QStringLiteral("yanlis");
        MailStore store;
        store.addOrUpdateAccount(a);
        store.addOrUpdateAccount(b);
        auto client = startedClient(store);
        QTRY_VERIFY_WITH_TIMEOUT(client->isInstant(a.address), 10000);
        // The refused login is the poll's to report; no IDLE for it.
        QTRY_VERIFY_WITH_TIMEOUT(!store.accounts().value(1).lastError.isEmpty(), 10000);
        QVERIFY(!client->isInstant(b.address));

        // Fixed password: its connection comes up at once.
        b.pass = QStringLiteral("secret");
        store.addOrUpdateAccount(b);
        QTRY_VERIFY_WITH_TIMEOUT(client->isInstant(b.address), 10000);

        // Paused: no connection, and mail waits for the poll.
        store.setAccountEnabled(a.address, false);
        QTRY_VERIFY(!client->isInstant(a.address));
        deliver(a, QStringLiteral("Kod"), QStringLiteral("Kodunuz 700001"));
        deliver(b, QStringLiteral("Kod"), QStringLiteral("Kodunuz 700002"));
        QTRY_VERIFY_WITH_TIMEOUT(holdsCode(store, QStringLiteral("700002")), 5000);
        QVERIFY(!holdsCode(store, QStringLiteral("700001")));

        // Resumed: instant again; the next mail comes at once, the earlier
        // one with it.
        store.setAccountEnabled(a.address, true);
        QTRY_VERIFY_WITH_TIMEOUT(client->isInstant(a.address), 10000);
        deliver(a, QStringLiteral("Kod"), QStringLiteral("Kodunuz 700003"));
        QTRY_VERIFY_WITH_TIMEOUT(holdsCode(store, QStringLiteral("700003")), 5000);
        QVERIFY(holdsCode(store, QStringLiteral("700001")));

        store.removeAccount(b.address);
        QTRY_VERIFY(!client->isInstant(b.address));
        QVERIFY(client->isInstant(a.address));
    }
};

QTEST_GUILESS_MAIN(IdleDovecotTest)
#include "tst_idledovecot.moc"
