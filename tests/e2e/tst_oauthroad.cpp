// A Microsoft mailbox from the first click to its codes, with nothing faked:
// the accounts page offers the Microsoft sign-in in place of a password, the
// test plays the browser against the tests' authorization server (set as the
// provider's endpoints in the settings), the real Dovecot takes the token
// over XOAUTH2, and a delivered code mail reaches the store through IDLE.
#include "mail/mailstore.h"
#include "pages/accountspage.h"
#include "servers/dovecotserver.h"
#include "support/isolatedsettings.h"
#include "servers/oauthtestserver.h"
#include "servers/tlsfixture.h"
#include "transport/imapclient.h"

#include "../pages/recordingdialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

class OAuthRoadTest : public QObject
{
    Q_OBJECT
private slots:
    void microsoftAccountSignsInAndItsCodesArrive()
    {
        TlsFixture tls;
        QVERIFY2(tls.isValid(), qPrintable(tls.error()));
        tls.trustInProcess();
        OAuthTestServer auth;
        QVERIFY2(auth.start(), qPrintable(auth.error()));
        const QString address = QStringLiteral("veli@outlook.com");
        DovecotServer imap(tls);
        imap.setOAuthIntrospection(auth.introspectionUrl());
        QVERIFY(imap.addUser(address, QStringLiteral("unused")));
        QVERIFY2(imap.start(), qPrintable(imap.error()));

        IsolatedSettings isolated;
        {
            QSettings settings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
            settings.setValue(QStringLiteral("oauth/microsoft/clientId"), auth.clientId());
            settings.setValue(QStringLiteral("oauth/microsoft/authorizeUrl"), auth.baseUrl() + QStringLiteral("/authorize"));
            settings.setValue(QStringLiteral("oauth/microsoft/tokenUrl"), auth.baseUrl() + QStringLiteral("/token"));
        }

        MailStore store;
        QSignalSpy codes(&store, &MailStore::newCode);
        ImapClient client(&store);
        client.setPollInterval(3600 * 1000); // what arrives comes through IDLE
        client.start();
        RecordingDialogs dialogs;
        AccountsPage page(&store, &client);
        page.setDialogs(&dialogs);
        QUrl browserPage;
        OAuthFlowOptions flow;
        flow.openBrowser = [&browserPage](const QUrl &url) {
            browserPage = url;
            return true;
        };
        page.setSignInOptions(flow, accountSignInEndpoints);
        page.show();

        for (QLineEdit *e : page.findChildren<QLineEdit *>()) {
            if (e->placeholderText().startsWith(QStringLiteral("Mail adresin")))
                QTest::keyClicks(e, address);
        }
        page.findChild<QLineEdit *>(QStringLiteral("hostField"))->setText(imap.host());
        page.findChild<QLineEdit *>(QStringLiteral("portField"))->setText(QString::number(imap.port()));
        // No application password for a Microsoft address: the sign-in instead.
        QPushButton *signIn = page.signInButton();
        QVERIFY(signIn->isVisible());
        QCOMPARE(signIn->text(), QStringLiteral("Microsoft ile oturum ac"));
        QVERIFY(!page.testButton()->isVisible());

        QSignalSpy tested(&client, &ImapClient::testFinished);
        signIn->click();
        QVERIFY(browserPage.toString().startsWith(auth.baseUrl() + QStringLiteral("/authorize")));
        QCOMPARE(OAuthTestServer::followInBrowser(browserPage), 200);
        QTRY_COMPARE_WITH_TIMEOUT(tested.size(), 1, 15000);
        QVERIFY2(tested.at(0).at(1).toBool(), qPrintable(tested.at(0).at(2).toString()));
        QVERIFY2(dialogs.warnings.isEmpty(), qPrintable(dialogs.warnings.join(QLatin1Char('\n'))));
        const EmailAccount stored = store.accounts().value(0);
        QCOMPARE(stored.address, address);
        QCOMPARE(stored.auth, MailAuth::XOAuth2);
        QVERIFY(!stored.refreshToken.isEmpty());
        QVERIFY(stored.pass.isEmpty());

        QTRY_VERIFY_WITH_TIMEOUT(client.isInstant(address), 10000);
        QVERIFY(!imap.deliver(address, DovecotServer::message(QStringLiteral("Microsoft <account-security-noreply@accountprotection.microsoft.com>"),
                                                              QStringLiteral("Microsoft hesabi guvenlik kodu"),
                                                              QStringLiteral("Guvenlik kodunuz: 482913")))
                     .isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!codes.isEmpty(), 15000);
        QCOMPARE(codes.last().at(0).value<MailItem>().code, QStringLiteral("482913"));
        QCOMPARE(codes.last().at(0).value<MailItem>().account, address);
    }
};

QTEST_MAIN(OAuthRoadTest)
#include "tst_oauthroad.moc"
