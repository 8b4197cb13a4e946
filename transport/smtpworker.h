#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "mail/mailrecords.h"
#include "transport/sessionqueue.h"
#include "transport/smtpparse.h"

class SessionSocket;

// Bounded waits of the send session; tests may shorten them.
struct SmtpTimeouts
{
    int connectMs = 12000;
    int handshakeMs = 15000;
    int startTlsMs = 12000;
    int writeMs = 5000;
    int messageWriteMs = 8000;
    int replyMs = 2000;
    int replyReads = 30;
    // Any single collected reply larger than this ends the session.
    qint64 replyLimit = 4 * 1024 * 1024;
};

// Picks the outgoing server of an account; smtpServerFor unless a test points
// the session somewhere else.
using SmtpServerResolver = std::function<SmtpServer(const EmailAccount &)>;

// Sends one reply per request over SMTP (implicit TLS or STARTTLS, AUTH
// LOGIN). Emits exactly one sendFinished per workSend.
class SmtpWorker : public QObject
{
    Q_OBJECT
public:
    explicit SmtpWorker(SmtpServerResolver resolver = {}, const SmtpTimeouts &timeouts = SmtpTimeouts(),
                        QObject *parent = nullptr);
    ~SmtpWorker() override;

public slots:
    // inReplyTo and references come from the mail answered, so the reply
    // threads under it.
    void workSend(EmailAccount acc, QString to, QString subject, QString body, QString inReplyTo = QString(),
                  QString references = QString());

signals:
    void sendLog(QString msg);
    void sendFinished(QString to, bool ok, QString msg);
    // The server refused the access token of the sending account.
    void tokenRefused(QString address);

private:
    // Runs the session; returns the text for sendFinished and sets ok.
    QString runSend(const EmailAccount &acc, SmtpMessage message, bool &ok);
    bool sendLine(SessionSocket &socket, const QString &text);
    // AUTH LOGIN with the password, or AUTH XOAUTH2 / OAUTHBEARER with the
    // access token; empty when the server took it, else the failure text.
    QString logIn(SessionSocket &socket, const EmailAccount &acc, const SmtpServer &server);
    bool readReply(SessionSocket &socket, const QStringList &codes, QString *text = nullptr);

    SmtpServerResolver m_resolver;
    SmtpTimeouts m_timeouts;
    SessionQueue m_queue;
};
