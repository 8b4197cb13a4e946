// The token service with a clock the test moves and a token endpoint it
// answers itself: refresh ahead of expiry, one request for many waiters, a
// refused grant marked once and never asked again, passing faults retried
// later without a mark.
#include <QSignalSpy>
#include <QtTest>

#include "transport/tokenservice.h"

namespace {

struct FakeEndpoint
{
    struct Call
    {
        QString refreshToken;
        std::function<void(const TokenReply &)> done;
    };
    QList<Call> calls;

    TokenRefresher refresher()
    {
        return [this](const OAuthEndpoints &endpoints, const QString &refreshToken, QObject *,
                      std::function<void(const TokenReply &)> done) {
            QVERIFY(endpoints.isUsable());
            calls.append({refreshToken, std::move(done)});
        };
    }
    void answer(int i, const QString &access, qint64 expiresIn, const QString &newRefresh = QString())
    {
        TokenReply r;
        r.accessToken = access;
        r.expiresIn = expiresIn;
        r.refreshToken = newRefresh;
        calls.at(i).done(r);
    }
    void fail(int i, bool refused)
    {
        TokenReply r;
        r.error = refused ? QStringLiteral("Token alinamadi: invalid_grant")
                          : QStringLiteral("Token alinamadi: sunucu HTTP 500 dondu");
        r.refused = refused;
        calls.at(i).done(r);
    }
};

EmailAccount oauthAccount(const QString &refresh = QStringLiteral("rt-1"))
{
    EmailAccount acc;
    acc.address = QStringLiteral("Veli@outlook.com");
    acc.provider = QStringLiteral("outlook");
    acc.auth = MailAuth::XOAuth2;
    acc.refreshToken = refresh;
    return acc;
}

struct Outcome
{
    int calls = 0;
    QString token;
    QString error;
};

} // namespace

class TokenServiceTest : public QObject
{
    Q_OBJECT

    QDateTime m_now = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    FakeEndpoint m_endpoint;

    std::unique_ptr<TokenService> service(bool withClientId = true)
    {
        TokenServiceOptions o;
        o.clock = [this] { return m_now; };
        o.refresher = m_endpoint.refresher();
        o.endpoints = [withClientId](const EmailAccount &) {
            OAuthEndpoints e;
            e.authorizeUrl = QUrl(QStringLiteral("http://127.0.0.1:1/authorize"));
            e.tokenUrl = QUrl(QStringLiteral("http://127.0.0.1:1/token"));
            e.clientId = withClientId ? QStringLiteral("cid") : QString();
            return e;
        };
        o.marginSecs = 300;
        o.retryFirstSecs = 30;
        o.retryCapSecs = 120;
        return std::make_unique<TokenService>(o);
    }
    static void ask(TokenService &s, const EmailAccount &acc, Outcome &out)
    {
        s.withToken(acc, [&out](const EmailAccount &ready, const QString &error) {
            ++out.calls;
            out.token = ready.accessToken;
            out.error = error;
        });
    }

private slots:
    void init()
    {
        m_endpoint.calls.clear();
        m_now = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    }

    void refreshesAMarginBeforeExpiry()
    {
        auto s = service();
        Outcome a, b;
        ask(*s, oauthAccount(), a);
        ask(*s, oauthAccount(), b);
        // Two sessions waiting share one request.
        QCOMPARE(m_endpoint.calls.size(), 1);
        QCOMPARE(m_endpoint.calls.at(0).refreshToken, QStringLiteral("rt-1"));
        QCOMPARE(a.calls, 0);
        m_endpoint.answer(0, QStringLiteral("at-1"), 3600);
        QCOMPARE(a.calls, 1);
        QCOMPARE(a.token, QStringLiteral("at-1"));
        QCOMPARE(b.token, QStringLiteral("at-1"));
        QVERIFY(a.error.isEmpty());

        // Held while more than the margin is left...
        m_now = m_now.addSecs(3600 - 301);
        Outcome c;
        ask(*s, oauthAccount(), c);
        QCOMPARE(c.token, QStringLiteral("at-1"));
        QCOMPARE(m_endpoint.calls.size(), 1);
        // ...and renewed once inside it, before the provider would refuse it.
        m_now = m_now.addSecs(2);
        QVERIFY(s->heldToken(oauthAccount()).isEmpty());
        Outcome d;
        ask(*s, oauthAccount(), d);
        QCOMPARE(m_endpoint.calls.size(), 2);
        m_endpoint.answer(1, QStringLiteral("at-2"), 3600);
        QCOMPARE(d.token, QStringLiteral("at-2"));

        // A token the server refused is not handed out again.
        s->dropToken(QStringLiteral("veli@OUTLOOK.com"));
        Outcome e;
        ask(*s, oauthAccount(), e);
        QCOMPARE(m_endpoint.calls.size(), 3);
    }

