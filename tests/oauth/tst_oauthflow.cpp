#include "oauth/loopbackreceiver.h"
#include "oauth/oauthflow.h"
#include "servers/oauthtestserver.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

// The browser sign-in against the tests' authorization server, with the
// test playing the browser.
class TestOAuthFlow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void signInThenRefreshThenRevoked();
    void forgedRedirectsAreRefusedAndTheListenerCloses();
    void wrongHostOrPathIsIgnored();
    void tokenEndpointFaults_data();
    void tokenEndpointFaults();

private:
    struct Run
    {
        std::unique_ptr<OAuthFlow> flow;
        std::unique_ptr<QSignalSpy> ok, failed;
        QUrl page;
    };
    Run startFlow(int tokenTimeoutMs = 5000);
    static bool portClosed(const QString &redirectUri);

    OAuthTestServer m_server;
    QNetworkAccessManager m_nam;
};

void TestOAuthFlow::initTestCase()
{
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
}

void TestOAuthFlow::init()
{
    m_server.admin(QStringLiteral("token-mode"), "ok");
}

TestOAuthFlow::Run TestOAuthFlow::startFlow(int tokenTimeoutMs)
{
    Run run;
    OAuthFlowOptions options;
    options.tokenTimeoutMs = tokenTimeoutMs;
    QUrl *page = &run.page;
    options.openBrowser = [page](const QUrl &url) {
        *page = url;
        return true;
    };
    run.flow = std::make_unique<OAuthFlow>(&m_nam, options);
    run.ok = std::make_unique<QSignalSpy>(run.flow.get(), &OAuthFlow::succeeded);
    run.failed = std::make_unique<QSignalSpy>(run.flow.get(), &OAuthFlow::failed);
    run.flow->start(m_server.endpoints(), QStringLiteral("bob@localhost"));
    return run;
}

bool TestOAuthFlow::portClosed(const QString &redirectUri)
{
    QTcpSocket socket;
    const QUrl url(redirectUri);
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(url.port()));
    return !socket.waitForConnected(1000);
}

void TestOAuthFlow::signInThenRefreshThenRevoked()
{
    Run run = startFlow();
    QVERIFY(run.flow->isRunning());
    QVERIFY(run.page.isValid());
    QCOMPARE(OAuthTestServer::followInBrowser(run.page), 200);
    QTRY_COMPARE(run.ok->count(), 1);
    QCOMPARE(run.failed->count(), 0);
    const TokenReply tokens = run.ok->at(0).at(0).value<TokenReply>();
    QVERIFY(!tokens.accessToken.isEmpty());
    QVERIFY(!tokens.refreshToken.isEmpty());
    QVERIFY(tokens.expiresIn > 0);
    QVERIFY(portClosed(run.flow->redirectUri()));
    // The code was used once; the provider knows the user by the hint.
    const QByteArray stats = m_server.admin(QStringLiteral("stats"));
    QVERIFY(stats.contains("\"issued\""));

    TokenReply refreshed;
    bool called = false;
    refreshAccessToken(&m_nam, m_server.endpoints(), tokens.refreshToken, this, [&](const TokenReply &r) {
        refreshed = r;
        called = true;
    });
    QTRY_VERIFY(called);
    QVERIFY(refreshed.error.isEmpty());
    QVERIFY(!refreshed.accessToken.isEmpty() && refreshed.accessToken != tokens.accessToken);

    m_server.admin(QStringLiteral("revoke"));
    called = false;
    refreshAccessToken(&m_nam, m_server.endpoints(), tokens.refreshToken, this, [&](const TokenReply &r) {
        refreshed = r;
        called = true;
    });
    QTRY_VERIFY(called);
    QVERIFY(refreshed.refused);
    QVERIFY(!refreshed.error.contains(tokens.refreshToken));
}

void TestOAuthFlow::forgedRedirectsAreRefusedAndTheListenerCloses()
{
    for (const char *query : {"?code=x&state=forged", "?error=access_denied&state=%1", "?state=%1"}) {
        Run run = startFlow();
        const QUrlQuery sent(run.page);
        const QString state = sent.queryItemValue(QStringLiteral("state"), QUrl::FullyDecoded);
        const QString uri = run.flow->redirectUri();
        QCOMPARE(OAuthTestServer::browserGet(QUrl(uri + QString::fromLatin1(query).arg(state))), 200);
        QTRY_COMPARE(run.failed->count(), 1);
        QCOMPARE(run.ok->count(), 0);
        QVERIFY2(run.failed->at(0).at(0).toString().startsWith(QLatin1String("Oturum acma reddedildi: ")),
                 qPrintable(run.failed->at(0).at(0).toString()));
        QVERIFY(portClosed(uri));
        QVERIFY(!run.flow->isRunning());
    }
}

void TestOAuthFlow::wrongHostOrPathIsIgnored()
{
    Run run = startFlow();
    const QUrl uri(run.flow->redirectUri());
    const QString state = QUrlQuery(run.page).queryItemValue(QStringLiteral("state"), QUrl::FullyDecoded);
    QUrl forged = uri;
    forged.setQuery(QStringLiteral("code=x&state=") + state);
    // A page elsewhere aiming the browser at this port under another name.
    QCOMPARE(OAuthTestServer::browserGet(forged, "evil.example:" + QByteArray::number(uri.port())), 400);
    QUrl favicon = uri;
    favicon.setPath(QStringLiteral("/favicon.ico"));
    QCOMPARE(OAuthTestServer::browserGet(favicon), 404);
    QVERIFY(run.flow->isRunning());
    QCOMPARE(OAuthTestServer::followInBrowser(run.page), 200);
    QTRY_COMPARE(run.ok->count(), 1);
}

void TestOAuthFlow::tokenEndpointFaults_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QString>("error");
    QTest::newRow("garbage") << QByteArray("garbage") << "okunamadi";
    QTest::newRow("500") << QByteArray("error500") << "HTTP 500";
    QTest::newRow("silent") << QByteArray("silent") << "zamaninda cevap vermedi";
    QTest::newRow("CR/LF token") << QByteArray("crlf") << "gecersiz karakter";
}

void TestOAuthFlow::tokenEndpointFaults()
{
    QFETCH(QByteArray, mode);
    QFETCH(QString, error);
    m_server.admin(QStringLiteral("token-mode"), mode);
    Run run = startFlow(400);
    QCOMPARE(OAuthTestServer::followInBrowser(run.page), 200);
    QTRY_COMPARE_WITH_TIMEOUT(run.failed->count(), 1, 10000);
    QVERIFY2(run.failed->at(0).at(0).toString().contains(error), qPrintable(run.failed->at(0).at(0).toString()));
    QCOMPARE(run.ok->count(), 0);
    QVERIFY(portClosed(run.flow->redirectUri()));
}

QTEST_GUILESS_MAIN(TestOAuthFlow)
#include "tst_oauthflow.moc"
