#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// Pure pieces of OAuth 2.0 sign-in for mail (authorization code with PKCE
// over a loopback redirect) and of the SASL mechanisms that carry the token.
// No I/O; safe on any thread.

// Where and how one provider signs users in.
struct OAuthEndpoints
{
    QUrl authorizeUrl;
    QUrl tokenUrl;
    QStringList scopes;
    QString clientId;
    // Sent only when a provider insists on one for desktop clients; never compiled in.
    QString clientSecret;
    // Further parameters of the browser's first request (Google's offline access).
    QList<QPair<QString, QString>> extraParameters;

    bool isUsable() const { return authorizeUrl.isValid() && tokenUrl.isValid() && !clientId.isEmpty(); }
};

// Random bytes for verifiers and states; the program uses the system's
// generator, tests their own.
using OAuthRandom = std::function<QByteArray(int count)>;
QByteArray systemRandomBytes(int count);

// Base64url without padding.
QString base64Url(const QByteArray &bytes);

// A PKCE code verifier of 43 characters (32 random bytes) and its S256 challenge.
QString pkceVerifier(const OAuthRandom &random);
QString pkceChallenge(const QString &verifier);

// The browser's first stop: response_type=code with PKCE, state and the
// loopback redirect; `loginHint` pre-fills the account when not empty.
QUrl authorizationUrl(const OAuthEndpoints &endpoints, const QString &redirectUri, const QString &state,
                      const QString &challenge, const QString &loginHint);

// What the loopback listener was handed.
struct RedirectResult
{
    QString code;  // set on success
    QString error; // a Turkish text on refusal
};

// Reads the redirect's query: the state must match, exactly one code must be
// present, and an error redirect is reported with the provider's reason.
RedirectResult readRedirect(const QUrl &target, const QString &expectedState);

// A token endpoint's answer.
struct TokenReply
{
    QString accessToken;
    QString refreshToken; // empty when the provider kept the old one
    qint64 expiresIn = 0; // seconds
    QString error;        // a Turkish text when the answer is not usable
    bool refused = false; // the grant itself was refused (invalid_grant): sign in again
};

Q_DECLARE_METATYPE(TokenReply)

// Reads the JSON body of a token answer (any HTTP status). Tokens with
// characters outside printable ASCII (CR/LF among them) are refused: they end
// up inside protocol lines.
TokenReply readTokenReply(int httpStatus, const QByteArray &body);

// Form bodies for the token endpoint.
QByteArray tokenRequestBody(const OAuthEndpoints &endpoints, const QString &code, const QString &verifier,
                            const QString &redirectUri);
QByteArray refreshRequestBody(const OAuthEndpoints &endpoints, const QString &refreshToken);

// SASL initial responses, base64-encoded, for IMAP AUTHENTICATE and SMTP AUTH.
QByteArray saslXoauth2(const QString &user, const QString &accessToken);
QByteArray saslOauthbearer(const QString &user, const QString &host, quint16 port, const QString &accessToken);
