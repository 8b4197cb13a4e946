#include "oauth/oauthflow.h"

#include "oauth/loopbackreceiver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

constexpr qint64 kTokenReplyLimit = 64 * 1024;

QNetworkReply *postForm(QNetworkAccessManager *nam, const QUrl &url, const QByteArray &body, int timeoutMs)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    request.setRawHeader("Accept", "application/json");
    // A token endpoint that sends us elsewhere is not followed: the code and
    // verifier go to the endpoint the catalogue names, nowhere else.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply *reply = nam->post(request, body);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kTokenReplyLimit)
            reply->abort();
    });
    return reply;
}

TokenReply readReply(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) {
        TokenReply r;
        r.error = QStringLiteral("Token alinamadi: sunucu baska bir adrese yonlendirdi.");
        return r;
    }
    if (status == 0) {
        TokenReply r;
        r.error = reply->error() == QNetworkReply::OperationCanceledError
                      ? QStringLiteral("Token alinamadi: sunucu zamaninda cevap vermedi (%1).").arg(reply->url().host())
                      : QStringLiteral("Token alinamadi: %1 adresine ulasilamadi.").arg(reply->url().host());
        return r;
    }
    return readTokenReply(status, reply->read(kTokenReplyLimit));
}

} // namespace

OAuthFlow::OAuthFlow(QNetworkAccessManager *nam, const OAuthFlowOptions &options, QObject *parent)
    : QObject(parent), m_nam(nam), m_opt(options), m_receiver(new LoopbackReceiver(this)), m_timeout(new QTimer(this))
{
    m_timeout->setSingleShot(true);
    connect(m_timeout, &QTimer::timeout, this, [this] {
        finish(false, {}, QStringLiteral("Oturum acma zaman asimina ugradi: tarayicidan sonuc gelmedi."));
    });
    connect(m_receiver, &LoopbackReceiver::redirected, this, &OAuthFlow::onRedirect);
}

OAuthFlow::~OAuthFlow()
{
    if (m_reply)
        m_reply->abort();
}

QString OAuthFlow::redirectUri() const
{
    return m_redirectUri;
}

bool OAuthFlow::start(const OAuthEndpoints &endpoints, const QString &loginHint)
{
    cancel();
    if (!endpoints.isUsable()) {
        emit failed(QStringLiteral("Oturum acma baslatilamadi: bu saglayici icin istemci kimligi (client id) ayarli degil."));
        return false;
    }
    if (!m_receiver->listen()) {
        emit failed(QStringLiteral("Oturum acma baslatilamadi: 127.0.0.1 uzerinde port acilamadi."));
        return false;
    }
    m_endpoints = endpoints;
    m_state = base64Url(m_opt.random(16));
    m_verifier = pkceVerifier(m_opt.random);
    m_redirectUri = m_receiver->redirectUri();
    m_page = authorizationUrl(endpoints, m_redirectUri, m_state, pkceChallenge(m_verifier), loginHint);
    m_running = true;
    m_timeout->start(m_opt.flowTimeoutMs);
    if (m_opt.openBrowser && !m_opt.openBrowser(m_page)) {
        finish(false, {}, QStringLiteral("Oturum acma baslatilamadi: tarayici acilamadi."));
        return false;
    }
    return true;
}

void OAuthFlow::cancel()
{
    if (!m_running)
        return;
    m_running = false;
    m_timeout->stop();
    m_receiver->close();
    if (m_reply)
        m_reply->abort();
}

void OAuthFlow::onRedirect(const QUrl &target)
{
    if (!m_running || m_reply)
        return;
    // One redirect decides: the listener takes no second one.
    m_receiver->close();
    const RedirectResult result = readRedirect(target, m_state);
    if (!result.error.isEmpty()) {
        finish(false, {}, result.error);
        return;
    }
    m_reply = postForm(m_nam, m_endpoints.tokenUrl,
                       tokenRequestBody(m_endpoints, result.code, m_verifier, m_redirectUri), m_opt.tokenTimeoutMs);
    connect(m_reply, &QNetworkReply::finished, this, &OAuthFlow::onTokenReply);
}

void OAuthFlow::onTokenReply()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    const TokenReply tokens = readReply(reply);
    if (!tokens.error.isEmpty()) {
        finish(false, {}, tokens.error);
        return;
    }
    if (tokens.refreshToken.isEmpty()) {
        finish(false, {}, QStringLiteral("Token alinamadi: saglayici yenileme anahtari (refresh token) vermedi."));
        return;
    }
    finish(true, tokens, {});
}

void OAuthFlow::finish(bool ok, const TokenReply &tokens, const QString &error)
{
    if (!m_running)
        return;
    m_running = false;
    m_timeout->stop();
    m_receiver->close();
    m_verifier.clear();
    if (ok)
        emit succeeded(tokens);
    else
        emit failed(error);
}

void refreshAccessToken(QNetworkAccessManager *nam, const OAuthEndpoints &endpoints, const QString &refreshToken,
                        QObject *context, const std::function<void(const TokenReply &)> &done, int timeoutMs)
{
    QNetworkReply *reply = postForm(nam, endpoints.tokenUrl, refreshRequestBody(endpoints, refreshToken), timeoutMs);
    QPointer<QObject> guard(context);
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, guard, done] {
        reply->deleteLater();
        if (!guard)
            return;
        done(readReply(reply));
    });
}
