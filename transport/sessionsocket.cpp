#include "transport/sessionsocket.h"

#include "rest/neterrors.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>

namespace {
// Exit codes of a wait's event loop; anything else means the thread's own
// event loop was told to quit while we waited.
constexpr int kDone = 1;
constexpr int kTimeout = 2;
constexpr int kFailed = 3;
} // namespace

bool sessionInterrupted()
{
    QThread *t = QThread::currentThread();
    return t && t->isInterruptionRequested();
}

QString replyTooLargeText(qint64 limit)
{
    return QStringLiteral("Sunucu yaniti cok buyuk: %1 bayt siniri asildi.").arg(limit);
}

SessionSocket::SessionSocket(qint64 replyLimit) : m_limit(replyLimit)
{
    // A server that floods must not fill memory while a wait is running: the
    // socket stops reading from the network once this much is buffered.
    m_sock.setReadBufferSize(256 * 1024);
}

SessionSocket::~SessionSocket()
{
    m_sock.abort();
}

bool SessionSocket::waitUntil(const std::function<bool()> &done, int ms)
{
    if (done())
        return true;
    if (m_cancel || sessionInterrupted()) {
        m_cancel = true;
        m_sock.abort();
        return false;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&loop] { loop.exit(kTimeout); });
    auto check = [&] {
        if (done())
            loop.exit(kDone);
    };
    auto fail = [&] { loop.exit(done() ? kDone : kFailed); };
    QList<QMetaObject::Connection> links;
    links << QObject::connect(&m_sock, &QSslSocket::readyRead, &loop, check)
          << QObject::connect(&m_sock, &QSslSocket::encrypted, &loop, check)
          << QObject::connect(&m_sock, &QSslSocket::connected, &loop, check)
          << QObject::connect(&m_sock, &QSslSocket::bytesWritten, &loop, check)
          << QObject::connect(&m_sock, &QSslSocket::encryptedBytesWritten, &loop, check)
          << QObject::connect(&m_sock, &QSslSocket::errorOccurred, &loop, fail)
          << QObject::connect(&m_sock, &QSslSocket::disconnected, &loop, fail);
    timer.start(ms);
    const int rc = loop.exec();
    for (const auto &l : links)
        QObject::disconnect(l);
    if (rc == kDone)
        return true;
    if (rc != kTimeout && rc != kFailed) {
        m_cancel = true;
        m_sock.abort();
        return false;
    }
    if (done())
        return true;
    if (rc == kTimeout)
        m_timedOut = true;
    return false;
}

QString socketFailureReason(QAbstractSocket::SocketError error, bool timedOut)
{
    return socketErrorText(error, timedOut);
}

QString SessionSocket::failureReason() const
{
    // A wait that ran out leaves Qt's "Unknown error" behind; say what it was.
    if (m_timedOut && m_sock.error() == QAbstractSocket::UnknownSocketError)
        return socketFailureReason(QAbstractSocket::SocketTimeoutError, true);
    // A refused certificate says which fault it had.
    return tlsSocketErrorText(m_sock.error(), m_sock.sslHandshakeErrors(), m_timedOut);
}

QString SessionSocket::detailText() const
{
    return withQtDetail(failureReason(), m_sock.errorString());
}

bool SessionSocket::connectEncrypted(const QString &host, quint16 port, int ms)
{
    m_sock.connectToHostEncrypted(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    return waitUntil([this] { return m_sock.isEncrypted(); }, ms);
}

bool SessionSocket::connectPlain(const QString &host, quint16 port, int ms)
{
    m_sock.connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    return waitUntil([this] { return m_sock.state() == QAbstractSocket::ConnectedState; }, ms);
}

bool SessionSocket::startEncryption(int ms)
{
    if (m_sock.state() != QAbstractSocket::ConnectedState)
        return false;
    m_sock.startClientEncryption();
    return waitUntil([this] { return m_sock.isEncrypted(); }, ms);
}

bool SessionSocket::writeAll(const QByteArray &bytes, int ms)
{
    if (m_sock.state() != QAbstractSocket::ConnectedState || m_sock.write(bytes) != bytes.size())
        return false;
    return waitUntil([this] { return m_sock.bytesToWrite() == 0 && m_sock.encryptedBytesToWrite() == 0; }, ms);
}

bool SessionSocket::waitForData(int ms)
{
    return waitUntil([this] { return m_sock.bytesAvailable() > 0; }, ms);
}

QByteArray SessionSocket::readAvailable(qint64 collected)
{
    const qint64 room = m_limit - collected;
    // One byte beyond the room tells an overlong reply from one that fits.
    QByteArray chunk = m_sock.read(qMin(m_sock.bytesAvailable(), qMax<qint64>(room, 0) + 1));
    if (collected + chunk.size() > m_limit) {
        m_overflow = true;
        chunk.truncate(int(qMax<qint64>(room, 0)));
    }
    return chunk;
}

QString SessionSocket::collectReply(int reads, int ms, const std::function<bool(const QString &, qsizetype)> &whole)
{
    // Decoding across reads keeps a character split between two reads whole.
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString reply;
    qint64 bytes = 0;
    for (int i = 0; i < reads; ++i) {
        if (!waitForData(ms))
            break;
        const QByteArray chunk = readAvailable(bytes);
        bytes += chunk.size();
        const qsizetype from = reply.size();
        reply += decoder.decode(chunk);
        if (m_overflow || whole(reply, from))
            break;
    }
    return reply;
}

QByteArray SessionSocket::collectBytes(int reads, int ms, qint64 totalMs,
                                       const std::function<bool(const QByteArray &)> &whole)
{
    QElapsedTimer elapsed;
    elapsed.start();
    QByteArray reply;
    for (int i = 0; i < reads; ++i) {
        const qint64 left = totalMs - elapsed.elapsed();
        if (left <= 0 || !waitForData(int(qMin<qint64>(ms, left))))
            break;
        reply += readAvailable(reply.size());
        if (m_overflow || whole(reply))
            break;
    }
    return reply;
}

void SessionSocket::disconnect()
{
    m_sock.disconnectFromHost();
    if (m_sock.state() != QAbstractSocket::UnconnectedState)
        waitUntil([this] { return m_sock.state() == QAbstractSocket::UnconnectedState; }, 1000);
}
