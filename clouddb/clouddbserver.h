#pragma once

#include "clouddb/clouddbstore.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>

class QLockFile;

// What one client may cost the server. Time limits are in milliseconds.
struct CloudDbServerLimits
{
    qsizetype maxBodyBytes = kCloudDbMaxBodyBytes;
    int maxHeaderBytes = 16 * 1024;
    // From the first byte of a request to the end of its header: a client
    // trickling its header byte by byte is cut off here.
    int headerTimeoutMs = 10000;
    // For the body once the header is in, and for sending the answer.
    int transferTimeoutMs = 60000;
    // A kept-alive connection without a new request.
    int idleTimeoutMs = 30000;
    int maxConnections = 128;
    int maxConnectionsPerPeer = 32;
    CloudDbQuota quota;
};

// The local realtime database served over HTTP/1.1 on a thread of its own,
// so a flood of requests never stalls the thread that started it. Bodies
// over the limit are refused from their header, before they are read.
// Served on a loopback address it answers only requests naming it as
// 127.0.0.1:PORT or localhost:PORT, so a web page whose name was rebound
// to 127.0.0.1 cannot reach it.
class CloudDbServer : public QObject
{
    Q_OBJECT
public:
    // An empty data file keeps the data in memory only.
    explicit CloudDbServer(const QString &dataFile, QObject *parent = nullptr);
    CloudDbServer(const QString &dataFile, const CloudDbServerLimits &limits, QObject *parent = nullptr);
    ~CloudDbServer() override;

    // Locks and loads the data file and listens; port 0 picks a free port.
    // Two servers on one file would overwrite each other's writes, so a
    // file locked by another running server is refused.
    bool start(const QHostAddress &address, quint16 port, QString *error);
    // After a failed start: whether another server holds the data file.
    bool dataFileInUse() const { return m_inUse; }

    quint16 port() const { return m_port; }
    // "http://ADDRESS:PORT", without trailing slash.
    QString baseUrl() const;
    // Connections being served right now.
    int openConnections() const;

    struct Engine;

private:
    QString m_dataFile;
    CloudDbServerLimits m_limits;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<Engine> m_engine;
    bool m_inUse = false;
    QHostAddress m_address;
    quint16 m_port = 0;
};
