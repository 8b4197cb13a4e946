#include "desktop/singleinstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

constexpr int kConnectMs = 1000;
constexpr int kMessageMs = 2000;
// A hand-over is a short list of arguments; anything larger is not ours.
constexpr qint64 kMessageLimit = 64 * 1024;

QString userTag()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    QString user = qEnvironmentVariable("USERDOMAIN") + QLatin1Char('\\') + qEnvironmentVariable("USERNAME");
    return QString::fromLatin1(
        QCryptographicHash::hash(user.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
#endif
}

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent), m_name(socketName(key))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketName(const QString &key)
{
#ifdef Q_OS_UNIX
    // In the user's own runtime folder (0700): another user can neither
    // reach the socket nor take its name first.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!dir.isEmpty())
        return dir + QLatin1Char('/') + key + QLatin1Char('-') + userTag();
#endif
    return key + QLatin1Char('-') + userTag();
}

bool SingleInstance::claim(const QStringList &arguments)
{
    // Two starts at once may both miss a server; the loser of the listen
    // race tries the hand-over once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (deliver(arguments))
            return false;
        if (listen())
            return true;
    }
    // Nobody answers and the name stays taken: run alone rather than not at all.
    return true;
}

bool SingleInstance::deliver(const QStringList &arguments)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << arguments;
    QByteArray framed;
    QDataStream(&framed, QIODevice::WriteOnly) << quint32(message.size());
    framed += message;
    socket.write(framed);
    if (!socket.waitForBytesWritten(kMessageMs))
        return false;
    // What was written stays readable for the first instance after we go.
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen()
{
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_name)) {
        // A socket file left by a crashed run answers nobody; clear it once.
        QLocalSocket probe;
        probe.connectToServer(m_name);
        if (probe.waitForConnected(kConnectMs)) {
            delete server;
            return false;
        }
        QLocalServer::removeServer(m_name);
        if (!server->listen(m_name)) {
            delete server;
            return false;
        }
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    return true;
}

void SingleInstance::onConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QPointer<QLocalSocket> guard(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, guard] {
            if (!guard)
                return;
            QLocalSocket *s = guard.data();
            if (s->bytesAvailable() > kMessageLimit + 4) {
                s->abort();
                return;
            }
            if (s->bytesAvailable() < 4)
                return;
            quint32 size = 0;
            QDataStream(s->peek(4)) >> size;
            if (size > kMessageLimit) {
                s->abort();
                return;
            }
            if (s->bytesAvailable() < qint64(size) + 4)
                return;
            s->read(4);
            QStringList arguments;
            QDataStream in(s->read(size));
            in >> arguments;
            s->disconnectFromServer();
            if (in.status() == QDataStream::Ok)
                emit activated(arguments);
        });
    }
}
