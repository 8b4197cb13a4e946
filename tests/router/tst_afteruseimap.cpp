// A used code's mail against a real Dovecot: moved to the server's trash
// folder by the account's choice, and back into the INBOX by "Geri al",
// as one card throughout.
#include "mail/mailstore.h"
#include "router/afteruse.h"
#include "servers/dovecotserver.h"
#include "servers/tlsfixture.h"
#include "support/isolatedsettings.h"
#include "transport/imapclient.h"

#include "../mail/memorydisk.h"

#include <QtTest>

class TestAfterUseImap : public QObject
{
    Q_OBJECT
private slots:
    void usedCodeMailGoesToTheTrashAndComesBack();
};

void TestAfterUseImap::usedCodeMailGoesToTheTrashAndComesBack()
{
    IsolatedSettings settings;
    TlsFixture tls;
    QVERIFY2(tls.isValid(), qPrintable(tls.error()));
    tls.trustInProcess();
    DovecotServer imap(tls);
    QVERIFY(imap.addUser(QStringLiteral("ali"), QStringLiteral("secret")));
    QVERIFY2(imap.start(), qPrintable(imap.error()));

    EmailAccount acc;
    acc.address = QStringLiteral("ali@localhost");
    acc.provider = QStringLiteral("custom");
    acc.host = imap.host();
    acc.port = imap.port();
    acc.user = QStringLiteral("ali");
    acc.pass = QStringLiteral("secret");
    acc.afterUse = AfterUse::MoveToTrash;
    MemoryDisk disk;
    MailStore store(disk.storage());
    store.addOrUpdateAccount(acc);
    ImapClient client(&store);
    CodeAfterUse afterUse(&store);
    auto roundOk = [&] { return !store.accounts().value(0).lastOk.isEmpty(); };

    // The first round finds an empty box, so the code mail is a new one.
    client.pollNow();
    QTRY_VERIFY_WITH_TIMEOUT(roundOk(), 10000);
    QVERIFY(!imap.deliver(acc.user, DovecotServer::message(QStringLiteral("Servis <no-reply@svc.test>"),
                                                          QStringLiteral("Giris kodu"),
                                                          QStringLiteral("Dogrulama kodunuz: 482913")))
                 .isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(store.mails().size() == 1 || (client.pollNow(), false), 10000);
    const QString id = store.mails().first().id;
    QCOMPARE(store.mails().first().code, QStringLiteral("482913"));

    QSignalSpy undoable(&afterUse, &CodeAfterUse::undoAvailable);
    afterUse.codeUsed(id);
    QTRY_VERIFY_WITH_TIMEOUT(!undoable.isEmpty(), 10000);
    QCOMPARE(undoable.first().first().toBool(), true);
    QCOMPARE(imap.messageCount(acc.user, QStringLiteral("Trash")), 1);
    QCOMPARE(imap.messageCount(acc.user), 0);
    QVERIFY(store.mail(id)->inTrash);

    QVERIFY(afterUse.undo());
    QTRY_VERIFY_WITH_TIMEOUT(!store.mail(id)->inTrash, 10000);
    QCOMPARE(imap.messageCount(acc.user), 1);
    QCOMPARE(imap.messageCount(acc.user, QStringLiteral("Trash")), 0);
    QVERIFY(store.pendingActions(acc.address).isEmpty());

    // The next round sees the mail back under its new UID: still one card.
    store.setAccountOk(acc.address, QString());
    client.pollNow();
    QTRY_VERIFY_WITH_TIMEOUT(roundOk(), 10000);
    QCOMPARE(store.mails().size(), 1);
    QCOMPARE(store.mails().first().id, id);
}

QTEST_GUILESS_MAIN(TestAfterUseImap)
#include "tst_afteruseimap.moc"
