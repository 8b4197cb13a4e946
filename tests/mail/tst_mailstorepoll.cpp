// Poll rounds against a real Dovecot: a round's status never rewrites the
// stored accounts with their passwords; a refused login, which must outlast
// a restart, is written once.
#include "mail/mailstore.h"
#include "memorydisk.h"
#include "servers/dovecotserver.h"
#include "support/isolatedsettings.h"
#include "servers/tlsfixture.h"
#include "transport/imapclient.h"

#include <QtTest>

#include <memory>

class TestMailStorePoll : public QObject
{
    Q_OBJECT

private:
    EmailAccount account(const QString &user, const QString &pass) const
    {
        EmailAccount acc;
        acc.address = user + QStringLiteral("@localhost");
        acc.provider = QStringLiteral("custom");
        acc.host = m_imap->host();
        acc.port = m_imap->port();
        acc.user = user;
        acc.pass = pass;
        return acc;
    }
    static EmailAccount held(const MailStore &store, const QString &address)
    {
        for (const EmailAccount &a : store.accounts()) {
            if (sameAccount(a.address, address))
                return a;
        }
        return EmailAccount();
    }

    TlsFixture m_tls;
    std::unique_ptr<DovecotServer> m_imap;
    std::unique_ptr<IsolatedSettings> m_settings;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_tls.isValid(), qPrintable(m_tls.error()));
        m_tls.trustInProcess();
        m_imap = std::make_unique<DovecotServer>(m_tls);
        QVERIFY(m_imap->addUser(QStringLiteral("ali"), QStringLiteral("secret")));
        QVERIFY(m_imap->addUser(QStringLiteral("veli"), QStringLiteral("secret")));
        QVERIFY2(m_imap->start(), qPrintable(m_imap->error()));
    }
    void cleanupTestCase() { m_imap.reset(); }
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { m_settings.reset(); }

    void roundsLeaveTheStoredAccountsAlone()
    {
        const EmailAccount ali = account(QStringLiteral("ali"), QStringLiteral("secret"));
        const QString key = m_imap->deliver(
            ali.user, DovecotServer::message(QStringLiteral("Servis <no-reply@svc.test>"), QStringLiteral("Giris"),
                                             QStringLiteral("Dogrulama kodunuz: 482913")));
        QVERIFY(!key.isEmpty());
        MemoryDisk disk;
        MailStore store(disk.storage());
        store.addOrUpdateAccount(ali);
        const QByteArray stored = disk.values.value(QStringLiteral("accounts"));
        QCOMPARE(disk.writes.value(QStringLiteral("accounts")), 1);

        ImapClient client(&store);
        client.pollNow();
        QTRY_COMPARE_WITH_TIMEOUT(store.mails().size(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!held(store, ali.address).lastOk.isEmpty(), 10000);

        // A second round carries a \Seen flag to the server; the flag queue
        // has a key of its own, the accounts stay as they were.
        // An ask while the first round is still ending is dropped by design,
        // so ask until the flag is there.
        store.markSeen(store.mails().first().id);
        QTRY_VERIFY_WITH_TIMEOUT(m_imap->isSeen(ali.user, key) || (client.pollNow(), false), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(store.pollableAccounts().first().pendingActions.isEmpty(), 5000);
        QCOMPARE(disk.writes.value(QStringLiteral("accounts")), 1);
        QCOMPARE(disk.values.value(QStringLiteral("accounts")), stored);

        // A refused login is written once and read back after a restart.
        EmailAccount veli = account(QStringLiteral("veli"), QStringLiteral("yanlis"));
        store.addOrUpdateAccount(veli);
        QCOMPARE(disk.writes.value(QStringLiteral("accounts")), 2);
        client.pollNow();
        QTRY_VERIFY_WITH_TIMEOUT(held(store, veli.address).loginRefused, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!held(store, veli.address).lastError.isEmpty(), 5000);
        QCOMPARE(disk.writes.value(QStringLiteral("accounts")), 3);
        // The next round polls only the good account; its status writes nothing.
        QSignalSpy changed(&store, &MailStore::accountsChanged);
        QTRY_VERIFY_WITH_TIMEOUT(!changed.isEmpty() || (client.pollNow(), false), 10000);
        QCOMPARE(disk.writes.value(QStringLiteral("accounts")), 3);
        QVERIFY(held(MailStore(disk.storage()), veli.address).loginRefused);
    }
};

QTEST_GUILESS_MAIN(TestMailStorePoll)
#include "tst_mailstorepoll.moc"
