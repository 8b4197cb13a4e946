#include "servers/oauthtestserver.h"

#include "oauth/oauthflow.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

OAuthTestServer::~OAuthTestServer()
{
    stop();
}

bool OAuthTestServer::start(const QString &user)
{
    stop();
    const QString script = QStringLiteral(MIRELO_SERVERS_DIR "/oauthserver.py");
    if (!m_process.start(QStringLiteral("/usr/bin/python3"), {script, QStringLiteral("--user"), user}, 10000)) {
        m_error = QStringLiteral("python3 did not start: ") + m_process.errorString();
        return false;
    }
    static const QRegularExpression line(QStringLiteral("listening on (http://\\S+)"));
    QByteArray out;
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_process.isRunning()) {
        if (m_process.waitForReadyRead(100))
            out += m_process.readAllStandardOutput();
        const auto match = line.match(QString::fromUtf8(out));
        if (match.hasMatch()) {
            m_baseUrl = match.captured(1);
            return true;
        }
    }
    m_error = QStringLiteral("oauth server did not start: ") + QString::fromUtf8(m_process.readAllStandardError());
    stop();
    return false;
}

void OAuthTestServer::stop()
{
    if (m_process.isRunning()) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

OAuthEndpoints OAuthTestServer::endpoints() const
{
    OAuthEndpoints e;
    e.authorizeUrl = QUrl(m_baseUrl + QStringLiteral("/authorize"));
    e.tokenUrl = QUrl(m_baseUrl + QStringLiteral("/token"));
    e.scopes = {QStringLiteral("mail"), QStringLiteral("offline_access")};
    e.clientId = clientId();
    return e;
}

QByteArray OAuthTestServer::admin(const QString &what, const QByteArray &body) const
{
    QNetworkAccessManager nam;
    QNetworkRequest request(QUrl(m_baseUrl + QStringLiteral("/admin/") + what));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/plain"));
    request.setTransferTimeout(5000);
    QNetworkReply *reply = nam.post(request, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    return reply->readAll();
}

TokenReply OAuthTestServer::signIn(const QString &user) const
{
    QNetworkAccessManager nam;
    OAuthFlowOptions options;
    QUrl page;
    options.openBrowser = [&page](const QUrl &url) {
        page = url;
        return true;
    };
    OAuthFlow flow(&nam, options);
    TokenReply result;
    bool over = false;
    QObject::connect(&flow, &OAuthFlow::succeeded, [&](const TokenReply &tokens) {
        result = tokens;
        over = true;
    });
    QObject::connect(&flow, &OAuthFlow::failed, [&](const QString &error) {
        result.error = error;
        over = true;
    });
    if (!flow.start(endpoints(), user))
        return result;
    followInBrowser(page);
    QDeadlineTimer deadline(10000);
    while (!over && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!over)
        result.error = QStringLiteral("sign-in did not end");
    return result;
}

int OAuthTestServer::browserGet(const QUrl &url, const QByteArray &hostHeader)
{
    // A raw socket, so that the Host header is what the test says; driven by
    // an event loop, so a listener on this thread can answer.
    QTcpSocket socket;
    QByteArray answer;
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::connected, &loop, [&] {
        const QByteArray host =
            hostHeader.isEmpty() ? url.host().toLatin1() + ':' + QByteArray::number(url.port(80)) : hostHeader;
        socket.write("GET " + url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority) + " HTTP/1.1\r\nHost: "
                     + host + "\r\nUser-Agent: test-browser\r\n\r\n");
    });
    QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] {
        answer += socket.readAll();
        if (answer.contains("\r\n"))
            loop.quit();
    });
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    socket.connectToHost(url.host(), quint16(url.port(80)));
    loop.exec();
    const QList<QByteArray> parts = answer.left(answer.indexOf("\r\n")).split(' ');
    return parts.size() >= 2 ? parts.at(1).toInt() : 0;
}

int OAuthTestServer::followInBrowser(const QUrl &page)
{
    QNetworkAccessManager nam;
    QNetworkRequest request(page);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(5000);
    QNetworkReply *reply = nam.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QUrl next = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (status != 302 || !next.isValid())
        return status;
    return browserGet(page.resolved(next));
}
