#include "fakeserver.h"

#include <QSslSocket>
#include <QTimer>

#include <memory>

FakeServer::FakeServer(Mode mode, const QSslCertificate &cert, const QSslKey &key)
    : mode(mode), cert(cert), key(key)
{
    listen(QHostAddress::LocalHost, 0);
}

FakeServer::~FakeServer()
{
    close();
}

void FakeServer::incomingConnection(qintptr fd)
{
    ++connections;
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(fd)) {
        delete socket;
        return;
    }
    connect(socket, &QSslSocket::disconnected, this, [this, socket] {
        ++closed;
        buffers.remove(socket);
    });
    if (mode == Silent)
        return;
    socket->setLocalCertificate(cert);
    socket->setPrivateKey(key);
    connect(socket, &QSslSocket::readyRead, this, [this, socket] { onReadable(socket); });
    if (mode == Tls) {
        connect(socket, &QSslSocket::encrypted, this, [this, socket] { sendGreeting(socket); });
        socket->startServerEncryption();
    } else {
        sendGreeting(socket);
    }
}

void FakeServer::sendGreeting(QSslSocket *socket)
{
    if (trickleMs <= 0 || greeting.isEmpty()) {
        socket->write(greeting);
        return;
    }
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<int>(0);
    connect(timer, &QTimer::timeout, socket, [this, socket, timer, sent] {
        if (*sent >= trickleBytes || socket->state() != QAbstractSocket::ConnectedState) {
            timer->stop();
            return;
        }
        socket->write(greeting.mid(*sent % greeting.size(), 1));
        ++*sent;
    });
    timer->start(trickleMs);
}

void FakeServer::onReadable(QSslSocket *socket)
{
    QByteArray &buffer = buffers[socket];
    buffer += socket->readAll();
    int end;
    while ((end = buffer.indexOf('\n')) >= 0) {
        QByteArray line = buffer.left(end);
        buffer.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (owing)
            spokeTooEarly = true;
        lines.append(line);
        if (dropAt && dropAt(line)) {
            // Gone without a word, as a broken connection goes.
            socket->abort();
            return;
        }
        const QByteArray answer = reply ? reply(line) : QByteArray();
        if (!answer.isEmpty())
            socket->write(answer);
        if (lateReply) {
            const QByteArray late = lateReply(line);
            if (!late.isEmpty()) {
                owing = true;
                QTimer::singleShot(150, socket, [this, socket, late] {
                    owing = false;
                    socket->write(late);
                });
            }
        }
        if (floodAfter && floodAfter(line)) {
            connect(socket, &QSslSocket::bytesWritten, this, [this, socket] { flood(socket); });
            connect(socket, &QSslSocket::encryptedBytesWritten, this, [this, socket] { flood(socket); });
            flood(socket);
        }
        if (trickleAfter && trickleAfter(line)) {
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] {
                if (socket->state() == QAbstractSocket::ConnectedState)
                    socket->write("x");
            });
            timer->start(trickleMs);
        }
        if (upgradeAfter && upgradeAfter(line)) {
            socket->setLocalCertificate(cert);
            socket->setPrivateKey(key);
            socket->startServerEncryption();
        }
    }
}

void FakeServer::flood(QSslSocket *socket)
{
    // Keep a little in flight; stop far beyond any sane reply as a safety net.
    if (flooded > (256 << 20) || socket->state() != QAbstractSocket::ConnectedState)
        return;
    while (socket->bytesToWrite() + socket->encryptedBytesToWrite() < (256 << 10)) {
        const QByteArray chunk = QByteArray(64 << 10, 'x') + "\r\n";
        socket->write(chunk);
        flooded += chunk.size();
    }
}

void FakeServer::push(const QByteArray &bytes)
{
    for (QSslSocket *socket : findChildren<QSslSocket *>()) {
        if (socket->state() == QAbstractSocket::ConnectedState)
            socket->write(bytes);
    }
}

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}
