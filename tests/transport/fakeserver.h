#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>

#include <functional>

class QSslSocket;

// A scripted mail server on a free loopback port for the faults a real
// server will not show on demand. It runs on the test's thread; the sessions
// under test wait in nested event loops, which serve it too.
class FakeServer : public QTcpServer
{
    Q_OBJECT
public:
    enum Mode {
        Tls,    // TLS from the first byte
        Plain,  // no TLS (until upgradeAfter says so)
        Silent, // accepts and never answers, not even the TLS handshake
    };
    FakeServer(Mode mode, const QSslCertificate &cert = QSslCertificate(), const QSslKey &key = QSslKey());
    ~FakeServer() override;

    // Sent once the connection (and its TLS) is up.
    QByteArray greeting;
    // When set, the greeting goes out one byte at a time at this interval,
    // over and over, `trickleBytes` bytes in all.
    int trickleMs = 0;
    int trickleBytes = 0;
    // The answer to each received line (CR LF removed); empty sends nothing.
    std::function<QByteArray(const QByteArray &line)> reply;
    // After answering a line for which this holds, the server sends without end.
    std::function<bool(const QByteArray &line)> floodAfter;
    // After answering a line for which this holds, the server sends one byte
    // every trickleMs, without end.
    std::function<bool(const QByteArray &line)> trickleAfter;
    // After answering a line for which this holds, the server starts TLS.
    std::function<bool(const QByteArray &line)> upgradeAfter;
    // On a line for which this holds, the server drops the connection unanswered.
    std::function<bool(const QByteArray &line)> dropAt;
    // A second part of an answer, sent a moment after the first.
    std::function<QByteArray(const QByteArray &line)> lateReply;

    // Sends to every open connection now, unasked.
    void push(const QByteArray &bytes);

    QList<QByteArray> lines;
    int connections = 0;
    // Connections the client closed or lost.
    int closed = 0;
    // A line arrived while the server still owed the previous answer.
    bool spokeTooEarly = false;

protected:
    void incomingConnection(qintptr fd) override;

private:
    void onReadable(QSslSocket *socket);
    void flood(QSslSocket *socket);
    void sendGreeting(QSslSocket *socket);

    Mode mode;
    QSslCertificate cert;
    QSslKey key;
    QHash<QSslSocket *, QByteArray> buffers;
    bool owing = false;
    qint64 flooded = 0;
};

// A port on which nothing listens.
quint16 closedPort();
