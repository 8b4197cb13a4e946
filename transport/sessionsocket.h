#pragma once

#include <QByteArray>
#include <QSslSocket>
#include <QString>

#include <functional>

// One TLS socket of a blocking session, waited on in nested event loops so
// that shutdown can cut any wait short: ending the worker thread's event loop
// (QThread::quit) also ends the wait, which then reports failure and marks
// the socket cancelled. Lives and is used on one thread only.
class SessionSocket
{
public:
    explicit SessionSocket(qint64 replyLimit);
    ~SessionSocket();
    SessionSocket(const SessionSocket &) = delete;
    SessionSocket &operator=(const SessionSocket &) = delete;

    QSslSocket &socket() { return m_sock; }

    // Connects with TLS from the first byte; true once encrypted.
    bool connectEncrypted(const QString &host, quint16 port, int ms);
    // Connects without TLS; true once connected.
    bool connectPlain(const QString &host, quint16 port, int ms);
    // Upgrades a plain connection; true once encrypted.
    bool startEncryption(int ms);
    // Writes the bytes; true once they have all left.
    bool writeAll(const QByteArray &bytes, int ms);
    // True when decrypted data is waiting or arrives within ms.
    bool waitForData(int ms);
    // Reads what is waiting, at most up to the reply limit counted from
    // `collected`; sets overflowed() when the reply would pass the limit.
    QByteArray readAvailable(qint64 collected);

    // Collects one reply: at most `reads` times waits up to `ms` for data and
    // appends it (UTF-8, decoded across reads) until `whole` says the reply
    // is complete, the server falls silent or the reply passes the limit.
    // `whole` gets the reply and where the text new in this read begins.
    QString collectReply(int reads, int ms, const std::function<bool(const QString &, qsizetype)> &whole);

    // The same for replies read as octets (mail text in any charset), and
    // over after `totalMs` however the data trickles in: `whole` gets all
    // octets collected so far.
    QByteArray collectBytes(int reads, int ms, qint64 totalMs, const std::function<bool(const QByteArray &)> &whole);

    // Qt's own text (English): for the step log and tool tips only.
    QString errorString() const { return m_sock.errorString(); }
    // What went wrong, in Turkish: "sunucu bulunamadi", "zaman asimi", ...
    QString failureReason() const;
    // The Turkish reason with Qt's own text in parentheses, for step logs.
    QString detailText() const;
    bool overflowed() const { return m_overflow; }
    bool cancelled() const { return m_cancel; }
    qint64 replyLimit() const { return m_limit; }

    void disconnect();

private:
    bool waitUntil(const std::function<bool()> &done, int ms);

    QSslSocket m_sock;
    qint64 m_limit;
    bool m_overflow = false;
    bool m_cancel = false;
    bool m_timedOut = false;
};

// The Turkish reason for a socket error; a wait that ran out counts as a timeout.
QString socketFailureReason(QAbstractSocket::SocketError error, bool m_timedOut);

// Text of a session ended because a reply passed the limit.
QString replyTooLargeText(qint64 m_limit);

// True once the thread the caller runs on was asked to stop.
bool sessionInterrupted();
