#include "transport/smtpclient.h"

SmtpClient::SmtpClient(QObject *parent) : SmtpClient(SmtpServerResolver(), SmtpTimeouts(), parent) {}

SmtpClient::SmtpClient(SmtpServerResolver resolver, const SmtpTimeouts &timeouts, QObject *parent)
    : QObject(parent), worker(new SmtpWorker(std::move(resolver), timeouts))
{
    worker->moveToThread(&thread);
    connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &SmtpWorker::sendLog, this, &SmtpClient::sendLog, Qt::QueuedConnection);
    connect(worker, &SmtpWorker::sendFinished, this, &SmtpClient::onWorkerFinished, Qt::QueuedConnection);
    registerMailMetaTypes();
    thread.start(QThread::InheritPriority);
}

SmtpClient::~SmtpClient()
{
    // Interruption plus quit ends a running send's wait at once.
    thread.requestInterruption();
    thread.quit();
    if (!thread.wait(3000))
        thread.wait();
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
    QMetaObject::invokeMethod(worker, "workSend", Qt::QueuedConnection, Q_ARG(EmailAccount, acc),
                              Q_ARG(QString, to), Q_ARG(QString, subject), Q_ARG(QString, body));
    return request;
}