    void refusedGrantMarksOnceAndIsNotAskedAgain()
    {
        auto s = service();
        QSignalSpy needed(s.get(), &TokenService::signInNeeded);
        Outcome a;
        ask(*s, oauthAccount(), a);
        m_endpoint.fail(0, true);
        QCOMPARE(needed.size(), 1);
        QCOMPARE(needed.at(0).at(0).toString(), QStringLiteral("Veli@outlook.com"));
        QVERIFY(needed.at(0).at(1).toString().startsWith(QStringLiteral("Yeniden oturum acilmali")));
        QVERIFY(a.token.isEmpty());
        QVERIFY(a.error.startsWith(QStringLiteral("Yeniden oturum acilmali")));

        // Hours later the same grant is still not sent to the provider.
        m_now = m_now.addSecs(6 * 3600);
        Outcome b;
        ask(*s, oauthAccount(), b);
        QCOMPARE(m_endpoint.calls.size(), 1);
        QCOMPARE(b.calls, 1);
        QVERIFY(b.error.startsWith(QStringLiteral("Yeniden oturum acilmali")));

        // A new sign-in brings a new grant, which is used.
        Outcome c;
        ask(*s, oauthAccount(QStringLiteral("rt-2")), c);
        QCOMPARE(m_endpoint.calls.size(), 2);
        m_endpoint.answer(1, QStringLiteral("at-9"), 3600);
        QCOMPARE(c.token, QStringLiteral("at-9"));
    }

    void passingFaultsWaitWithoutMark()
    {
        auto s = service();
        QSignalSpy needed(s.get(), &TokenService::signInNeeded);
        Outcome a;
        ask(*s, oauthAccount(), a);
        m_endpoint.fail(0, false);
        QCOMPARE(needed.size(), 0);
        QVERIFY(a.error.contains(QStringLiteral("HTTP 500")));

        // Within the first delay nobody asks the endpoint.
        m_now = m_now.addSecs(29);
        Outcome b;
        ask(*s, oauthAccount(), b);
        QCOMPARE(m_endpoint.calls.size(), 1);
        QVERIFY(b.error.contains(QStringLiteral("Sonraki deneme")));
        // After it, once; a second failure doubles the wait.
        m_now = m_now.addSecs(2);
        Outcome c;
        ask(*s, oauthAccount(), c);
        QCOMPARE(m_endpoint.calls.size(), 2);
        m_endpoint.fail(1, false);
        m_now = m_now.addSecs(59);
        Outcome d;
        ask(*s, oauthAccount(), d);
        QCOMPARE(m_endpoint.calls.size(), 2);
        m_now = m_now.addSecs(2);
        Outcome e;
        ask(*s, oauthAccount(), e);
        QCOMPARE(m_endpoint.calls.size(), 3);
        m_endpoint.answer(2, QStringLiteral("at-1"), 3600);
        QCOMPARE(e.token, QStringLiteral("at-1"));
        QCOMPARE(needed.size(), 0);
        // Success starts the delays over.
        s->dropToken(QStringLiteral("veli@outlook.com"));
        Outcome f;
        ask(*s, oauthAccount(), f);
        m_endpoint.fail(3, false);
        m_now = m_now.addSecs(31);
        Outcome g;
        ask(*s, oauthAccount(), g);
        QCOMPARE(m_endpoint.calls.size(), 5);
    }

