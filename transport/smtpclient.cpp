#include "transport/smtpclient.h"

SmtpClient::SmtpClient(QObject *parent) : SmtpClient(SmtpServerResolver(), SmtpTimeouts(), parent) {}

SmtpClient::SmtpClient(SmtpServerResolver resolver, const SmtpTimeouts &timeouts, QObject *parent)
    : QObject(parent), m_worker(new SmtpWorker(std::move(resolver), timeouts))
{
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &SmtpWorker::sendLog, this, &SmtpClient::sendLog, Qt::QueuedConnection);
    connect(m_worker, &SmtpWorker::sendFinished, this, &SmtpClient::onWorkerFinished, Qt::QueuedConnection);
    connect(
        m_worker, &SmtpWorker::tokenRefused, this,
        [this](const QString &address) {
            // The next send fetches a fresh one.
            if (m_tokens)
                m_tokens->dropToken(address);
        },
        Qt::QueuedConnection);
    registerMailMetaTypes();
    m_thread.start(QThread::InheritPriority);
}

SmtpClient::~SmtpClient()
{
    // Interruption plus quit ends a running send's wait at once.
    m_thread.requestInterruption();
    m_thread.quit();
    if (!m_thread.wait(3000))
        m_thread.wait();
}

void SmtpClient::onWorkerFinished(const QString &to, bool ok, const QString &msg)
{
    const int request = m_waiting.isEmpty() ? 0 : m_waiting.takeFirst();
    emit sendFinished(to, ok, msg);
    if (request != 0)
        emit replyFinished(request, ok, msg);
}

int SmtpClient::sendReply(EmailAccount acc, QString to, QString subject, QString body, QString inReplyTo,
                          QString references)
{
    const int request = m_nextRequest++;
    auto send = [this, request, to, subject, body, inReplyTo, references](const EmailAccount &ready, const QString &error) {
        if (!error.isEmpty()) {
            // Never before the caller has the request's number.
            QMetaObject::invokeMethod(
                this,
                [this, request, to, error] {
                    emit sendFinished(to, false, error);
                    emit replyFinished(request, false, error);
                },
                Qt::QueuedConnection);
            return;
        }
        // Queued in the order the worker receives them.
        m_waiting.append(request);
        QMetaObject::invokeMethod(m_worker, "workSend", Qt::QueuedConnection, Q_ARG(EmailAccount, ready),
                                  Q_ARG(QString, to), Q_ARG(QString, subject), Q_ARG(QString, body),
                                  Q_ARG(QString, inReplyTo), Q_ARG(QString, references));
    };
    if (usesOAuth(acc) && m_tokens)
        m_tokens->withToken(acc, send);
    else
        send(acc, QString());
    return request;
}
