#pragma once

#include "oauth/oauthcore.h"
#include "servers/hostprocess.h"

#include <QByteArray>
#include <QString>

// The OAuth 2.0 authorization server of the tests (oauthserver.py beside
// this file, run by /usr/bin/python3): authorization code with PKCE,
// refresh, revocation and an introspection endpoint that Dovecot can ask.
class OAuthTestServer
{
public:
    OAuthTestServer() = default;
    ~OAuthTestServer();
    OAuthTestServer(const OAuthTestServer &) = delete;
    OAuthTestServer &operator=(const OAuthTestServer &) = delete;

    bool start(const QString &user = QStringLiteral("alice@localhost"));
    void stop();
    QString error() const { return m_error; }
    QString baseUrl() const { return m_baseUrl; }
    QString clientId() const { return QStringLiteral("mirelo-test-client"); }
    QString introspectionUrl() const { return m_baseUrl + QStringLiteral("/introspect"); }
    OAuthEndpoints endpoints() const;

    // POSTs to one of the server's /admin/ endpoints; the answer's body.
    QByteArray admin(const QString &what, const QByteArray &body = QByteArray()) const;

    // A whole sign-in of `user` through OAuthFlow, the test playing the
    // browser; the tokens, or a reply with the error set.
    TokenReply signIn(const QString &user) const;

    // Plays the browser: asks the authorization page and follows its
    // redirect to wherever it points (the program's loopback listener).
    // Returns the HTTP status of the last answer, 0 when unreachable.
    static int followInBrowser(const QUrl &page);
    // One GET as a browser would send it, with the given Host header.
    static int browserGet(const QUrl &url, const QByteArray &hostHeader = QByteArray());

private:
    HostProcess m_process;
    QString m_baseUrl;
    QString m_error;
};