    void rotatedRefreshTokenReplacesTheStoredOne()
    {
        auto s = service();
        QSignalSpy changed(s.get(), &TokenService::refreshTokenChanged);
        Outcome a;
        ask(*s, oauthAccount(), a);
        m_endpoint.answer(0, QStringLiteral("at-1"), 3600, QStringLiteral("rt-new"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(1).toString(), QStringLiteral("rt-new"));
        // The account updated with the new grant keeps its token.
        QCOMPARE(s->heldToken(oauthAccount(QStringLiteral("rt-new"))), QStringLiteral("at-1"));
        QVERIFY(s->heldToken(oauthAccount(QStringLiteral("rt-1"))).isEmpty());
    }

    void shortLivedTokensRenewHalfway()
    {
        auto s = service();
        Outcome a;
        ask(*s, oauthAccount(), a);
        m_endpoint.answer(0, QStringLiteral("at-1"), 120);
        m_now = m_now.addSecs(59);
        QCOMPARE(s->heldToken(oauthAccount()), QStringLiteral("at-1"));
        m_now = m_now.addSecs(2);
        QVERIFY(s->heldToken(oauthAccount()).isEmpty());
    }

    void withoutClientIdOrSignInNothingIsAsked()
    {
        auto s = service(false);
        Outcome a;
        ask(*s, oauthAccount(), a);
        QCOMPARE(a.calls, 1);
        QVERIFY(a.error.startsWith(QStringLiteral("Oturum acma ayarli degil")));
        QVERIFY(m_endpoint.calls.isEmpty());
        // A password account passes straight through.
        EmailAccount plain;
        plain.address = QStringLiteral("a@b.test");
        plain.pass = QStringLiteral("pw");
        Outcome b;
        ask(*s, plain, b);
        QCOMPARE(b.calls, 1);
        QVERIFY(b.error.isEmpty());
        QVERIFY(m_endpoint.calls.isEmpty());
    }

    void signInEndpointsFromSettings()
    {
        const MailProvider ms = resolveProvider(QStringLiteral("a@hotmail.com"), QStringLiteral("auto"));
        QHash<QString, QString> set;
        auto setting = [&set](const QString &key) { return set.value(key); };
        OAuthEndpoints e = signInEndpoints(ms.signIn, setting);
        QVERIFY(!e.isUsable());
        QCOMPARE(e.tokenUrl.toString(), QStringLiteral("https://login.microsoftonline.com/common/oauth2/v2.0/token"));
        set.insert(QStringLiteral("clientId"), QStringLiteral(" my-app "));
        set.insert(QStringLiteral("tokenUrl"), QStringLiteral("http://127.0.0.1:9/token"));
        e = signInEndpoints(ms.signIn, setting);
        QVERIFY(e.isUsable());
        QCOMPARE(e.clientId, QStringLiteral("my-app"));
        QCOMPARE(e.tokenUrl.toString(), QStringLiteral("http://127.0.0.1:9/token"));
        QVERIFY(e.scopes.contains(QStringLiteral("offline_access")));
        // Google's page must be asked for offline access, or no refresh token comes.
        const MailProvider g = resolveProvider(QStringLiteral("a@gmail.com"), QStringLiteral("auto"));
        const OAuthEndpoints ge = signInEndpoints(g.signIn, setting);
        QVERIFY(ge.extraParameters.contains(qMakePair(QStringLiteral("access_type"), QStringLiteral("offline"))));
        QVERIFY(g.signIn.passwordsWork);
        QVERIFY(!ms.signIn.passwordsWork);
        // Providers without a browser sign-in get nothing usable.
        const MailProvider y = resolveProvider(QStringLiteral("a@yahoo.com"), QStringLiteral("auto"));
        QVERIFY(!signInEndpoints(y.signIn, setting).isUsable());
    }
};

QTEST_GUILESS_MAIN(TokenServiceTest)
#include "tst_tokenservice.moc"
