#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>

class CloudDbStore;
class QHttpServer;

// The local realtime database served over HTTP. Only glue: every request
// is answered by handleCloudDbRequest.
class CloudDbServer : public QObject
{
    Q_OBJECT
public:
    // An empty data file keeps the data in memory only.
    explicit CloudDbServer(const QString &dataFile, QObject *parent = nullptr);
    ~CloudDbServer() override;

    // Loads the data file and listens; port 0 picks a free port.
    bool start(const QHostAddress &address, quint16 port, QString *error);

    quint16 port() const { return m_port; }
    // "http://ADDRESS:PORT", without trailing slash.
    QString baseUrl() const;

private:
    std::unique_ptr<CloudDbStore> m_store;
    QHttpServer *m_http = nullptr;
    QHostAddress m_address;
    quint16 m_port = 0;
};
