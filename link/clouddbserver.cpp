#include "link/clouddbserver.h"

#include "link/clouddbstore.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QLockFile>
#include <QUrl>

namespace {

QByteArray methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get: return "GET";
    case QHttpServerRequest::Method::Put: return "PUT";
    case QHttpServerRequest::Method::Delete: return "DELETE";
    default: return "OTHER";
    }
}

} // namespace

CloudDbServer::CloudDbServer(const QString &dataFile, QObject *parent)
    : QObject(parent)
    , m_store(std::make_unique<CloudDbStore>(dataFile))
{
}

CloudDbServer::~CloudDbServer() = default;

bool CloudDbServer::start(const QHostAddress &address, quint16 port, QString *error)
{
    m_inUse = false;
    if (!m_store->dataFile().isEmpty()) {
        m_lock = std::make_unique<QLockFile>(m_store->dataFile() + QStringLiteral(".lock"));
        m_lock->setStaleLockTime(0);
        if (!m_lock->tryLock(0)) {
            m_inUse = m_lock->error() == QLockFile::LockFailedError;
            *error = m_inUse ? QStringLiteral("%1 is in use by another server").arg(m_store->dataFile())
                             : QStringLiteral("cannot lock %1").arg(m_store->dataFile());
            m_lock.reset();
            return false;
        }
    }
    if (!m_store->load(error)) {
        m_lock.reset();
        return false;
    }
    m_http = new QHttpServer(this);
    CloudDbStore *store = m_store.get();
    m_http->setMissingHandler([store](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
        // The plain path() is already decoded; the encoded form keeps an
        // encoded "/" inside its segment.
        const QByteArray path = request.url().path(QUrl::FullyEncoded).toUtf8();
        const CloudDbReply reply = handleCloudDbRequest(*store, methodName(request.method()), path, request.body());
        responder.write(reply.body, QByteArrayLiteral("application/json; charset=utf-8"),
                        static_cast<QHttpServerResponder::StatusCode>(reply.status));
    });
    m_port = m_http->listen(address, port);
    if (m_port == 0) {
        *error = QStringLiteral("cannot listen on %1:%2").arg(address.toString()).arg(port);
        delete m_http;
        m_http = nullptr;
        m_lock.reset();
        return false;
    }
    m_address = address;
    return true;
}

QString CloudDbServer::baseUrl() const
{
    QString host = m_address.toString();
    if (m_address.protocol() == QAbstractSocket::IPv6Protocol)
        host = QLatin1Char('[') + host + QLatin1Char(']');
    return QStringLiteral("http://%1:%2").arg(host).arg(m_port);
}
