// Two users of one machine, end to end: a real Dovecot, the main window on a
// local database, mailboxes added through the accounts page. After one
// user signs out and another signs up, nothing of the first shows, and each
// finds their own again; the first user's data stays where older versions
// read it.
#include "account/firebaseauth.h"
#include "app/appservices.h"
#include "app/mainwindow.h"
#include "link/linkmanager.h"
#include "link/linkpayload.h"
#include "mail/mailstore.h"
#include "pages/accountspage.h"
#include "pages/inboxmodel.h"
#include "pages/inboxpage.h"
#include "servers/clouddbfixture.h"
#include "servers/dovecotserver.h"
#include "servers/tlsfixture.h"
#include "support/isolatedsettings.h"
#include "transport/imapclient.h"
#include "vault/totpmanager.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

namespace {

QLineEdit *findEdit(QWidget *root, const QString &placeholderStart)
{
    for (QLineEdit *e : root->findChildren<QLineEdit *>())
        if (e->placeholderText().startsWith(placeholderStart))
            return e;
    return nullptr;
}

} // namespace

class TestUserSwitch : public QObject
{
    Q_OBJECT

    // Adds a mailbox the way a user does and waits for its good test.
    static bool addMailbox(MainWindow &w, const DovecotServer &imap, const QString &address, const QString &user,
                           const QString &password)
    {
        w.switchPage(AccountsPageIndex);
        AccountsPage *page = w.accountsPage();
        findEdit(page, QStringLiteral("Mail adresin"))->setText(address);
        findEdit(page, QStringLiteral("Uygulama sifresi"))->setText(password);
        page->findChild<QLineEdit *>(QStringLiteral("hostField"))->setText(imap.host());
        page->findChild<QLineEdit *>(QStringLiteral("portField"))->setText(QString::number(imap.port()));
        page->findChild<QLineEdit *>(QStringLiteral("userField"))->setText(user);
        QSignalSpy tested(w.services()->imap(), &ImapClient::testFinished);
        page->testButton()->click();
        return tested.wait(20000) && tested.at(0).at(1).toBool();
    }

