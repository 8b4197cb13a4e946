#include "oauth/oauthcore.h"

#include <QUrlQuery>
#include <QtTest>

class TestOAuthCore : public QObject
{
    Q_OBJECT
private slots:
    void pkceMatchesTheStandardsExample();
    void authorizationUrlCarriesEverythingEscaped();
    void redirect_data();
    void redirect();
    void tokenReply_data();
    void tokenReply();
    void saslStrings();
};

void TestOAuthCore::pkceMatchesTheStandardsExample()
{
    // RFC 7636, appendix B.
    QCOMPARE(pkceChallenge(QStringLiteral("dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk")),
             QStringLiteral("E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM"));
    int calls = 0;
    const QString verifier = pkceVerifier([&calls](int n) {
        ++calls;
        return QByteArray(n, '\xfb');
    });
    QCOMPARE(calls, 1);
    QCOMPARE(verifier.size(), 43);
    QVERIFY(!verifier.contains(QLatin1Char('+')) && !verifier.contains(QLatin1Char('/'))
            && !verifier.contains(QLatin1Char('=')));
}

void TestOAuthCore::authorizationUrlCarriesEverythingEscaped()
{
    OAuthEndpoints e;
    e.authorizeUrl = QUrl(QStringLiteral("https://login.example/authorize?tenant=x"));
    e.tokenUrl = QUrl(QStringLiteral("https://login.example/token"));
    e.clientId = QStringLiteral("id 1");
    e.scopes = {QStringLiteral("https://mail.example/IMAP.All"), QStringLiteral("offline_access")};
    e.extraParameters = {{QStringLiteral("prompt"), QStringLiteral("consent")}};
    const QUrl url = authorizationUrl(e, QStringLiteral("http://127.0.0.1:5555/"), QStringLiteral("st"),
                                      QStringLiteral("ch"), QStringLiteral("a+b@example.com"));
    QVERIFY(url.toEncoded().contains("login_hint=a%2Bb%40example.com"));
    const QUrlQuery q(url);
    QCOMPARE(q.queryItemValue("tenant"), QStringLiteral("x"));
    QCOMPARE(q.queryItemValue("client_id", QUrl::FullyDecoded), QStringLiteral("id 1"));
    QCOMPARE(q.queryItemValue("scope", QUrl::FullyDecoded),
             QStringLiteral("https://mail.example/IMAP.All offline_access"));
    QCOMPARE(q.queryItemValue("redirect_uri", QUrl::FullyDecoded), QStringLiteral("http://127.0.0.1:5555/"));
    QCOMPARE(q.queryItemValue("code_challenge_method"), QStringLiteral("S256"));
    QCOMPARE(q.queryItemValue("prompt"), QStringLiteral("consent"));
}

void TestOAuthCore::redirect_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("error");
    QTest::newRow("ok") << "code=abc&state=S1" << "abc" << "";
    QTest::newRow("state mismatch") << "code=abc&state=S2" << "" << "state uyusmuyor";
    QTest::newRow("no state") << "code=abc" << "" << "state uyusmuyor";
    QTest::newRow("two states") << "code=abc&state=S1&state=S1" << "" << "state uyusmuyor";
    QTest::newRow("error redirect") << "error=access_denied&error_description=User%20said%20no&state=S1" << ""
                                    << "reddedildi: access_denied - User said no";
    QTest::newRow("no code") << "state=S1" << "" << "kod yok";
    QTest::newRow("repeated code") << "code=a&code=b&state=S1" << "" << "birden fazla kod";
    QTest::newRow("code with CR/LF") << "code=a%0D%0Ab&state=S1" << "" << "kod gecersiz";
}

void TestOAuthCore::redirect()
{
    QFETCH(QString, query);
    QFETCH(QString, code);
    QFETCH(QString, error);
    const RedirectResult r = readRedirect(QUrl(QStringLiteral("/?") + query), QStringLiteral("S1"));
    QCOMPARE(r.code, code);
    QVERIFY2(error.isEmpty() ? r.error.isEmpty() : r.error.contains(error), qPrintable(r.error));
}

void TestOAuthCore::tokenReply_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("access");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("refused");
    QTest::newRow("ok") << 200 << QByteArray(R"({"access_token":"AT","token_type":"Bearer","expires_in":3599,"refresh_token":"RT"})")
                        << "AT" << "" << false;
    QTest::newRow("expiry as text") << 200 << QByteArray(R"({"access_token":"AT","expires_in":"60"})") << "AT" << ""
                                    << false;
    QTest::newRow("garbage") << 200 << QByteArray("\x00\xffnot json", 11) << "" << "okunamadi" << false;
    QTest::newRow("500 page") << 500 << QByteArray("<html>oops</html>") << "" << "HTTP 500" << false;
    QTest::newRow("revoked") << 400 << QByteArray(R"({"error":"invalid_grant"})") << "" << "invalid_grant" << true;
    QTest::newRow("no token") << 200 << QByteArray(R"({"token_type":"Bearer"})") << "" << "erisim anahtari yok"
                              << false;
    QTest::newRow("not bearer") << 200 << QByteArray(R"({"access_token":"AT","token_type":"mac"})") << ""
                                << "erisim anahtari yok" << false;
    QTest::newRow("CR/LF in token") << 200 << QByteArray(R"({"access_token":"AT\r\nA1 LOGOUT"})") << ""
                                    << "gecersiz karakter" << false;
    QTest::newRow("CR/LF in refresh token") << 200
                                            << QByteArray(R"({"access_token":"AT","refresh_token":"R\nT"})") << ""
                                            << "gecersiz karakter" << false;
}

void TestOAuthCore::tokenReply()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, access);
    QFETCH(QString, error);
    QFETCH(bool, refused);
    const TokenReply r = readTokenReply(status, body);
    QCOMPARE(r.accessToken, access);
    QVERIFY2(error.isEmpty() ? r.error.isEmpty() : r.error.contains(error), qPrintable(r.error));
    QCOMPARE(r.refused, refused);
    QVERIFY(!r.error.contains(QLatin1String("AT")));
    if (access == u"AT")
        QVERIFY(r.expiresIn == 3599 || r.expiresIn == 60);
}

void TestOAuthCore::saslStrings()
{
    QCOMPARE(QByteArray::fromBase64(saslXoauth2(QStringLiteral("alice@example.com"), QStringLiteral("tok"))),
             QByteArray("user=alice@example.com\x01" "auth=Bearer tok\x01\x01"));
    QCOMPARE(QByteArray::fromBase64(saslOauthbearer(QStringLiteral("a,b=c@example.com"), QStringLiteral("imap.example"),
                                                    993, QStringLiteral("tok"))),
             QByteArray("n,a=a=2Cb=3Dc@example.com,\x01" "host=imap.example\x01" "port=993\x01" "auth=Bearer tok\x01\x01"));
}

QTEST_GUILESS_MAIN(TestOAuthCore)
#include "tst_oauthcore.moc"
