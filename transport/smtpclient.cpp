#include "transport/smtpclient.h"

SmtpClient::SmtpClient(QObject *parent) : SmtpClient(SmtpServerResolver(), SmtpTimeouts(), parent) {}

SmtpClient::SmtpClient(SmtpServerResolver resolver, const SmtpTimeouts &timeouts, QObject *parent)
    : QObject(parent), m_worker(new SmtpWorker(std::move(resolver), timeouts))
{
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &SmtpWorker::sendLog, this, &SmtpClient::sendLog, Qt::QueuedConnection);
    connect(m_worker, &SmtpWorker::sendFinished, this, &SmtpClient::onWorkerFinished, Qt::QueuedConnection);
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

int SmtpClient::sendReply(EmailAccount acc, QString to, QString subject, QString body)
{
    const int request = m_nextRequest++;
    m_waiting.append(request);
    QMetaObject::invokeMethod(m_worker, "workSend", Qt::QueuedConnection, Q_ARG(EmailAccount, acc),
                              Q_ARG(QString, to), Q_ARG(QString, subject), Q_ARG(QString, body));
    return request;
}
