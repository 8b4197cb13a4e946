#pragma once

#include <QObject>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

// The loopback end of a browser sign-in: listens on 127.0.0.1 at a random
// port for the one redirect that carries the result, answers the browser
// with a short page and reports the request's target. Requests for other
// paths, with another Host, oversized or too slow are answered and dropped.
class LoopbackReceiver : public QObject
{
    Q_OBJECT
public:
    explicit LoopbackReceiver(QObject *parent = nullptr);
    ~LoopbackReceiver() override;

    // Starts listening; false when no port could be had.
    bool listen();
    void close();
    bool isListening() const;
    // "http://127.0.0.1:PORT/" while listening.
    QString redirectUri() const;

    // Per-connection limit on a request's arrival.
    void setRequestTimeout(int ms) { m_requestTimeoutMs = ms; }

signals:
    // The redirect arrived; `target` carries path and query.
    void redirected(const QUrl &target);

private:
    void onConnection();
    void onReadable(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QByteArray &status, const QString &text);

    QTcpServer *m_server = nullptr;
    int m_requestTimeoutMs = 10000;
};
