#pragma once

#include "oauth/oauthcore.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>

class LoopbackReceiver;
class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

struct OAuthFlowOptions
{
    OAuthRandom random = systemRandomBytes;
    // Opens the authorization page in the system browser; tests follow it themselves.
    std::function<bool(const QUrl &)> openBrowser;
    int flowTimeoutMs = 5 * 60 * 1000;
    int tokenTimeoutMs = 20000;
};

// One browser sign-in: PKCE, a loopback listener, the browser, the code for
// tokens. Ends with exactly one of succeeded or failed; the listener is
// closed then. Error texts never carry a token or a code.
class OAuthFlow : public QObject
{
    Q_OBJECT
public:
    explicit OAuthFlow(QNetworkAccessManager *nam, const OAuthFlowOptions &options = OAuthFlowOptions(),
                       QObject *parent = nullptr);
    ~OAuthFlow() override;

    // False (with failed emitted) when the flow cannot start.
    bool start(const OAuthEndpoints &endpoints, const QString &loginHint);
    void cancel();
    bool isRunning() const { return m_running; }
    // The page the browser was sent to (for a link to copy by hand).
    QUrl authorizationPage() const { return m_page; }
    QString redirectUri() const;

signals:
    void succeeded(const TokenReply &tokens);
    void failed(const QString &error);

private:
    void onRedirect(const QUrl &target);
    void onTokenReply();
    void finish(bool ok, const TokenReply &tokens, const QString &error);

    QNetworkAccessManager *m_nam;
    OAuthFlowOptions m_opt;
    LoopbackReceiver *m_receiver;
    QTimer *m_timeout;
    QPointer<QNetworkReply> m_reply;
    OAuthEndpoints m_endpoints;
    QString m_state;
    QString m_verifier;
    QString m_redirectUri;
    QUrl m_page;
    bool m_running = false;
};

// Trades a refresh token for a fresh access token. Calls `done` once, on the
// caller's thread, unless `context` is gone by then.
void refreshAccessToken(QNetworkAccessManager *nam, const OAuthEndpoints &endpoints, const QString &refreshToken,
                        QObject *context, const std::function<void(const TokenReply &)> &done,
                        int timeoutMs = 20000);