    static QStringList addresses(const MailStore *store)
    {
        QStringList out;
        for (const EmailAccount &a : store->accounts())
            out << a.address;
        return out;
    }

private slots:
    void oneUsersDataIsNeverAnothers()
    {
        IsolatedSettings settings;
        TlsFixture tls;
        QVERIFY2(tls.isValid(), qPrintable(tls.error()));
        tls.trustInProcess();
        DovecotServer imap(tls);
        QVERIFY(imap.addUser(QStringLiteral("mb1"), QStringLiteral("pw-1")));
        QVERIFY(imap.addUser(QStringLiteral("mb2"), QStringLiteral("pw-2")));
        QVERIFY2(imap.start(), qPrintable(imap.error()));
        CloudDbFixture db;
        QVERIFY2(db.startInProcess(), qPrintable(db.errorText()));
        {
            FirebaseAuth signup(nullptr, db.baseUrl());
            signup.signUp(QStringLiteral("birinci"), QStringLiteral("gizli-1234"));
            QTRY_VERIFY_WITH_TIMEOUT(signup.isLogged(), 10000);
        }
        // A device paired by the first user, as an older version stored it.
        PairedDevice dev{"ABCDEFGH", "Telefon", QString(64, 'a'), "2026-01-01T10:00:00"};
        QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"))
            .setValue("link/devices", QString::fromUtf8(serializePairedDevices({dev})));

        AppServicesOptions so;
        so.databaseUrl = db.baseUrl();
        so.guard = [] { return false; };
        so.registerHotkey = false;
        AppServices s(so);
        std::function<void()> signInAs;
        MainWindowOptions o;
        o.trayFactory = [](QObject *) -> Tray * { return nullptr; };
        o.message = [](QMessageBox::Icon, const QString &) {};
        o.fadeMs = 1;
        o.runDialog = [&](QDialog *) {
            signInAs();
            return int(QDialog::Accepted);
        };
        o.quit = [] {};
        MainWindow w(&s, o);
        s.start();
        w.show();

        // The first user's mailbox, a mail in it, a category and the vault.
        QVERIFY(addMailbox(w, imap, QStringLiteral("birinci@mirelo.test"), QStringLiteral("mb1"),
                           QStringLiteral("pw-1")));
        QVERIFY(!imap.deliver(QStringLiteral("mb1"),
                              DovecotServer::message(QStringLiteral("Steam <noreply@steampowered.com>"),
                                                     QStringLiteral("Steam Guard kodun"),
                                                     QStringLiteral("Hesabina giris icin kodun: 847204")))
                     .isEmpty());
        // An ask while a round is ending is dropped: ask until it shows.
        QTRY_VERIFY_WITH_TIMEOUT(!s.store()->mails().isEmpty() || (s.imap()->pollNow(), false), 20000);
        s.store()->addOrUpdateCategory({QStringLiteral("Birincinin"), QStringLiteral("game"), {"steampowered.com"}});
        QVERIFY(s.vault()->setupVault(QStringLiteral("kasa-1234")));
        QCOMPARE(s.link()->devices().size(), 1);

        // Signed out; a second user signs up in the dialog.
        signInAs = [&] {
            s.auth()->signUp(QStringLiteral("ikinci"), QStringLiteral("gizli-5678"));
            QTRY_VERIFY_WITH_TIMEOUT(s.auth()->isLogged(), 10000);
        };
        w.signOut();
        QCOMPARE(s.auth()->displayName(), QStringLiteral("ikinci"));
        QVERIFY(w.isVisible());
        QVERIFY(s.store()->accounts().isEmpty());
        QVERIFY(s.store()->mails().isEmpty());
        for (const Category &c : s.store()->categories())
            QVERIFY(c.name != QStringLiteral("Birincinin"));
        QVERIFY(!s.vault()->isSet());
        QVERIFY(s.link()->devices().isEmpty());
        QTRY_VERIFY(w.inboxPage()->model()->isEmptyState());
        QCOMPARE(w.accountsPage()->accountList()->count(), 1);
        QVERIFY(!w.accountsPage()->accountList()->item(0)->text().contains(QStringLiteral("birinci")));
        // A poll now brings nothing of the first user's mailbox.
        s.imap()->pollNow();
        QTest::qWait(300);
        QVERIFY(s.store()->mails().isEmpty());

        // The second user's own mailbox, through the same page.
        QVERIFY(addMailbox(w, imap, QStringLiteral("ikinci@mirelo.test"), QStringLiteral("mb2"),
                           QStringLiteral("pw-2")));
        QCOMPARE(addresses(s.store()), QStringList{QStringLiteral("ikinci@mirelo.test")});

        // And back: the first user finds everything as it was.
        signInAs = [&] {
            s.auth()->signIn(QStringLiteral("birinci"), QStringLiteral("gizli-1234"));
            QTRY_VERIFY_WITH_TIMEOUT(s.auth()->isLogged(), 10000);
        };
        w.signOut();
        QCOMPARE(s.auth()->displayName(), QStringLiteral("birinci"));
        QCOMPARE(addresses(s.store()), QStringList{QStringLiteral("birinci@mirelo.test")});
        QVERIFY(s.vault()->isSet());
        QVERIFY(s.vault()->unlock(QStringLiteral("kasa-1234")));
        QCOMPARE(s.link()->devices().size(), 1);
        bool own = false;
        for (const Category &c : s.store()->categories())
            own = own || c.name == QStringLiteral("Birincinin");
        QVERIFY(own);
        QTRY_VERIFY_WITH_TIMEOUT(!s.store()->mails().isEmpty() || (s.imap()->pollNow(), false), 20000);
        QCOMPARE(s.store()->mails().first().account, QStringLiteral("birinci@mirelo.test"));

        // Where the data lies: the first user's where it always was.
        const QSettings raw(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
        QCOMPARE(raw.value("auth/dataOwner").toString(), QStringLiteral("birinci"));
        QVERIFY(raw.value("accounts").toByteArray().contains("birinci@mirelo.test"));
        QVERIFY(!raw.value("accounts").toByteArray().contains("ikinci@mirelo.test"));
        QVERIFY(raw.value("users/ikinci/accounts").toByteArray().contains("ikinci@mirelo.test"));
    }
};

QTEST_MAIN(TestUserSwitch)
#include "tst_userswitch.moc"
