#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>

class CloudDbStore;
class QHttpServer;
class QLockFile;

// The local realtime database served over HTTP. Only glue: every request
// is answered by handleCloudDbRequest.
class CloudDbServer : public QObject
{
    Q_OBJECT
public:
    // An empty data file keeps the data in memory only.
    explicit CloudDbServer(const QString &dataFile, QObject *parent = nullptr);
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

private:
    std::unique_ptr<CloudDbStore> m_store;
    std::unique_ptr<QLockFile> m_lock;
    bool m_inUse = false;
    QHttpServer *m_http = nullptr;
    QHostAddress m_address;
    quint16 m_port = 0;
};
