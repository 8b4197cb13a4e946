#include "oauth/loopbackreceiver.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr qint64 kRequestLimit = 16 * 1024;
constexpr int kMaxConnections = 8;

} // namespace

LoopbackReceiver::LoopbackReceiver(QObject *parent) : QObject(parent) {}

LoopbackReceiver::~LoopbackReceiver() = default;

bool LoopbackReceiver::listen()
{
    close();
    m_server = new QTcpServer(this);
    m_server->setMaxPendingConnections(kMaxConnections);
    if (!m_server->listen(QHostAddress::LocalHost, 0)) {
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QTcpServer::newConnection, this, &LoopbackReceiver::onConnection);
    return true;
}

void LoopbackReceiver::close()
{
    if (!m_server)
        return;
    m_server->close();
    // Open connections go with the server (they are its children).
    m_server->deleteLater();
    m_server = nullptr;
}

bool LoopbackReceiver::isListening() const
{
    return m_server && m_server->isListening();
}

QString LoopbackReceiver::redirectUri() const
{
    if (!isListening())
        return {};
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_server->serverPort());
}

void LoopbackReceiver::onConnection()
{
    while (m_server && m_server->hasPendingConnections()) {
        QTcpSocket *socket = m_server->nextPendingConnection();
        if (m_server->findChildren<QTcpSocket *>().size() > kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(m_requestTimeoutMs, socket, [socket] { socket->abort(); });
    }
}

void LoopbackReceiver::onReadable(QTcpSocket *socket)
{
    if (socket->property("answered").toBool()) {
        socket->readAll();
        return;
    }
    const QByteArray head = socket->peek(kRequestLimit + 1);
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0) {
        if (head.size() > kRequestLimit)
            answer(socket, "431 Request Header Fields Too Large", QStringLiteral("Istek cok buyuk."));
        return;
    }
    socket->read(end + 4);
    const QList<QByteArray> lines = head.left(end).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    QByteArray host;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.toLower().startsWith("host:"))
            host = line.mid(5).trimmed();
    }
    if (requestLine.size() != 3 || requestLine.at(0) != "GET" || !requestLine.at(1).startsWith('/')) {
        answer(socket, "400 Bad Request", QStringLiteral("Gecersiz istek."));
        return;
    }
    // Only the address the provider was told: a page elsewhere that points
    // the browser at this port under another name gets nothing.
    const QByteArray expectedHost = "127.0.0.1:" + QByteArray::number(m_server ? m_server->serverPort() : 0);
    if (host != expectedHost) {
        answer(socket, "400 Bad Request", QStringLiteral("Gecersiz istek."));
        return;
    }
    const QUrl target = QUrl::fromEncoded(requestLine.at(1), QUrl::StrictMode);
    if (!target.isValid() || target.path() != u"/") {
        answer(socket, "404 Not Found", QStringLiteral("Bulunamadi."));
        return;
    }
    answer(socket, "200 OK",
           QStringLiteral("MIRELO+ oturum acma sonucunu aldi. Bu sekmeyi kapatip programa donebilirsin."));
    emit redirected(target);
}

void LoopbackReceiver::answer(QTcpSocket *socket, const QByteArray &status, const QString &text)
{
    socket->setProperty("answered", true);
    // The answer outlives the listener, which closes as soon as it has its redirect.
    socket->setParent(this);
    const QByteArray body = "<!doctype html><meta charset=\"utf-8\"><title>MIRELO+</title><p>"
                            + text.toHtmlEscaped().toUtf8() + "</p>\n";
    socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
                  + QByteArray::number(body.size()) + "\r\nConnection: close\r\nCache-Control: no-store\r\n\r\n" + body);
    socket->disconnectFromHost();
}
