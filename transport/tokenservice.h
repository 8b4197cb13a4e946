#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

#include "core/clock.h"
#include "mail/mailrecords.h"
#include "mail/providers.h"
#include "oauth/oauthcore.h"

class QNetworkAccessManager;

// Trades a refresh token for an access token and calls `done` once on the
// caller's thread, unless `context` is gone by then.
using TokenRefresher = std::function<void(const OAuthEndpoints &endpoints, const QString &refreshToken,
                                          QObject *context, std::function<void(const TokenReply &)> done)>;
// Where the account's provider signs in, with its client id from the settings.
using SignInEndpoints = std::function<OAuthEndpoints(const EmailAccount &acc)>;

struct TokenServiceOptions
{
    Clock clock;                // expiry and backoff; tests move their own
    TokenRefresher refresher;   // empty: the token endpoint over HTTPS
    SignInEndpoints endpoints;  // empty: the catalogue and the user's settings
    // A token with less than this left is refreshed before a session uses it.
    int marginSecs = 5 * 60;
    // A failed refresh that may work later waits this long, doubled per
    // failure up to the cap.
    int retryFirstSecs = 30;
    int retryCapSecs = 30 * 60;
};

// The endpoints of a provider's sign-in: the catalogue's, with the client id,
// secret and any endpoint overrides read through `setting` (key below
// oauthSettingsPrefix). Not usable when the provider has no sign-in or no
// client id is set.
OAuthEndpoints signInEndpoints(const ProviderSignIn &signIn, const std::function<QString(const QString &)> &setting);
// The same for an account, from the user's settings store.
OAuthEndpoints accountSignInEndpoints(const EmailAccount &acc);

// Access tokens of the accounts signed in through the browser, held in
// memory only. Hands a session a token with time left, refreshing it first
// when it is near its end. A refused refresh (the grant is gone) reports the
// account for a new sign-in and asks the server no more with that refresh
// token; a failure that may pass (no answer, a 500, garbage) waits with a
// growing delay. Texts never carry a token. GUI thread only.
class TokenService : public QObject
{
    Q_OBJECT
public:
    explicit TokenService(const TokenServiceOptions &options = TokenServiceOptions(), QObject *parent = nullptr);
    ~TokenService() override;

    // Calls `ready` exactly once (unless the service is destroyed first): with
    // the account carrying a usable access token and an empty error, or with
    // the error why there is none now.
    void withToken(const EmailAccount &acc, std::function<void(const EmailAccount &, const QString &)> ready);
    // The account's held token while it has time left; empty otherwise.
    QString heldToken(const EmailAccount &acc) const;
    // The server refused the held token: the next withToken refreshes.
    void dropToken(const QString &address);
    // Tokens of a sign-in that just ended.
    void signedIn(const QString &address, const TokenReply &tokens);

signals:
    // The refresh token was refused: the user must sign in again.
    void signInNeeded(QString address, QString message);
    // The provider handed out a new refresh token; it replaces the stored one.
    void refreshTokenChanged(QString address, QString refreshToken);
    // A new access token is held (IDLE connections take it up).
    void tokenRefreshed(QString address);

private:
    struct Held
    {
        QString accessToken;
        QDateTime renewAt;    // a margin before it expires
        QString refreshToken; // the grant it came from
    };
    struct State
    {
        Held held;
        bool inFlight = false;
        QString address;
        // Each gets the token, or an empty one and the error.
        QList<std::function<void(const QString &, const QString &)>> waiters;
        QString refusedRefresh; // refused for good
        int failures = 0;
        QDateTime retryAt;
        QString lastError;
    };

    QDateTime now() const;
    void refresh(const EmailAccount &acc, State &state);
    void finish(const QString &key, const QString &error);
    void hold(State &state, const TokenReply &tokens, const QString &refreshToken);

    TokenServiceOptions m_opt;
    QNetworkAccessManager *m_nam = nullptr;
    QHash<QString, State> m_states;
};
