#pragma once

#include <QObject>
#include <QString>
#include <QList>
#include <QPointer>
#include <QThread>

#include "mail/mailrecords.h"
#include "transport/smtpworker.h"
#include "transport/tokenservice.h"

// GUI-thread front of reply sending: owns the SMTP worker thread and forwards
// one request at a time to it.
class SmtpClient : public QObject
{
    Q_OBJECT
public:
    explicit SmtpClient(QObject *parent = nullptr);
    // Tests point the sessions at a local server and may shorten the waits.
    SmtpClient(SmtpServerResolver resolver, const SmtpTimeouts &timeouts, QObject *parent = nullptr);
    // Ends the worker thread; a send blocked on a silent server is cut short.
    ~SmtpClient() override;

    // Where accounts signed in through the browser get their access token.
    void setTokenService(TokenService *tokens) { m_tokens = tokens; }

public slots:
    // Queues one send; the number names its result in replyFinished.
    // inReplyTo and references: the answered mail's Message-ID and References.
    int sendReply(EmailAccount acc, QString to, QString subject, QString body, QString inReplyTo = QString(),
                  QString references = QString());

signals:
    void sendLog(QString msg);
    void sendFinished(QString to, bool ok, QString msg);
    // The result of the send sendReply numbered `request`.
    void replyFinished(int request, bool ok, QString msg);

private:
    void onWorkerFinished(const QString &to, bool ok, const QString &msg);

    QThread m_thread;
    SmtpWorker *m_worker;
    // The worker answers in the order it was asked, once per send.
    QList<int> m_waiting;
    QPointer<TokenService> m_tokens;
    int m_nextRequest = 1;
};
