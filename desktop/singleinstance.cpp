#include "desktop/singleinstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
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

#ifdef Q_OS_WIN
// The user SID of a process token, copied into `sid`.
bool tokenUser(HANDLE process, QByteArray *sid)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    QByteArray buffer(int(size), Qt::Uninitialized);
    const bool ok = size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    CloseHandle(token);
    if (!ok)
        return false;
    PSID user = reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid;
    if (!IsValidSid(user))
        return false;
    *sid = QByteArray(reinterpret_cast<const char *>(user), int(GetLengthSid(user)));
    return true;
}
#endif

// Whether the other end of a connected socket runs as this user. Pipe and
// socket names can be taken first by anyone on the machine: arguments go
// only to our own user's instance.
bool peerIsThisUser(const QLocalSocket &socket)
{
#ifdef Q_OS_WIN
    ULONG pid = 0;
    if (!GetNamedPipeServerProcessId(reinterpret_cast<HANDLE>(socket.socketDescriptor()), &pid))
        return false;
    HANDLE peer = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!peer)
        return false;
    QByteArray theirs, ours;
    const bool known = tokenUser(peer, &theirs) && tokenUser(GetCurrentProcess(), &ours);
    CloseHandle(peer);
    return known && theirs == ours;
#elif defined(SO_PEERCRED)
    struct ucred cred {};
    socklen_t length = sizeof cred;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0)
        return false;
    return cred.uid == ::geteuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    if (::getpeereid(int(socket.socketDescriptor()), &uid, &gid) != 0)
        return false;
    return uid == ::geteuid();
#endif
}

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent), m_name(socketName(key))
{
}

SingleInstance::~SingleInstance()
{
#ifdef Q_OS_WIN
    if (m_firstMark)
        CloseHandle(m_firstMark);
#endif
}

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
    if (m_problem.isEmpty())
        m_problem = QStringLiteral("Tek kopya denetimi kurulamadi: %1 kullanimda, cevap vermiyor; bu kopya ayri "
                                   "calisiyor.")
                        .arg(m_name);
    return true;
}

bool SingleInstance::deliver(const QStringList &arguments)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    if (!peerIsThisUser(socket)) {
        socket.abort();
        m_problem = QStringLiteral("Tek kopya denetimi kurulamadi: %1 baska bir kullanicinin; bu kopya ayri "
                                   "calisiyor.")
                        .arg(m_name);
        return false;
    }
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
#ifdef Q_OS_WIN
    // Any number of processes can listen on one pipe name, so the listen
    // cannot decide who is first: a named mutex of this session does. It
    // goes with its process, a crashed one included.
    if (!m_firstMark) {
        const std::wstring mark = L"Local\\" + m_name.toStdWString();
        HANDLE handle = CreateMutexW(nullptr, FALSE, mark.c_str());
        if (!handle)
            return false;
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(handle);
            return false;
        }
        m_firstMark = handle;
    }
#endif
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
