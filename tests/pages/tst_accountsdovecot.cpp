// The accounts form against a real Dovecot: servers set by hand for one
// address never get another address's login, and only a good test stores.
#include "mail/mailstore.h"
#include "pages/accountspage.h"
#include "recordingdialogs.h"
#include "servers/dovecotusers.h"
#include "support/isolatedsettings.h"
#include "transport/imapclient.h"

#include <QLineEdit>
#include <QNetworkProxy>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

namespace {

// Stands in as the application's HTTP proxy: records the host each session
// asks for and refuses it, so that an address's own provider is never
// really contacted from here.
class RefusingProxy : public QObject
{
public:
    RefusingProxy()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    m_pending[s] += s->readAll();
                    const QByteArray &request = m_pending[s];
                    if (!request.contains("\r\n\r\n"))
                        return;
                    targets.append(QString::fromLatin1(request.left(request.indexOf("\r\n"))));
                    s->write("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), m_server.serverPort()));
    }
    ~RefusingProxy() override { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }

    QStringList targets;

private:
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

QLineEdit *field(QWidget *page, const char *name)
{
    return page->findChild<QLineEdit *>(QString::fromLatin1(name));
}

QLineEdit *edit(QWidget *page, const QString &placeholderStart)
{
    for (QLineEdit *e : page->findChildren<QLineEdit *>())
        if (e->placeholderText().startsWith(placeholderStart))
            return e;
    return nullptr;
}

} // namespace

class TestAccountsDovecot : public QObject
{
    Q_OBJECT
    DovecotUsers m_dovecot{2};

private slots:
    void initTestCase() { QVERIFY2(m_dovecot.start(), qPrintable(m_dovecot.error())); }
    void cleanupTestCase() { m_dovecot.server().stop(); }

    void aLoginGoesOnlyToItsOwnAddressServers()
    {
        IsolatedSettings settings;
        RecordingDialogs dialogs;
        QWidget owner;
        auto *store = new MailStore(&owner);
        auto *imap = new ImapClient(store, &owner);
        auto *page = new AccountsPage(store, imap, &owner);
        page->setDialogs(&dialogs);
        QSignalSpy finished(imap, &ImapClient::testFinished);
        DovecotServer &dovecot = m_dovecot.server();
        const QString user = m_dovecot.nextUser();

        // An account with its servers set by hand, tested for real and stored.
        QLineEdit *address = edit(page, QStringLiteral("Mail adresin"));
        QLineEdit *password = edit(page, QStringLiteral("Uygulama sifresi"));
        address->setText(QStringLiteral("ali@firma.test"));
        password->setText(DovecotUsers::password());
        field(page, "hostField")->setText(dovecot.host());
        field(page, "portField")->setText(QString::number(dovecot.port()));
        field(page, "userField")->setText(user);
        page->testButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
        QVERIFY2(finished.at(0).at(1).toBool(), qPrintable(finished.at(0).at(2).toString()));
        QCOMPARE(store->accounts().size(), 1);
        QCOMPARE(store->accounts().at(0).port, dovecot.port());
        // and the form is new again
        QVERIFY(address->text().isEmpty());
        QVERIFY(field(page, "hostField")->text().isEmpty());
        QVERIFY(field(page, "portField")->text().isEmpty());

        // In one form: servers set by hand for one address (a listener that
        // must never hear from anyone), then another address typed over it.
        QTcpServer previous;
        QVERIFY(previous.listen(QHostAddress::LocalHost, 0));
        address->setText(QStringLiteral("bob@firma.test"));
        field(page, "hostField")->setText(QStringLiteral("127.0.0.1"));
        field(page, "portField")->setText(QString::number(previous.serverPort()));
        field(page, "userField")->setText(user);
        address->clear();
        QTest::keyClicks(address, QStringLiteral("veli@gmail.com"));
        password->setText(QStringLiteral("gmail-uygulama-sifresi"));

        RefusingProxy proxy;
        page->testButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 20000);
        QVERIFY(!finished.at(1).at(1).toBool());
        QVERIFY2(proxy.targets.contains(QStringLiteral("CONNECT imap.gmail.com:993 HTTP/1.1")),
                 qPrintable(proxy.targets.join(QLatin1Char('\n'))));
        for (const QString &target : proxy.targets)
            QVERIFY2(!target.contains(QStringLiteral(":%1 ").arg(previous.serverPort())), qPrintable(target));
        QVERIFY(!previous.hasPendingConnections());
        QVERIFY(!dovecot.log().contains(QStringLiteral("veli")));
        QCOMPARE(page->advancedButton()->text(), QStringLiteral("Gelismis ayarlar (otomatik)"));
        // The failed test stored nothing; the form waits for the user.
        QCOMPARE(store->accounts().size(), 1);
        QCOMPARE(address->text(), QStringLiteral("veli@gmail.com"));
        QVERIFY(page->saveAnywayButton()->isVisibleTo(page));
        QCOMPARE(dialogs.warnings.size(), 1);
    }
};

QTEST_MAIN(TestAccountsDovecot)
#include "tst_accountsdovecot.moc"
